// Driver 12: HP-GL/2 files for five printer types, wrapped in the PCL
// sequences that switch a printer into HP-GL/2 and back (the large-format
// type speaks HP-GL/2 alone). It writes through the HP-GL command writer
// and adds pen colours, raster fill patterns for dithered fills on
// black-and-white printers, device fonts with label origins, line
// attributes and encoded polylines; its private information travels in
// comments.
#pragma once

#include <cstdint>
#include <string>

void XXHPGL2(int32_t op);

// The HP Roman-8 code of an ISO 8859-1 character (codes below 161 stay).
unsigned char YYHpgl2Roman8(unsigned char c);
// The base-32 encoded-polyline digits of one coordinate difference.
std::string YYHpgl2EncodedNumber(int32_t difference);
