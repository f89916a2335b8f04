// SPDX-License-Identifier: GPL-3.0-or-later
// Control characters shown as named boxes.

#include <gtest/gtest.h>

#include "records/cp1251.h"
#include "widgets/control_pictures.h"
#include "widgets/text_codec.h"

#include <string_view>

namespace quillmar::test {
namespace {

TEST(ControlPictures, everyControlByteAndUnassignedByteHasAName) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view bytes;
    const char* spelled;
  } cases[] = {
      {"\r\n", "<CR><LF>"}, {"\x02", "<STX>"}, {"\x03", "<ETX>"},        {"\0"sv, "<NUL>"},
      {"\x7F", "<DEL>"},    {"\x98", "<98>"},  {"02TS\x1F", "02TS<US>"}, {"P1 \x1B", "P1 <ESC>"},
  };
  for (const auto& c : cases) {
    const QString shown = readableCaption(c.bytes);
    EXPECT_EQ(spelledOutControls(shown), QString::fromLatin1(c.spelled)) << c.spelled;
  }
  EXPECT_FALSE(isControlPicture(QChar(u'Ж')));
  EXPECT_EQ(spelledOutControls(readableCaption("Цель  Высота=1.5"_w)), QStringLiteral("Цель  Высота=1.5"));
}

}  // namespace
}  // namespace quillmar::test
