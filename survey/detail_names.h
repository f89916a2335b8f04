// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Point names to numbers, and the coordinates the book records for them.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "records/record_list.h"
#include "survey/detail_fields.h"

namespace quillmar::survey::detail {

constexpr std::uint32_t kNone = 0xFFFFFFFF;
// How many look-ups ahead a name's slot is asked for.
constexpr std::size_t kAhead = 8;

// Point names (at most 16 bytes in either layout) to numbers. The name is
// kept in its slot, so a look-up costs one cache miss where a table of
// views into the records would cost three: a million-record book has
// hundreds of thousands of names.
class NameTable {
 public:
  static constexpr std::size_t kLongestName = 16;

  explicit NameTable(std::size_t expected = 0) { allocate(std::bit_ceil(expected * 3 / 2 + 16)); }

  // The look-up of `name` starts: what is done before find() or insert()
  // hides the cache miss.
  void prefetch(std::string_view name) const { __builtin_prefetch(&slots_[Key(name).hash() & (slots_.size() - 1)]); }

  const std::uint32_t* find(std::string_view name) const {
    const Key key(name);
    const Slot& slot = slots_[slotOf(key)];
    return slot.length == kEmpty ? nullptr : &slot.value;
  }

  // The number of `name`, `value` when it had none.
  std::uint32_t& insert(std::string_view name, std::uint32_t value) {
    if ((size_ + 1) * 10 > slots_.size() * 7) grow();
    const Key key(name);
    Slot& slot = slots_[slotOf(key)];
    if (slot.length == kEmpty) {
      slot = {key.first, key.second, value, key.length};
      ++size_;
    }
    return slot.value;
  }

 private:
  static constexpr std::uint8_t kEmpty = 0xFF;

  struct Key {
    std::uint64_t first = 0, second = 0;
    std::uint8_t length = 0;
    explicit Key(std::string_view name) : length(static_cast<std::uint8_t>(std::min(name.size(), kLongestName))) {
      char bytes[kLongestName] = {};
      std::copy_n(name.data(), length, bytes);
      std::memcpy(&first, bytes, 8);
      std::memcpy(&second, bytes + 8, 8);
    }
    std::size_t hash() const {
      std::uint64_t h = (first * 0x9E3779B97F4A7C15ull) ^ (second * 0xC2B2AE3D27D4EB4Full) ^ length;
      h ^= h >> 32;
      h *= 0xD6E8FEB86659FD93ull;
      return static_cast<std::size_t>(h ^ (h >> 32));
    }
  };
  struct Slot {
    std::uint64_t first = 0, second = 0;
    std::uint32_t value = 0;
    std::uint8_t length = kEmpty;
  };

  std::size_t slotOf(const Key& key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = key.hash() & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.length == kEmpty || (slot.first == key.first && slot.second == key.second && slot.length == key.length))
        return at;
    }
  }

  void allocate(std::size_t slots) { slots_.resize(slots); }

  void grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    allocate(old.size() * 2);
    for (const Slot& slot : old) {
      if (slot.length == kEmpty) continue;
      const std::size_t mask = slots_.size() - 1;
      Key key{std::string_view()};
      key.first = slot.first;
      key.second = slot.second;
      key.length = slot.length;
      std::size_t at = key.hash() & mask;
      while (slots_[at].length != kEmpty) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

static_assert(kPlaces3.stationName.width <= NameTable::kLongestName &&
                  kPlaces3.positionName.width <= NameTable::kLongestName &&
                  kPlaces3.observedTo.width <= NameTable::kLongestName &&
                  kPlaces3.reducedTo.width <= NameTable::kLongestName &&
                  kPlaces3.backsightTo.width <= NameTable::kLongestName &&
                  kPlaces2.stationName.width <= NameTable::kLongestName &&
                  kPlaces2.positionName.width <= NameTable::kLongestName &&
                  kPlaces2.observedTo.width <= NameTable::kLongestName &&
                  kPlaces2.reducedTo.width <= NameTable::kLongestName &&
                  kPlaces2.backsightTo.width <= NameTable::kLongestName,
              "a name field is wider than the name table holds");

// The last recorded coordinates of every name, for stations whose own record
// has none, orientations without an azimuth, and check shots. The names are
// views into the list's own bytes.
class RecordedPoints {
 public:
  RecordedPoints(const RecordList& list, std::size_t rows) { read(list, rows); }

  // Observations of any kind in the rows read: at most as many solutions.
  std::size_t observations() const { return observations_; }

  void prefetch(std::string_view name) const { index_.prefetch(name); }

  const Coordinates* find(std::string_view name) const {
    const std::uint32_t* at = index_.find(name);
    return at ? &coordinates_[*at] : nullptr;
  }

 private:
  struct Named {
    std::string_view name;
    Coordinates at;
  };

  void read(const RecordList& list, std::size_t rows);
  // Every station and position with coordinates, in row order.
  std::vector<Named> namedIn(const RecordList& list, std::size_t rows);

  std::vector<Coordinates> coordinates_;
  std::size_t observations_ = 0;
  NameTable index_;
};

}  // namespace quillmar::survey::detail
