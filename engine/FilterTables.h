// Filter coefficient tables of the Hankel and frequency-to-time transforms.
#pragma once

#include <array>

// Index 0 holds coefficient 1 of each table.
extern const std::array<float, 100> HankelW1;  // J1 Hankel filter, x 1.0e20
extern const std::array<float, 100> HankelW0;  // J0 Hankel filter, x 1.0e20
extern const std::array<float, 80> TimeFilter; // frequency-to-time filter, x 1.0e20
