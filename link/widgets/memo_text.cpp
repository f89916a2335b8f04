#include "link/widgets/memo_text.h"

#include <QStringDecoder>

#include <array>
#include <vector>

namespace quillmar {
namespace {

constexpr char16_t kPrivateUseBase = 0xE000;
constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;

bool isControl(char16_t unit) { return unit < 0x20 || (unit >= 0x7F && unit < 0xA0); }

class MemoCodec {
 public:
  MemoCodec() : toByte_(0x10000, -1) {
    QStringDecoder decoder("windows-1251");
    for (int b = 0; b < 256; ++b) {
      const char16_t unit = shownAs(decoder, static_cast<unsigned char>(b));
      toUnicode_[static_cast<std::size_t>(b)] = unit;
      toByte_[unit] = static_cast<short>(b);
    }
    // Typed or pasted control characters (a Tab) are the bytes themselves.
    for (char16_t unit = 0; unit < 0x20; ++unit) {
      if (unit != u'\n' && unit != u'\r') toByte_[unit] = static_cast<short>(unit);
    }
    toByte_[0x7F] = 0x7F;
  }

  char16_t toUnicode(unsigned char byte) const { return toUnicode_[byte]; }
  int toByte(char16_t unit) const { return toByte_[unit]; }

 private:
  static char16_t shownAs(QStringDecoder& decoder, unsigned char byte) {
    if (byte < 0x20) return static_cast<char16_t>(kControlPictures + byte);
    if (byte == 0x7F) return kDeletePicture;
    const char c = static_cast<char>(byte);
    const QString decoded = decoder.decode(QByteArrayView(&c, 1));
    const char16_t unit = decoded.size() == 1 ? decoded.at(0).unicode() : char16_t{0xFFFD};
    if (unit == 0xFFFD || isControl(unit)) return static_cast<char16_t>(kPrivateUseBase + byte);
    return unit;
  }

  std::array<char16_t, 256> toUnicode_{};
  std::vector<short> toByte_;
};

const MemoCodec& codec() {
  static const MemoCodec instance;
  return instance;
}

}  // namespace

QString memoTextFromBytes(std::string_view bytes) {
  const MemoCodec& table = codec();
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      text.append(QChar(u'\n'));
      ++i;
      continue;
    }
    text.append(QChar(table.toUnicode(static_cast<unsigned char>(bytes[i]))));
  }
  return text;
}

std::optional<std::string> bytesFromMemoText(QStringView text, QChar* unmapped) {
  const MemoCodec& table = codec();
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    const int byte = table.toByte(c.unicode());
    if (byte < 0) {
      if (unmapped != nullptr) *unmapped = c;
      return std::nullopt;
    }
    bytes.push_back(static_cast<char>(byte));
  }
  return bytes;
}

}  // namespace quillmar
