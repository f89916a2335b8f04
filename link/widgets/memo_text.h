#pragma once
// Received bytes in the memo and back. Windows-1251 letters show as
// themselves; control bytes (STX, ETX, NUL, a lone CR or LF) show as their
// pictures (␂, ␃, ␀, ␍, ␊), and a byte the code leaves unassigned as a
// private-use character, so that every byte comes back from the memo as it
// went in. CR LF separates memo lines.

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

// The memo text of received bytes: every CR LF becomes a line break.
QString memoTextFromBytes(std::string_view bytes);

// The bytes of one memo line (or of a settings text); nothing when a character
// has no byte. `unmapped` receives the first such character.
std::optional<std::string> bytesFromMemoText(QStringView text, QChar* unmapped = nullptr);

// Settings texts: plain Windows-1251, shown as the memo shows them.
inline QString textFromCp1251(std::string_view bytes) { return memoTextFromBytes(bytes); }

}  // namespace quillmar
