// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/name_index.h"

#include <bit>

namespace quillmar::plan {
namespace {

std::uint32_t tagOf(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

}  // namespace

NameIndex::NameIndex(const std::vector<std::string_view>& names) : names_(names) {
  const std::size_t capacity = std::bit_ceil(names.size() * 2 + 16);
  slots_.assign(capacity, Slot{});
  mask_ = capacity - 1;
  for (std::size_t point = 0; point < names.size(); ++point) {
    if (names[point].empty()) continue;
    const std::size_t hash = std::hash<std::string_view>{}(names[point]);
    slots_[slotOf(names[point], hash)] = {static_cast<std::uint32_t>(point + 1), tagOf(hash)};
  }
}

// The slot that holds `name`, or the empty one where it would go.
std::size_t NameIndex::slotOf(std::string_view name, std::size_t hash) const {
  const std::uint32_t tag = tagOf(hash);
  for (std::size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
    const Slot& s = slots_[slot];
    if (s.entry == 0 || (s.tag == tag && names_[s.entry - 1] == name)) return slot;
  }
}

std::optional<std::uint32_t> NameIndex::find(std::string_view name) const {
  const std::uint32_t entry = slots_[slotOf(name, std::hash<std::string_view>{}(name))].entry;
  if (entry == 0) return std::nullopt;
  return entry - 1;
}

}  // namespace quillmar::plan
