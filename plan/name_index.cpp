#include "plan/name_index.h"

#include <bit>

namespace quillmar::plan {

NameIndex::NameIndex(const std::vector<std::string_view>& names) : names_(names) {
  const std::size_t capacity = std::bit_ceil(names.size() * 2 + 16);
  slots_.assign(capacity, 0);
  mask_ = capacity - 1;
  for (std::size_t point = 0; point < names.size(); ++point) {
    if (names[point].empty()) continue;
    slots_[slotOf(names[point])] = static_cast<std::uint32_t>(point + 1);
  }
}

// The slot that holds `name`, or the empty one where it would go.
std::size_t NameIndex::slotOf(std::string_view name) const {
  std::size_t slot = std::hash<std::string_view>{}(name) & mask_;
  while (slots_[slot] != 0 && names_[slots_[slot] - 1] != name) slot = (slot + 1) & mask_;
  return slot;
}

std::optional<std::uint32_t> NameIndex::find(std::string_view name) const {
  const std::uint32_t entry = slots_[slotOf(name)];
  if (entry == 0) return std::nullopt;
  return entry - 1;
}

}  // namespace quillmar::plan
