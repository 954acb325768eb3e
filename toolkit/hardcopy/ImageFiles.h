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
