// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Observations read and checked, and the face lefts of a set-up waiting for
// their face rights.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "survey/detail_fields.h"
#include "survey/detail_names.h"
#include "survey/survey.h"

namespace quillmar::survey::detail {

enum class Face : std::uint8_t { Left, Right, Single };

// An observation read and checked, before it meets its set-up's coordinates.
struct Sighting {
  std::uint32_t row = 0;
  std::string_view target;
  Face face = Face::Single;
  bool byAzimuth = false;  // MC: the horizontal value is an azimuth
  double horizontal = 0;   // clockwise, in the book's unit
  double zenith = 0;       // from the zenith, in the book's unit, as the face read it
  double slope = 0;
  double targetHeight = 0;
  Conventions conventions;
};

// A face left waiting for its face right: solved alone already, so that
// solutions come in row order; its pair replaces that solution.
struct Waiting {
  Sighting seen;
  std::uint32_t solution = kNone;         // its index in the results, or kNone
  Failure failure = Failure::NotANumber;  // why it gave nothing, where it did
  bool paired = false;
};

// The face lefts of one set-up by target. Open addressing as in the plan's
// name index; a set-up ends by moving on to a new generation, not by
// clearing the table.
class WaitingFaces {
 public:
  void clear() {
    waiting_.clear();
    if (++generation_ == 0) {
      slots_.assign(slots_.size(), Slot{});
      generation_ = 1;
    }
  }

  Waiting* find(std::string_view name) {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[slotOf(name, hashOf(name))];
    return slot.generation == generation_ ? &waiting_[slot.entry] : nullptr;
  }

  // A later face left of a target takes the earlier one's place.
  void add(Waiting waiting) {
    if ((waiting_.size() + 1) * 2 > slots_.size()) grow();
    const std::size_t hash = hashOf(waiting.seen.target);
    Slot& slot = slots_[slotOf(waiting.seen.target, hash)];
    if (slot.generation == generation_) {
      waiting_[slot.entry] = std::move(waiting);
      return;
    }
    slot = {static_cast<std::uint32_t>(waiting_.size()), static_cast<std::uint32_t>(hash >> 32), generation_};
    waiting_.push_back(std::move(waiting));
  }

 private:
  struct Slot {
    std::uint32_t entry = 0;
    std::uint32_t tag = 0;
    std::uint32_t generation = 0;  // the slot is empty in any other generation
  };

  static std::size_t hashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

  std::size_t slotOf(std::string_view name, std::size_t hash) const {
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.generation != generation_ || (slot.tag == tag && waiting_[slot.entry].seen.target == name)) return at;
    }
  }

  void grow() {
    slots_.assign(std::bit_ceil(std::max<std::size_t>(64, slots_.size() * 2)), Slot{});
    for (std::size_t entry = 0; entry < waiting_.size(); ++entry) {
      const std::size_t hash = hashOf(waiting_[entry].seen.target);
      slots_[slotOf(waiting_[entry].seen.target, hash)] = {static_cast<std::uint32_t>(entry),
                                                           static_cast<std::uint32_t>(hash >> 32), generation_};
    }
  }

  std::vector<Waiting> waiting_;
  std::vector<Slot> slots_;
  std::uint32_t generation_ = 1;
};

}  // namespace quillmar::survey::detail
