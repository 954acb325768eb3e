// The hardcopy options dialog: lets the user adjust the selected driver's
// options before a hardcopy starts. Driver 10 (the system printer) shows
// the page set-up; the HP-GL, PostScript, raster printer and HP-GL/2
// drivers the options dialog 32098; every other driver its format page
// 32000 + driver. WDialogInfoItem(4) tells the outcome: 1 confirmed, 0
// cancelled or not shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// units: the absolute value 0 points, 1 inches, 2 cm, 3 mm (absent or any
// other value: the user's locale); a negative value also disables the
// colour and line controls of a format page. outputName (its size, at most
// 260 characters, used): shown for editing and given back; absent, the
// driver's default output name is shown and replaced. A name longer than
// that is refused in the dialog by name, never cut.
void WHardcopyOptions(std::optional<int32_t> units = std::nullopt, std::string* outputName = nullptr);
