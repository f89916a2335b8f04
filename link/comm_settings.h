// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The five serial settings texts and their file CommSet.ini: one 36-byte
// record of short strings. A text longer than its field is cut in the record;
// its full form follows the record, so that "COM10" or "/dev/ttyUSB0" comes
// back as typed while a reader that knows only the record still finds it.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmar {

struct CommSettings {
  std::string portText;
  std::string baudText;
  std::string byteSizeText;
  std::string stopBitText;
  std::string parityText;

  bool operator==(const CommSettings&) const = default;
};

inline constexpr std::size_t kCommSetRecordSize = 36;
inline constexpr std::string_view kCommSetFileName = "CommSet.ini";

// The texts of the settings dialog when it is created.
CommSettings creationCommSettings();

// The 36-byte record, followed by the full texts when one of them is longer
// than its field.
std::string encodeCommSettings(const CommSettings& settings);

// The texts of a file's bytes. Throws IoError(100) when there are fewer than
// 36. A field of length 0 gives an empty text; the full text behind the
// record replaces only a field stored at its full capacity.
CommSettings decodeCommSettings(std::string_view bytes);

// Load settings: every non-empty text of the file replaces the one in `settings`.
// Throws IoError: 103 when the file is missing or cannot be opened, 100 when it
// holds fewer than 36 bytes; `settings` is then unchanged.
void loadCommSettings(const std::string& path, CommSettings& settings);

// Throws IoError; a failed write leaves the previous file as it was.
void storeCommSettings(const std::string& path, const CommSettings& settings);

}  // namespace quillmar
