// Numbers and small services shared by the plot-file drivers. Every
// number of a plot file goes through the record formatter with the
// driver's edit-descriptor format, so the locale never changes a file.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "VOZUVar/RecordFormatter.h"

// The values written with the format, as one text; trailing blanks cut,
// a field that a value does not fit is asterisks (the formatter's rule).
std::string PlotFormat(std::string_view format, std::initializer_list<RecordValue> values);

// The values in `format`, or, when one does not fit its field, all of
// them in `wide`: a page the options make very large must not turn a
// number into asterisks.
std::string PlotFormatFit(std::string_view format, std::string_view wide, std::initializer_list<RecordValue> values);

// The begin-of-output open of the plot file on unit 2: the last error
// code is cleared around the open; when the open reports an error the
// hardcopy is switched off, the error stays and false comes back,
// otherwise the previous code is put back.
bool PlotOutputOpen();

// The current colour of the colour mode (a palette index or packed RGB)
// and the previous one, as YYColourComponents takes them.
int32_t CurrentColourValue();
int32_t PreviousColourValue();

// Truncation toward zero that saturates (and takes NaN as 0), for device
// coordinates.
int32_t PlotTrunc(double v);

// Six lower-case hexadecimal digits, two per component in that order.
std::string YYHexColour(int32_t red, int32_t green, int32_t blue);
