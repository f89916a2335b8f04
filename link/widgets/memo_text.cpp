#include "link/widgets/memo_text.h"

#include "widgets/text_codec.h"

namespace quillmar {

QString memoTextFromBytes(std::string_view bytes) {
  constexpr std::string_view kLineEnd = "\r\n";
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t start = 0;;) {
    const std::size_t end = bytes.find(kLineEnd, start);
    text.append(cp1251ToVisibleText(bytes.substr(start, end - start)));
    if (end == std::string_view::npos) return text;
    text.append(QChar(u'\n'));
    start = end + kLineEnd.size();
  }
}

}  // namespace quillmar
