// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own texts are written in UTF-8 source and stored as
// Windows-1251 bytes: "Станция"_w is converted while compiling, so a
// character that Windows-1251 cannot hold is a compile error, not a '?'.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillmar {

namespace cp1251_detail {

// Windows-1251 byte for a Unicode code point, or -1 when it has none.
constexpr int byteFor(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  if (c >= 0x0410 && c <= 0x044F) return static_cast<int>(c - 0x0410 + 0xC0);
  switch (c) {
    case 0x0401: return 0xA8;  // Ё
    case 0x0451: return 0xB8;  // ё
    case 0x2116: return 0xB9;  // №
    case 0x00A0: return 0xA0;
    case 0x00AB: return 0xAB;
    case 0x00BB: return 0xBB;
    case 0x00B0: return 0xB0;  // degree sign
    case 0x2013: return 0x96;
    case 0x2014: return 0x97;
    default: return -1;
  }
}

template <std::size_t N>
struct Utf8Text {
  char bytes[N]{};
  constexpr Utf8Text(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
  }
};

template <std::size_t N>
struct Converted {
  std::array<char, N> bytes{};
  std::size_t size = 0;
};

template <std::size_t N>
constexpr Converted<N> convert(const Utf8Text<N>& in) {
  Converted<N> out;
  std::size_t i = 0;
  while (i + 1 < N) {  // the last byte is the terminating NUL
    const auto b = static_cast<unsigned char>(in.bytes[i]);
    char32_t cp = 0;
    int extra = 0;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      extra = 3;
    } else
      throw "invalid UTF-8 in a literal";
    ++i;
    for (int k = 0; k < extra; ++k, ++i) {
      if (i + 1 >= N) throw "truncated UTF-8 in a literal";
      cp = (cp << 6) | (static_cast<unsigned char>(in.bytes[i]) & 0x3F);
    }
    const int byte = byteFor(cp);
    if (byte < 0) throw "character without a Windows-1251 byte";
    out.bytes[out.size++] = static_cast<char>(byte);
  }
  return out;
}

template <Utf8Text S>
inline constexpr Converted<sizeof(S.bytes)> kConverted = convert(S);

}  // namespace cp1251_detail

// "Текст"_w: the Windows-1251 bytes of a UTF-8 literal, with static storage.
template <cp1251_detail::Utf8Text S>
constexpr std::string_view operator""_w() {
  const auto& c = cp1251_detail::kConverted<S>;
  return std::string_view(c.bytes.data(), c.size);
}

// Text typed on a UTF-8 terminal (a point name on the command line) as
// Windows-1251 bytes; text that is no UTF-8, or has a character without a
// byte, is taken as Windows-1251 already.
inline std::string Utf8ToCp1251(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0))
      return std::string(text);
    char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return std::string(text);
      cp = (cp << 6) | (next & 0x3F);
    }
    const int byte = cp1251_detail::byteFor(cp);
    if (byte < 0) return std::string(text);
    out.push_back(static_cast<char>(byte));
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

}  // namespace quillmar
