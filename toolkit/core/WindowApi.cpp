#include "toolkit/core/WindowApi.h"

#include <cstddef>

std::array<int32_t, 10>& DialogInfoItems() {
  static std::array<int32_t, 10> items{};
  return items;
}

int32_t WDialogInfoItem(int32_t item) {
  return item >= 1 && item <= 10 ? DialogInfoItems()[static_cast<size_t>(item - 1)] : 0;
}
