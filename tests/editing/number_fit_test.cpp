// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/number_fit.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmar {
namespace {

struct NumberCase {
  std::string text;
  std::size_t width;
  NumberFit fit;
  std::string stored;
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << '"' << c.text << "\" in " << c.width; }

class FitNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FitNumberTest, keepsRoundsOrRefusesButNeverCuts) {
  const NumberCase& c = GetParam();
  const FittedNumber fitted = FitNumber(c.text, c.width);
  EXPECT_EQ(fitted.fit, c.fit);
  EXPECT_EQ(fitted.text, c.stored);
}

constexpr auto kFits = NumberFit::Fits;
constexpr auto kRounded = NumberFit::Rounded;
constexpr auto kTooLong = NumberFit::TooLong;

INSTANTIATE_TEST_SUITE_P(
    Values, FitNumberTest,
    ::testing::Values(NumberCase{"65432109875", 10, kTooLong, ""}, NumberCase{"1234.56789", 10, kFits, "1234.56789"},
                      NumberCase{"N/A", 10, kFits, "N/A"}, NumberCase{"", 10, kFits, ""},
                      NumberCase{"  12.5  ", 4, kFits, "12.5"}, NumberCase{"12.5000000", 4, kFits, "12.5"},
                      NumberCase{"12345678901.", 11, kFits, "12345678901"},
                      NumberCase{"1234.567851", 9, kRounded, "1234.5679"},
                      NumberCase{"1234.567849", 9, kRounded, "1234.5678"},
                      NumberCase{"-123.456", 6, kRounded, "-123.5"}, NumberCase{"9999.96", 6, kRounded, "10000"},
                      NumberCase{".96", 2, kRounded, "1"}, NumberCase{"-0.00004", 6, kRounded, "0.0000"},
                      NumberCase{"+3.14159", 5, kRounded, "+3.14"}, NumberCase{"123456.7", 5, kTooLong, ""},
                      NumberCase{"12.34.5", 5, kTooLong, ""}, NumberCase{"1.5e3", 4, kTooLong, ""},
                      NumberCase{"corner", 5, kTooLong, ""}));

}  // namespace
}  // namespace quillmar
