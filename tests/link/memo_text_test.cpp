// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/memo_text.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "dialogs_support.h"
#include "link/widgets/comm_set_dialog.h"
#include "link/widgets/zagruz_form.h"

namespace quillmar {
namespace {

using namespace std::string_view_literals;

std::string everyByteButCrLf() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
  }
  return bytes;
}

class MemoBytes : public test::ReceptionWindowsTest {
 protected:
  // The way received bytes take: hand-over, memo, "ОК", line buffer.
  std::vector<std::string> throughTheMemo(std::string_view received) {
    form_.show();
    form_.appendToMemo(received);
    form_.Button3Click();
    return bufferLines();
  }
};

TEST_F(MemoBytes, everyByteValueButCrLf_reachesTheLineBufferUnchanged) {
  const std::string all = everyByteButCrLf();
  const auto lines = throughTheMemo("\x02\r\n" + all + "\r\n\x03");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], all + "\r\n");
}

TEST_F(MemoBytes, eachByteValueAsALineOfItsOwn_survives) {
  std::string received;
  std::vector<std::string> expected;
  for (char byte : everyByteButCrLf()) {
    received += std::string(1, byte) + "x" + std::string(1, byte) + "\r\n";
    expected.push_back(std::string(1, byte) + "x" + std::string(1, byte) + "\r\n");
  }
  received += "\x03";
  expected.push_back("\x03\r\n");
  EXPECT_EQ(throughTheMemo(received), expected);
}

TEST_F(MemoBytes, aLoneLfEndsALineAndALoneCrStaysInside) {
  EXPECT_EQ(throughTheMemo("A\rB\nC\n\rD"), (std::vector<std::string>{"A\rB\r\n", "C\r\n", "\rD\r\n"}));
}

TEST(MemoText, crLfPairsAndLoneLfsBreakLines) {
  const struct {
    std::string_view bytes;
    std::u16string_view shown;
  } cases[] = {
      {"", u""},
      {"A\r\n"sv, u"A\n"},
      {"\r\nA"sv, u"\nA"},
      {"\r\r\n"sv, u"\u240D\n"},
      {"\r\n\n"sv, u"\n\n"},
      {"\n\r"sv, u"\n\u240D"},
      {"\r\n\r\n"sv, u"\n\n"},
      {"\x98\r\n\x02"sv, u"\uE098\n\u2402"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(memoTextFromBytes(c.bytes), QStringView(c.shown).toString()) << c.bytes;
  }
}

TEST_F(MemoBytes, textWithoutWindows1251Bytes_isRefusedAtOk) {
  form_.show();
  form_.Memo1->setPlainText(QStringLiteral("00NM\u65E5"));
  form_.Button3Click();
  EXPECT_FALSE(receptionDone_);
  EXPECT_TRUE(form_.isVisible());
  EXPECT_FALSE(seam_.messages.isEmpty());
}

}  // namespace
}  // namespace quillmar
