// The suite printout (".PRT"): a header describing the suite, the
// arrangement, the layered model and the time scale, then one block of
// curve values per suite member. The export command calls MOD_OUT once per
// member, k = 1..N, after copying member k's curves into the record's
// synthetic curves; the call for member 1 starts the file, the call for
// member N completes it. The file replaces an old one of that name only
// when it is complete.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string_view>

#include "engine/SoundingHandler.h"

// The member's values come from the record (its point count, abscissa and
// synthetic curves); the suite's counts, kinds and values from the results'
// snapshot. failed is true only when the file cannot be opened (or no suite
// has been computed): the caller then stops.
void MOD_OUT(std::string_view fileName, SoundingRecord& record, int32_t k, std::string_view comment, bool& failed);

// The layer-model lines of the header: the layer count with its caption,
// the resistivities, and (more than one layer) the boundary values. Returns
// the first write status that is not 0.
int32_t E_MODEL2(int32_t unit, std::span<const float> values, int32_t nl);

// The time the header states; the local time unless a test sets a fixed one
// (nullptr restores the clock).
using PrintoutClock = std::tm (*)();
void SetPrintoutClock(PrintoutClock clock);
