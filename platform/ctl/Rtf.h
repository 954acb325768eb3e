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

// Text with CR paragraph ends; a full character format per character
// (every mask bit set) and a paragraph format per paragraph (one more than
// the CR count).
struct RichText {
  std::string text;
  std::vector<CharFormat> chars;
  std::vector<ParaFormat> paras;
};

std::string writeRtf(const RichText& doc);
// Reads `rtf` into `out`, characters starting from `base`. False when it
// is no RTF (it must open with "{\rtf").
bool readRtf(std::string_view rtf, const CharFormat& base, const ParaFormat& basePara, RichText& out);

}  // namespace plat::detail
