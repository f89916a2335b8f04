// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/text_codec.h"

#include <QStringDecoder>

#include <array>
#include <vector>

namespace quillmar {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;
constexpr char16_t kPrivateUseBase = 0xE000;
constexpr short kNoByte = -1;

using ByteTable = std::array<char16_t, 256>;
using UnitTable = std::vector<short>;  // one entry per UTF-16 unit

bool isControl(char16_t unit) { return unit < 0x20 || (unit >= 0x7F && unit < 0xA0); }

char16_t controlPicture(char16_t unit) {
  if (unit < 0x20) return static_cast<char16_t>(kControlPictures + unit);  // ␀ .. ␟
  if (unit == 0x7F) return kDeletePicture;                                 // ␡
  return unit;
}

char16_t decodedByte(QStringDecoder& decoder, unsigned char byte) {
  const char c = static_cast<char>(byte);
  const QString text = decoder.decode(QByteArrayView(&c, 1));
  // A byte the decoder rejects gives U+FFFD, which no character is typed back to.
  return text.size() == 1 ? text.at(0).unicode() : kReplacement;
}

// A byte without a visible character of its own takes a private-use one.
char16_t visibleUnit(unsigned char byte, char16_t plain) {
  const char16_t shown = controlPicture(plain);
  if (shown == kReplacement || isControl(shown)) return static_cast<char16_t>(kPrivateUseBase + byte);
  return shown;
}

struct Cp1251Tables {
  ByteTable plain{};
  ByteTable visible{};
  UnitTable plainByte = UnitTable(0x10000, kNoByte);
  UnitTable visibleByte = UnitTable(0x10000, kNoByte);

  Cp1251Tables() {
    QStringDecoder decoder("windows-1251");
    Q_ASSERT(decoder.isValid());
    for (int b = 0; b < 256; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      plain[byte] = decodedByte(decoder, byte);
      visible[byte] = visibleUnit(byte, plain[byte]);
      if (plain[byte] != kReplacement) plainByte[plain[byte]] = static_cast<short>(b);
      visibleByte[visible[byte]] = static_cast<short>(b);
    }
    // Typed control characters (a Tab) are the bytes themselves; a line
    // break is layout, the bytes CR and LF are ␍ and ␊.
    for (char16_t unit = 0; unit < 0x20; ++unit) {
      if (unit != u'\r' && unit != u'\n') visibleByte[unit] = static_cast<short>(unit);
    }
    visibleByte[0x7F] = 0x7F;
  }
};

const Cp1251Tables& tables() {
  static const Cp1251Tables instance;
  return instance;
}

QString decode(std::string_view bytes, const ByteTable& table) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char c : bytes) *out++ = QChar(table[static_cast<unsigned char>(c)]);
  return text;
}

std::optional<std::string> encode(QStringView text, const UnitTable& table, QChar* unmapped) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    const short byte = table[c.unicode()];
    if (byte == kNoByte) {
      if (unmapped != nullptr) *unmapped = c;
      return std::nullopt;
    }
    bytes.push_back(static_cast<char>(byte));
  }
  return bytes;
}

}  // namespace

QString cp1251ToQString(std::string_view bytes) { return decode(bytes, tables().plain); }

std::optional<std::string> qStringToCp1251(QStringView text) { return encode(text, tables().plainByte, nullptr); }

QString cp1251ToVisibleText(std::string_view bytes) { return decode(bytes, tables().visible); }

std::optional<std::string> visibleTextToCp1251(QStringView text, QChar* unmapped) {
  return encode(text, tables().visibleByte, unmapped);
}

QString readableCaption(std::string_view caption) { return cp1251ToVisibleText(caption); }

}  // namespace quillmar
