// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-1251 bytes <-> QString at the widget boundary. Windows-1251 is a
// single-byte code, so every direction goes through tables built once from
// Qt's "windows-1251" decoder.

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

QString cp1251ToQString(std::string_view bytes);

// Nothing when a character has no Windows-1251 byte: such text is refused,
// never stored as '?'.
std::optional<std::string> qStringToCp1251(QStringView text);

// Every byte as a character of its own that can be seen and typed back:
// control bytes (STX, ETX, NUL, CR, LF...) as their pictures (␂, ␃, ␀, ␍, ␊),
// a byte the code leaves unassigned as a private-use character.
QString cp1251ToVisibleText(std::string_view bytes);

// The bytes of a visible text, pictures and private-use characters included.
// Nothing when a character has no byte; `unmapped` then receives the first one.
std::optional<std::string> visibleTextToCp1251(QStringView text, QChar* unmapped = nullptr);

// The text for showing a caption: control characters (a record's own CR LF)
// become their pictures, so CR shows as ␍ and LF as ␊.
QString readableCaption(std::string_view caption);

}  // namespace quillmar
