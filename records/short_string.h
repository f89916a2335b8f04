// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fixed-capacity text as the record files store it: one length byte and
// Capacity character bytes. Storing a longer text keeps its first characters.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quillmar {

template <std::size_t Capacity>
struct ShortString {
  static_assert(Capacity <= 255);
  static constexpr std::size_t capacity = Capacity;

  std::uint8_t length = 0;
  // Characters past `length` carry no meaning and are left as they are; the
  // record file writer puts zeros there itself.
  char chars[Capacity];

  ShortString() = default;
  explicit ShortString(std::string_view text) { assign(text); }

  void assign(std::string_view text) {
    length = static_cast<std::uint8_t>(std::min(text.size(), Capacity));
    // Not memcpy: GCC 12 at -O3 takes a text in a temporary std::string for
    // one that may be read past its end (-Warray-bounds).
    std::copy_n(text.data(), length, chars);
  }
  std::string_view view() const { return {chars, length}; }
  std::string str() const { return std::string(view()); }
  bool operator==(std::string_view other) const { return view() == other; }
};

}  // namespace quillmar
