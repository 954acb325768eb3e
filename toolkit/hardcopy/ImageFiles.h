// Image files drawn into device contexts and decoded into pixel arrays.
#pragma once

#include <cstdint>
#include <string_view>

// Draws the image (kind 0 clipboard, else a BMP, PCX or PNG file) into the
// rectangle of the target context; status 0 or a toolkit error code.
void YYImageFileToDC(int32_t kind, int32_t target, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t stretch, int32_t rotation, int32_t originX, int32_t originY,
                     int32_t& status, int32_t& error, std::string_view file);

#include <span>

// Decodes a BMP, PCX or PNG file into `pixels`: width x height packed
// 0xBBGGRR values, row by row from the top row. A failure is reported under
// "IGrLoadImageData" and leaves the last error code non-zero.
void IGrLoadImageData(std::string_view file, std::span<int32_t> pixels, int32_t width, int32_t height);

#include <string>

// Saves the rectangle (both corners included) of the current window: kind
// 0 to the clipboard as a bitmap, 1 a BMP, 2 a PCX, 15 a PNG file; status
// 0, 1 (the file cannot be made), 2 (not written whole), 1072 (the bitmap
// could not be had), 1044 (compression) or 1094 (clipboard), with the
// system's error.
void YYImageSaveFromDC(int32_t kind, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t& status,
                       int32_t& error, std::string_view file);
// Appends one PCX run of `count` (1..63) bytes of `value`: the value alone
// when that is unambiguous, else 192 + count and the value. Result 0.
int32_t YYPcxWriteRun(int32_t value, int32_t count, std::string& out);
