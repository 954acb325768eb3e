// The hardcopy switch: which hardcopy driver is selected, the hardcopy
// options, starting and stopping a hardcopy, and the re-initialisation of
// the whole graphics state.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "toolkit/graphics/DriverProtocol.h"

inline constexpr int kHardcopyDrivers = 12;

// The selected driver, 1..12 (10 at start-up); other numbers select none.
int32_t& HardcopyDriverNumber();
// The drivers by number (element 0 unused); null entries are no driver.
std::array<GraphicsDriver, kHardcopyDrivers + 1>& HardcopyDriverTable();

// Options 1..29 (element 0 unused) and the stored options 101..108.
struct HardcopyOptionsRecord {
  std::array<int32_t, 30> Opt{};
  std::array<int32_t, 9> Stored{};
};
HardcopyOptionsRecord& HardcopyOptions();

void ResetHardcopyManager();

void YYHardcopyDispatch(int32_t op);
// With op 1: selects the driver and lets it initialise itself.
void YYHardcopySelect(int32_t op, int32_t number);
void YYHardcopyStartStop(std::string_view option);
void YYGrStateInit(std::string_view option);
