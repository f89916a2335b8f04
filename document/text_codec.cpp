#include "document/text_codec.h"

#include <QStringDecoder>

#include <array>
#include <unordered_map>

namespace quillmar {
namespace {

struct Cp1251Tables {
  std::array<char16_t, 256> toUnicode{};
  std::unordered_map<char16_t, char> toByte;

  Cp1251Tables() {
    QStringDecoder decoder("windows-1251");
    Q_ASSERT(decoder.isValid());
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      const QString text = decoder.decode(QByteArrayView(&byte, 1));
      // A byte the code leaves unassigned decodes to U+FFFD and cannot be typed back.
      const char16_t unit = text.size() == 1 ? text.at(0).unicode() : char16_t{0xFFFD};
      toUnicode[static_cast<std::size_t>(b)] = unit;
      if (unit != 0xFFFD) toByte.emplace(unit, byte);
    }
  }
};

const Cp1251Tables& tables() {
  static const Cp1251Tables instance;
  return instance;
}

char16_t visibleControl(char16_t unit) {
  if (unit < 0x20) return static_cast<char16_t>(0x2400 + unit);  // ␀ .. ␟
  if (unit == 0x7F) return 0x2421;                                // ␡
  return unit;
}

}  // namespace

QString cp1251ToQString(std::string_view bytes) {
  const auto& table = tables().toUnicode;
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char c : bytes) *out++ = QChar(table[static_cast<unsigned char>(c)]);
  return text;
}

std::optional<std::string> qStringToCp1251(const QString& text) {
  const auto& toByte = tables().toByte;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    const auto found = toByte.find(c.unicode());
    if (found == toByte.end()) return std::nullopt;
    bytes.push_back(found->second);
  }
  return bytes;
}

QString readableCaption(std::string_view caption) {
  QString text = cp1251ToQString(caption);
  for (QChar& c : text) c = QChar(visibleControl(c.unicode()));
  return text;
}

}  // namespace quillmar
