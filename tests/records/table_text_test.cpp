// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/table_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillmar {
namespace {

TEST(TableText, fixedNumbers_haveTheirDecimalsAndNoSignedZero) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {-0.00004, 4, "0.0000"}, {-0.00005001, 4, "-0.0001"},
      {-0.0, 4, "0.0000"},     {1234567.89124, 4, "1234567.8912"},
      {-12.5, 0, "-12"},       {-0.4, 0, "0"},
      {0.049, 1, "0.0"},       {-3.14159, 2, "-3.14"},
  };
  for (const auto& c : cases) EXPECT_EQ(FixedText(c.value, c.decimals), c.text) << c.value << " " << c.decimals;
}

TEST(TableText, fieldsWithSeparatorQuoteOrLineEnd_areQuoted) {
  const struct {
    const char* field;
    const char* text;
  } cases[] = {
      {"ST1", "ST1"}, {"A;B", "\"A;B\""}, {"5\"", "\"5\"\"\""}, {"X\r\n", "\"X\r\n\""}, {"", ""}, {"a,b", "a,b"},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendTableField(out, c.field);
    EXPECT_EQ(out, c.text) << c.field;
  }
  std::string comma;
  AppendTableField(comma, "a,b", ',');
  EXPECT_EQ(comma, "\"a,b\"");
}

}  // namespace
}  // namespace quillmar
