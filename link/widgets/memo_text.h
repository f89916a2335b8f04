// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Received bytes in the memo. Each byte shows as its visible character
// (control bytes as their pictures, see widgets/text_codec.h), so that every
// byte comes back from the memo as it went in; CR LF or LF separates memo lines.

#include <QString>

#include <string_view>

namespace quillmar {

// The memo text of received bytes: every CR LF and every lone LF becomes a
// line break (field books written with LF line ends are common); a lone CR
// shows as ␍.
QString memoTextFromBytes(std::string_view bytes);

}  // namespace quillmar
