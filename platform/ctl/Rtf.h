// Rich text (RTF) of the rich-edit control: a writer of the control's own
// model and a reader of the common subset (fonts, colours, character and
// paragraph words, bullets, tables as tab-separated rows; groups it does
// not know are skipped). Internal to platform/ctl.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ctl/Controls.h"

namespace plat::detail {

// Text with CR paragraph ends, a character format per character and a
// paragraph format per paragraph (one more than the CR count). The formats
// are kept once each and the characters and paragraphs name them by index,
// so that a document takes a few bytes per character, not a format each.
struct RichText {
  std::string text;
  std::vector<CharFormat> formats;      // full formats (every mask bit set)
  std::vector<uint32_t> chars;          // per character: index into formats
  std::vector<ParaFormat> paraFormats;
  std::vector<uint32_t> paras;          // per paragraph: index into paraFormats
  const CharFormat& charFormat(size_t i) const { return formats[chars[i]]; }
  const ParaFormat& paraFormat(size_t p) const { return paraFormats[paras[p]]; }
};

std::string writeRtf(const RichText& doc);
// Reads `rtf` into `out`; text without format words (and after \plain)
// takes `base`, paragraphs start from `basePara`. Groups nested deeper
// than kRtfMaxDepth are skipped whole. False when it is no RTF (it must
// open with "{\rtf").
inline constexpr size_t kRtfMaxDepth = 256;
bool readRtf(std::string_view rtf, const CharFormat& base, const ParaFormat& basePara, RichText& out);

}  // namespace plat::detail
