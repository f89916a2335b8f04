// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Point names to point indexes, a name standing for the last point given it.
// Open addressing over a flat array: a million-record book has hundreds of
// thousands of names, and node-based maps spend their time in cache misses.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace quillmar::plan {

class NameIndex {
 public:
  // `names` holds the name of every point and must outlive the index.
  explicit NameIndex(const std::vector<std::string_view>& names);

  std::optional<std::uint32_t> find(std::string_view name) const;

 private:
  // Part of each name's hash is kept beside its index, so that a probe
  // reads the name itself (somewhere in the records) only when that matches.
  struct Slot {
    std::uint32_t entry = 0;  // point index + 1; 0 is empty
    std::uint32_t tag = 0;
  };
  std::size_t slotOf(std::string_view name, std::size_t hash) const;

  const std::vector<std::string_view>& names_;
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

}  // namespace quillmar::plan
