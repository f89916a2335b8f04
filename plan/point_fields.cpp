#include "plan/point_fields.h"

#include <charconv>
#include <cmath>

#include "records/sdr_field.h"

namespace quillmar::plan {
namespace {

bool hasLayout(const SurveyRecord& record) {
  return record.version == kVersionSdr3 || record.version == kVersionSdr2;
}

bool wide(const SurveyRecord& record) { return record.version == kVersionSdr3; }

// Field widths of the two layouts: a point id and a number.
std::size_t idWidth(const SurveyRecord& record) { return wide(record) ? 16 : 4; }
std::size_t numberWidth(const SurveyRecord& record) { return wide(record) ? 16 : 10; }

constexpr std::size_t kFirstField = 5;
constexpr std::size_t kCoordinateOrderCode = 45;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool isStation(const SurveyRecord& record) { return record.typeCode == "02"; }

bool isPointRecord(const SurveyRecord& record) {
  return isStation(record) || record.typeCode == "08";
}

std::optional<PointFields> pointFields(const SurveyRecord& record) {
  if (!hasLayout(record) || !isPointRecord(record)) return std::nullopt;
  const std::string_view line = record.body.view();
  const std::size_t id = idWidth(record);
  const std::size_t number = numberWidth(record);
  return PointFields{sdrField(line, kFirstField, id), sdrField(line, kFirstField + id, number),
                     sdrField(line, kFirstField + id + number, number)};
}

std::optional<std::string_view> observedPointName(const SurveyRecord& record) {
  if (!hasLayout(record) || record.typeCode != "09") return std::nullopt;
  const std::size_t id = idWidth(record);
  return sdrField(record.body.view(), kFirstField + id, id);
}

std::optional<CoordinateOrder> headerCoordinateOrder(const SurveyRecord& record) {
  if (!hasLayout(record) || record.typeCode != "00") return std::nullopt;
  switch (sdrCode(record.body.view(), kCoordinateOrderCode)) {
    case '1': return CoordinateOrder::NorthEast;
    case '2': return CoordinateOrder::EastNorth;
    default: return std::nullopt;
  }
}

std::string_view trimmedName(std::string_view field) { return trimmed(field); }

std::optional<double> fieldNumber(std::string_view field) {
  std::string_view text = trimmed(field);
  // from_chars takes no plus sign; a sign after it is no number.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace quillmar::plan
