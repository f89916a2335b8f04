#pragma once
// Windows-1251 bytes <-> QString at the widget boundary. Windows-1251 is a
// single-byte code, so both directions go through tables built once from
// Qt's "windows-1251" decoder.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

QString cp1251ToQString(std::string_view bytes);

// Nothing when a character has no Windows-1251 byte: such text is refused,
// never stored as '?'.
std::optional<std::string> qStringToCp1251(const QString& text);

// The text for showing a caption: control characters (a record's own CR LF)
// become their visible pictures, so CR shows as ␍ and LF as ␊.
QString readableCaption(std::string_view caption);

}  // namespace quillmar
