// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/memo_text.h"

#include "widgets/text_codec.h"

namespace quillmar {

QString memoTextFromBytes(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t start = 0;;) {
    const std::size_t end = bytes.find('\n', start);
    std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
    if (end != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    text.append(cp1251ToVisibleText(line));
    if (end == std::string_view::npos) return text;
    text.append(QChar(u'\n'));
    start = end + 1;
  }
}

}  // namespace quillmar
