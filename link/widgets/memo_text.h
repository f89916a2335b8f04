#pragma once
// Received bytes in the memo. Each byte shows as its visible character
// (control bytes as their pictures, see widgets/text_codec.h), so that every
// byte comes back from the memo as it went in; CR LF separates memo lines.

#include <QString>

#include <string_view>

namespace quillmar {

// The memo text of received bytes: every CR LF becomes a line break, a lone
// CR or LF shows as ␍ or ␊.
QString memoTextFromBytes(std::string_view bytes);

}  // namespace quillmar
