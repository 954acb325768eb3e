// The table behind the drawing layer's handles (contexts and objects).
// Handle = generation << 20 | (slot + 1); freeing a slot moves its
// generation on, so a stale handle finds nothing once its slot is reused.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace plat::detail {

constexpr uint32_t kSlotBits = 20;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;

template <typename Rec>
struct HandleTable {
  struct Slot {
    uint32_t generation = 1;
    std::unique_ptr<Rec> rec;
  };
  std::vector<Slot> slots;
  std::vector<uint32_t> freeSlots;  // 1-based slot numbers
};

// A new default record and its handle; 0 (and no record) when the table is full.
template <typename Rec>
uint32_t newHandle(HandleTable<Rec>& t, Rec** out) {
  uint32_t slot;
  if (!t.freeSlots.empty()) {
    slot = t.freeSlots.back();
    t.freeSlots.pop_back();
  } else {
    if (t.slots.size() >= kSlotMask - 1) return 0;
    t.slots.emplace_back();
    slot = static_cast<uint32_t>(t.slots.size());
  }
  auto& s = t.slots[slot - 1];
  s.rec = std::make_unique<Rec>();
  *out = s.rec.get();
  return (s.generation << kSlotBits) | slot;
}

template <typename Rec>
Rec* findHandle(HandleTable<Rec>& t, uint32_t h) {
  const uint32_t slot = h & kSlotMask;
  if (slot == 0 || slot > t.slots.size()) return nullptr;
  auto& s = t.slots[slot - 1];
  if (!s.rec || (h >> kSlotBits) != s.generation) return nullptr;
  return s.rec.get();
}

// The handle of the live record at slots[index].
template <typename Rec>
uint32_t handleAt(const HandleTable<Rec>& t, size_t index) {
  return (t.slots[index].generation << kSlotBits) | static_cast<uint32_t>(index + 1);
}

// Frees the record at slots[index] for reuse.
template <typename Rec>
void freeSlot(HandleTable<Rec>& t, size_t index) {
  auto& s = t.slots[index];
  s.rec.reset();
  s.generation = (s.generation + 1) & ((1u << (32 - kSlotBits)) - 1);
  if (s.generation == 0) s.generation = 1;
  t.freeSlots.push_back(static_cast<uint32_t>(index + 1));
}

}  // namespace plat::detail
