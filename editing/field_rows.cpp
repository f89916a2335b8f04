// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/field_rows.h"

#include <algorithm>
#include <array>

#include "records/cp1251.h"
#include "records/record_layout.h"
#include "records/sdr_field.h"
#include "records/survey_record.h"

namespace quillmar {
namespace {

// An edit row without its place, which the layout table gives per layout.
struct RowLabel {
  std::string_view label;
  FieldId id;
  Fit fit = Fit::CF;
};

template <std::size_t N>
struct KindRows {
  std::array<FieldRow, N> sdr3;
  std::array<FieldRow, N> sdr2;

  std::span<const FieldRow> in(char version) const {
    return version == kVersionSdr3 ? std::span<const FieldRow>(sdr3) : sdr2;
  }
};

constexpr bool holdsNumber(FieldId id) {
  return id != FieldId::PointName && id != FieldId::FromPoint && id != FieldId::ToPoint && id != FieldId::Description;
}

template <std::size_t N>
constexpr std::array<FieldRow, N> placed(KindId kind, char version, const std::array<RowLabel, N>& labels) {
  std::array<FieldRow, N> rows{};
  for (std::size_t i = 0; i < N; ++i) {
    const FieldPlace place = FieldOf(kind, labels[i].id).in(version);
    rows[i] = {labels[i].label, place.start, place.width, labels[i].fit, holdsNumber(labels[i].id)};
  }
  return rows;
}

template <std::size_t N>
constexpr KindRows<N> rowsOf(KindId kind, const std::array<RowLabel, N>& labels) {
  return {placed(kind, kVersionSdr3, labels), placed(kind, kVersionSdr2, labels)};
}

using F = FieldId;

// Laid out by hand: formatted, each field would take a deeply indented line.
// clang-format off
constexpr auto kStation = rowsOf(KindId::Station, std::to_array<RowLabel>({
    {"Точка"_w, F::PointName, Fit::TF}, {"N"_w, F::Coordinate1}, {"E"_w, F::Coordinate2},
    {"Elev"_w, F::Coordinate3}, {"Высота прибора"_w, F::InstrumentHeight}, {"Примечание"_w, F::Description},
}));
constexpr auto kTarget = rowsOf(KindId::Target, std::to_array<RowLabel>({{"Высота марки"_w, F::TargetHeight}}));
constexpr auto kPosition = rowsOf(KindId::Position, std::to_array<RowLabel>({
    {"Точка"_w, F::PointName, Fit::TF}, {"N"_w, F::Coordinate1}, {"E"_w, F::Coordinate2},
    {"Elev"_w, F::Coordinate3}, {"Примечание"_w, F::Description},
}));

// The two observation kinds differ in the horizontal value's name only.
constexpr KindRows<6> observationRows(KindId kind, std::string_view horizontal) {
  return rowsOf(kind, std::to_array<RowLabel>({
      {"Исх. точка"_w, F::FromPoint, Fit::TF}, {"Точка навед."_w, F::ToPoint, Fit::TF},
      {"Расстояние"_w, F::SlopeDistance}, {"Верт. угол"_w, F::VerticalAngle},
      {horizontal, F::Horizontal}, {"Примечание"_w, F::Description},
  }));
}
// clang-format on
constexpr auto kObservation = observationRows(KindId::Observation, "Гориз. угол"_w);
constexpr auto kObservationByAzimuth = observationRows(KindId::ObservationByAzimuth, "Гориз. азимут"_w);

// The rows of an editable kind; the layout table says which kinds are.
std::span<const FieldRow> rowsFor(KindId kind, char version) {
  switch (kind) {
    case KindId::Station: return kStation.in(version);
    case KindId::Target: return kTarget.in(version);
    case KindId::Position: return kPosition.in(version);
    case KindId::Observation: return kObservation.in(version);
    case KindId::ObservationByAzimuth: return kObservationByAzimuth.in(version);
    default: return {};
  }
}

constexpr RecordKind kKinds[] = {
    {"STN", "02", "TS"},
    {"TRGET", "03", "NM"},
    {"POS", "08", "XD"},
    {"OBS", "09", "F1"},
};

constexpr std::string_view kNorthLabel = "N";
constexpr std::string_view kEastLabel = "E";

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string withoutLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char c) { return !isLineEnd(c); });
  return out;
}

}  // namespace

bool HasLayout(char version) { return version == kVersionSdr3 || version == kVersionSdr2; }

std::span<const FieldRow> FieldRows(std::string_view typeCode, char version, std::string_view derivCode) {
  if (!HasLayout(version)) return {};
  const KindLayout* kind = FindKindLayout(typeCode, derivCode);
  if (kind == nullptr || !kind->editable) return {};
  return rowsFor(kind->kind, version);
}

std::string_view ShownLabel(const FieldRow& row, CoordinateOrder order) {
  if (order == CoordinateOrder::NorthEast) return row.label;
  if (row.label == kNorthLabel) return kEastLabel;
  if (row.label == kEastLabel) return kNorthLabel;
  return row.label;
}

std::string_view ReadValue(std::string_view line, const FieldRow& row) { return sdrField(line, row.start, row.width); }

std::string EditableValue(std::string_view line, const FieldRow& row) { return withoutLineEnds(ReadValue(line, row)); }

std::string TF(std::string_view value, std::size_t width) {
  if (value.size() >= width) return std::string(value.substr(0, width));
  return std::string(width - value.size(), ' ').append(value);
}

std::string CF(std::string_view value, std::size_t width) {
  if (value.size() >= width) return std::string(value.substr(0, width));
  std::string out(value);
  out.resize(width, ' ');
  return out;
}

std::string FitValue(const FieldRow& row, std::string_view value) {
  const std::string clean = withoutLineEnds(value);
  return row.fit == Fit::TF ? TF(clean, row.width) : CF(clean, row.width);
}

std::string MakeLine(std::string_view first, std::string_view second, std::span<const std::string> fitted) {
  std::string line;
  line.append(first).append(second);
  for (const std::string& value : fitted) line.append(value);
  line.append("\r\n");
  return line;
}

std::string AssembleLine(std::string_view typeCode, std::string_view derivCode, std::span<const FieldRow> rows,
                         std::span<const std::string> values) {
  std::vector<std::string> fitted;
  fitted.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    fitted.push_back(FitValue(rows[i], i < values.size() ? values[i] : std::string_view()));
  }
  return MakeLine(CF(withoutLineEnds(typeCode), 2), CF(withoutLineEnds(derivCode), 2), fitted);
}

std::string RecordTypeLabel(std::string_view typeCode, std::string_view derivCode, char version) {
  std::string label;
  label.append("Тип записи "_w).append(typeCode).append("  ").append(derivCode).append("  v");
  label.push_back(version);
  return label;
}

std::span<const RecordKind> RecordKinds() { return kKinds; }

const RecordKind* FindRecordKind(std::string_view name) {
  for (const RecordKind& kind : kKinds) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}

std::vector<std::string_view> KindFieldLabels(const RecordKind& kind, CoordinateOrder order) {
  std::vector<std::string_view> labels;
  for (const FieldRow& row : FieldRows(kind.typeCode, kVersionSdr3, kind.derivCode)) {
    labels.push_back(ShownLabel(row, order));
  }
  return labels;
}

}  // namespace quillmar
