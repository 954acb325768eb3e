// Binary Computer Graphics Metafile elements (character of ISO/IEC 8632-3):
// one element is built whole in a CgmElement and then encoded into bytes,
// so that a writer can append it all at once or not at all. Both writers of
// CGM in the program use these: the memory-metafile recorder and the CGM
// plot-file driver.
//
// Encoding used throughout: integers, indices and VDC as 16-bit two's
// complement, most significant byte first; direct colours as 8-bit red,
// green, blue. An element's header word is class * 4096 + id * 32 + the
// parameter length; a length of 31 announces the long form, whose next word
// holds the length of one partition in its low 15 bits and, in bit 15, the
// flag that another partition follows. Parameter lists of odd length are
// followed by one zero byte that the length does not count.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct CgmElement {
  int32_t Class = 0;
  int32_t Id = 0;
  bool LongForm = false;         // long form even for a short parameter list
  std::vector<uint8_t> Params;   // the parameter list, unpadded
  // Where the writer wants partitions to end (byte counts of consecutive
  // partitions, long form only; all but the last even); empty: as few
  // partitions as fit. A count above kCgmPartitionMax is split further.
  std::vector<size_t> Parts;
};

// Longest partition; even, so that every partition but the last keeps the
// next header on a 16-bit boundary.
inline constexpr size_t kCgmPartitionMax = 32766;

void YYCgmElementBegin(CgmElement& e, int32_t cls, int32_t id, bool longForm = false);
// A 16-bit integer (index, enumeration, VDC), saturated to -32768..32767.
void YYCgmInteger(CgmElement& e, int32_t value);
void YYCgmPoint(CgmElement& e, int32_t x, int32_t y);
// Red, green, blue and one zero byte: the four bytes the colour elements carry.
void YYCgmColourValue(CgmElement& e, int32_t red, int32_t green, int32_t blue);
// A fixed-point real of 16-bit whole and fraction parts (real precision 1, 16, 16).
void YYCgmFixedReal(CgmElement& e, double value);
// A string: a count byte and the characters; 255 characters or more take
// the long string form (count byte 255, then a 16-bit length word); a
// string is cut at 32767 characters.
void YYCgmString(CgmElement& e, std::string_view text);
void YYCgmBytes(CgmElement& e, std::span<const uint8_t> bytes);

// The element's bytes: header (short or long form), the parameters split
// into partitions (Parts, each at most kCgmPartitionMax bytes), and the pad byte of an
// odd last partition.
std::vector<uint8_t> YYCgmEncode(const CgmElement& e);

// One whole colour element (LINE COLOUR, FILL COLOUR ...): header of
// length 4, then YYCgmColourValue.
CgmElement YYCgmColour(int32_t cls, int32_t id, int32_t red, int32_t green, int32_t blue);
// An element with one 16-bit integer parameter.
CgmElement YYCgmIntegerElement(int32_t cls, int32_t id, int32_t value);
