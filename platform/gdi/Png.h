// PNG pictures of surfaces: truecolour, 8 bits per channel, no alpha. The
// reader takes back what the writer makes (and any 8-bit RGB or RGBA
// picture without interlacing), for comparing pictures in tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"

namespace plat {

std::vector<uint8_t> encodePng(const Surface& s);
// Writes the whole file under a temporary name beside it, then renames it.
bool writePng(const Surface& s, const std::string& path);
bool decodePng(std::span<const uint8_t> bytes, Surface& out);
bool readPng(const std::string& path, Surface& out);

}  // namespace plat
