// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One rule for putting a number into a fixed-width field of an SDR line,
// for everything that writes numbers there (the edit and add dialogs, the
// computed coordinates): a number is never cut, since cutting "65432109875"
// to ten characters stores a value ten times smaller. Where only decimals
// are lost it is rounded; where more would be lost it does not fit.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmar {

enum class NumberFit {
  Fits,     // as typed, or without blanks or trailing zero decimals: the value is the same
  Rounded,  // to fewer decimals: the value changes, so ask first
  TooLong,  // not even rounded to a whole number, or not a decimal number at all
};

struct FittedNumber {
  NumberFit fit = NumberFit::Fits;
  std::string text;  // what goes into the field; empty when TooLong
};

// `text` for a field of `width` characters. A text that fits is kept as it
// is, whatever it holds. A longer one that is a decimal number (a sign,
// digits, a point and digits) loses blanks around it, then decimals, rounded
// half away from zero and never to "-0".
FittedNumber FitNumber(std::string_view text, std::size_t width);

}  // namespace quillmar
