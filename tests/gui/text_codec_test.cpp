// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1251 <-> QString: the plain text of dialogs and the visible text of
// the memo and the captions.

#include <gtest/gtest.h>

#include <QSet>

#include "widgets/text_codec.h"

namespace quillmar {
namespace {

std::string everyByte() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

QString units(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// ---- plain text ---------------------------------------------------------------------

TEST(PlainText, windows1251BytesBecomeUnicodeAndBack) {
  const struct {
    std::string bytes;
    QString text;
  } cases[] = {
      {"\xC0\xE1\xE2 \xA8\xB8 \xB9 \x88 A", QStringLiteral("Абв Ёё № € A")},
      {"\xA8\xE6 \xB9"
       "5 \x88",
       QStringLiteral("Ёж №5 €")},
      {"", QString()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cp1251ToQString(c.bytes), c.text);
    EXPECT_EQ(qStringToCp1251(c.text), c.bytes);
  }
}

TEST(PlainText, everyByteComesBackUnchanged) {
  const std::string bytes = everyByte();
  const auto back = qStringToCp1251(cp1251ToQString(bytes));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, bytes);
}

TEST(PlainText, textWindows1251CannotHold_isRefused) {
  const std::u16string_view refused[] = {
      u"P1 ✓",       u"Ω", u"P\u4E2D", u"\u0101",
      u"\u240D",      // a picture is visible text, not plain text
      u"\uE098",      // so is the private-use character
      u"a\xD800",     // a lone surrogate
      u"\U0001F600",  // a character outside the basic plane
  };
  for (const auto text : refused) EXPECT_EQ(qStringToCp1251(units(text)), std::nullopt);
}

// ---- visible text -------------------------------------------------------------------

TEST(VisibleText, everyByteHasACharacterOfItsOwnAndComesBack) {
  const QString shown = cp1251ToVisibleText(everyByte());
  EXPECT_EQ(shown.size(), 256);
  EXPECT_EQ(QSet<QChar>(shown.begin(), shown.end()).size(), 256);
  EXPECT_EQ(visibleTextToCp1251(shown), everyByte());
}

TEST(VisibleText, controlAndUnassignedBytesShowAsVisibleCharacters) {
  const struct {
    char byte;
    char16_t shown;
  } cases[] = {
      {'\x00', u'\u2400'}, {'\x02', u'\u2402'}, {'\x03', u'\u2403'}, {'\t', u'\u2409'},
      {'\n', u'\u240A'},   {'\r', u'\u240D'},   {'\x1F', u'\u241F'}, {'\x7F', u'\u2421'},
      {'\x98', u'\uE098'}, {'\x88', u'\u20AC'}, {'\xC0', u'\u0410'}, {'A', u'A'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cp1251ToVisibleText(std::string_view(&c.byte, 1)), QString(QChar(c.shown)))
        << "byte " << static_cast<int>(static_cast<unsigned char>(c.byte));
  }
}

TEST(VisibleText, typedTextMapsBackToWindows1251) {
  EXPECT_EQ(visibleTextToCp1251(u"Тип 09F1\t\u2402"), std::optional<std::string>("\xD2\xE8\xEF 09F1\t\x02"));
  QChar unmapped;
  EXPECT_EQ(visibleTextToCp1251(u"ab\u65E5c", &unmapped), std::nullopt);
  EXPECT_EQ(unmapped, QChar(0x65E5));
}

TEST(VisibleText, aLineBreakIsNotAByte) {
  for (const char16_t lineBreak : {u'\r', u'\n'}) {
    QChar unmapped;
    EXPECT_EQ(visibleTextToCp1251(units(std::u16string{u'A', lineBreak}), &unmapped), std::nullopt);
    EXPECT_EQ(unmapped, QChar(lineBreak));
  }
}

// ---- captions -----------------------------------------------------------------------

TEST(Caption, everyByteShowsAsOneVisibleCharacter) {
  for (int b = 0; b < 256; ++b) {
    const QString shown = readableCaption(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(shown.size(), 1) << "byte " << b;
    const QChar c = shown.front();
    // 0xAD is the soft hyphen, a letter of the code page in its own right.
    if (b == 0xAD) continue;
    EXPECT_TRUE(c.isPrint() || c.category() == QChar::Other_PrivateUse) << "byte " << b;
  }
  EXPECT_EQ(readableCaption("12NM\r\n"), QStringLiteral("12NM␍␊"));
}

}  // namespace
}  // namespace quillmar
