// The toolkit's own window as the screen drawable, for tests that draw
// through the screen driver once the toolkit is started.
#pragma once

#include <cstdint>
#include <string_view>

// The screen route through the screen driver (reset), the window opened
// with a drawing area of width x height and the given title, its first
// painting done before anything is drawn, and the window selected as the
// drawable.
void OpenScreenWindow(int32_t width, int32_t height, std::string_view title);
