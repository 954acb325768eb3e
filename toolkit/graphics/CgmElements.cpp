#include "toolkit/graphics/CgmElements.h"

#include <algorithm>
#include <cmath>

namespace {

void Word(std::vector<uint8_t>& out, uint32_t w) {
  out.push_back(static_cast<uint8_t>((w >> 8) & 0xFF));
  out.push_back(static_cast<uint8_t>(w & 0xFF));
}

}  // namespace

void YYCgmElementBegin(CgmElement& e, int32_t cls, int32_t id, bool longForm) {
  e.Class = cls;
  e.Id = id;
  e.LongForm = longForm;
  e.Params.clear();
  e.Parts.clear();
}

void YYCgmInteger(CgmElement& e, int32_t value) {
  Word(e.Params, static_cast<uint16_t>(static_cast<int16_t>(std::clamp(value, -32768, 32767))));
}

void YYCgmPoint(CgmElement& e, int32_t x, int32_t y) {
  YYCgmInteger(e, x);
  YYCgmInteger(e, y);
}

void YYCgmColourValue(CgmElement& e, int32_t red, int32_t green, int32_t blue) {
  for (int32_t c : {red, green, blue, 0}) e.Params.push_back(static_cast<uint8_t>(std::clamp(c, 0, 255)));
}

void YYCgmFixedReal(CgmElement& e, double value) {
  // Whole part: the signed integer at or below the value; fraction: the
  // rest in 1/65536.
  const double v = std::isfinite(value) ? std::clamp(value, -32768.0, 32767.99998) : 0.0;
  const double whole = std::floor(v);
  const double frac = std::min(65535.0, std::floor((v - whole) * 65536.0));
  Word(e.Params, static_cast<uint16_t>(static_cast<int16_t>(whole)));
  Word(e.Params, static_cast<uint16_t>(frac));
}

void YYCgmString(CgmElement& e, std::string_view text) {
  const size_t n = std::min<size_t>(text.size(), 32767);
  if (n < 255) {
    e.Params.push_back(static_cast<uint8_t>(n));
  } else {
    e.Params.push_back(255);
    Word(e.Params, static_cast<uint32_t>(n));
  }
  e.Params.insert(e.Params.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

void YYCgmBytes(CgmElement& e, std::span<const uint8_t> bytes) {
  e.Params.insert(e.Params.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> YYCgmEncode(const CgmElement& e) {
  std::vector<uint8_t> out;
  const size_t n = e.Params.size();
  const uint32_t head = (static_cast<uint32_t>(e.Class & 15) << 12) | (static_cast<uint32_t>(e.Id & 127) << 5);
  if (n < 31 && !e.LongForm) {
    out.reserve(2 + n + 1);
    Word(out, head | static_cast<uint32_t>(n));
    out.insert(out.end(), e.Params.begin(), e.Params.end());
    if (n % 2 == 1) out.push_back(0);
    return out;
  }
  // Partition sizes: the writer's, the rest of the list after them, each
  // split to the largest size a partition takes.
  std::vector<size_t> sizes;
  size_t given = 0;
  for (size_t p : e.Parts) {
    p = std::min(p, n - given);
    if (p == 0) continue;
    sizes.push_back(p);
    given += p;
  }
  if (given < n || sizes.empty()) sizes.push_back(n - given);
  out.reserve(2 + n + 2 * (sizes.size() + n / kCgmPartitionMax + 1) + 1);
  Word(out, head | 31u);
  size_t at = 0, last = 0;
  for (size_t i = 0; i < sizes.size(); ++i) {
    size_t left = sizes[i];
    do {
      const size_t part = std::min(kCgmPartitionMax, left);
      left -= part;
      const bool more = left > 0 || i + 1 < sizes.size();
      Word(out, (more ? 0x8000u : 0u) | static_cast<uint32_t>(part));
      out.insert(out.end(), e.Params.begin() + static_cast<std::ptrdiff_t>(at),
                 e.Params.begin() + static_cast<std::ptrdiff_t>(at + part));
      at += part;
      last = part;
    } while (left > 0);
  }
  if (last % 2 == 1) out.push_back(0);
  return out;
}

CgmElement YYCgmColour(int32_t cls, int32_t id, int32_t red, int32_t green, int32_t blue) {
  CgmElement e;
  YYCgmElementBegin(e, cls, id);
  YYCgmColourValue(e, red, green, blue);
  return e;
}

CgmElement YYCgmIntegerElement(int32_t cls, int32_t id, int32_t value) {
  CgmElement e;
  YYCgmElementBegin(e, cls, id);
  YYCgmInteger(e, value);
  return e;
}
