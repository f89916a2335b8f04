// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/detail_fields.h"

namespace quillmar::survey::detail {
namespace {

constexpr bool is(std::string_view code, KindId kind) { return code == LayoutOf(kind).typeCode; }

}  // namespace

// Plain decimals ("-123.4567") are read here: a mantissa below 2^53 over an
// exact power of ten is one correctly rounded division, the same double that
// from_chars gives. Anything else goes to the plan's reading of numbers.
Value valueOfText(std::string_view text) {
  std::size_t at = 0;
  const bool negative = text[0] == '-';
  if (negative || text[0] == '+') ++at;
  std::uint64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false, plain = at < text.size();
  for (; at < text.size() && plain; ++at) {
    const char c = text[at];
    if (c >= '0' && c <= '9') {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) ++decimals;
      plain = ++digits <= 15;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      plain = false;
    }
  }
  if (plain && digits > 0 && (!point || decimals > 0) && decimals <= 22) {
    const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    if (value <= kLargestValue) return {Value::Number, negative ? -value : value};
    return {Value::Text, 0};
  }
  const auto number = plan::fieldNumber(text);
  if (!number || std::fabs(*number) > kLargestValue) return {Value::Text, 0};
  return {Value::Number, *number};
}

double fullCircleOf(char code) {
  switch (code) {
    case '1': return 360.0;
    case '2': return 400.0;
    case '3': return 6400.0;
    default: return 0.0;
  }
}

Kind kindOf(std::string_view code) {
  if (code.size() != 2 || code[0] < '0' || code[0] > '1') return Kind::Other;
  if (is(code, KindId::Observation)) return Kind::Observation;
  if (is(code, KindId::Position)) return Kind::Position;
  if (is(code, KindId::Station)) return Kind::Station;
  if (is(code, KindId::Target)) return Kind::Target;
  if (is(code, KindId::Backsight)) return Kind::Backsight;
  if (is(code, KindId::ReducedObservation)) return Kind::Reduced;
  if (is(code, KindId::Header)) return Kind::Header;
  if (is(code, KindId::Instrument)) return Kind::Instrument;
  if (is(code, KindId::ScaleFactor)) return Kind::Scale;
  if (is(code, KindId::Job)) return Kind::Job;
  return Kind::Other;
}

std::optional<CoordinateOrder> orderOf(char code) {
  if (code == '1') return CoordinateOrder::NorthEast;
  if (code == '2') return CoordinateOrder::EastNorth;
  return std::nullopt;
}

std::optional<Coordinates> coordinatesOf(std::string_view line, FieldPlace first, FieldPlace second, FieldPlace third,
                                         CoordinateOrder order) {
  const auto one = numberOf(FieldText(line, first));
  if (!one) return std::nullopt;
  const auto two = numberOf(FieldText(line, second));
  if (!two) return std::nullopt;
  Coordinates at;
  at.north = order == CoordinateOrder::NorthEast ? *one : *two;
  at.east = order == CoordinateOrder::NorthEast ? *two : *one;
  at.elevation = numberOf(FieldText(line, third));
  return at;
}

}  // namespace quillmar::survey::detail
