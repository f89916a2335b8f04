// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/number_fit.h"

#include <algorithm>
#include <optional>

namespace quillmar {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

struct Decimal {
  std::string_view sign;  // "", "-" or "+"
  std::string_view whole;
  std::string_view fraction;
  bool point = false;
};

std::optional<Decimal> parseDecimal(std::string_view text) {
  Decimal number;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    number.sign = text.substr(0, 1);
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  number.point = point != std::string_view::npos;
  number.whole = text.substr(0, point);
  if (number.point) number.fraction = text.substr(point + 1);
  const auto digitsOnly = [](std::string_view part) { return std::all_of(part.begin(), part.end(), isDigit); };
  if (!digitsOnly(number.whole) || !digitsOnly(number.fraction)) return std::nullopt;
  if (number.whole.empty() && number.fraction.empty()) return std::nullopt;
  return number;
}

// The digits with one added at the last place, carrying to the left.
void addOneAtTheEnd(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
}

// The number with `decimals` decimals, rounded half away from zero.
std::string rounded(const Decimal& number, std::size_t decimals) {
  std::string digits(number.whole);
  digits.append(number.fraction.substr(0, decimals));
  if (decimals < number.fraction.size() && number.fraction[decimals] >= '5') addOneAtTheEnd(digits);
  // A carry past the first digit made the whole part one digit longer.
  const std::size_t newWhole = digits.size() - std::min(decimals, number.fraction.size());
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  std::string text(zero && number.sign == "-" ? std::string_view() : number.sign);
  text.append(std::string_view(digits).substr(0, newWhole));
  if (newWhole == 0 && decimals == 0) text.push_back('0');
  if (decimals > 0) text.append(".").append(std::string_view(digits).substr(newWhole));
  return text;
}

}  // namespace

FittedNumber FitNumber(std::string_view text, std::size_t width) {
  if (text.size() <= width) return {NumberFit::Fits, std::string(text)};
  const std::string_view bare = trimmed(text);
  if (bare.size() <= width) return {NumberFit::Fits, std::string(bare)};
  const std::optional<Decimal> number = parseDecimal(bare);
  if (!number || !number->point) return {NumberFit::TooLong, {}};
  for (std::size_t decimals = number->fraction.size() + 1; decimals-- > 0;) {
    std::string candidate = rounded(*number, decimals);
    if (candidate.size() > width) continue;
    const bool sameValue = number->fraction.substr(decimals).find_first_not_of('0') == std::string_view::npos;
    return {sameValue ? NumberFit::Fits : NumberFit::Rounded, std::move(candidate)};
  }
  return {NumberFit::TooLong, {}};
}

}  // namespace quillmar
