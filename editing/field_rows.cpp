#include "editing/field_rows.h"

#include <algorithm>

#include "records/cp1251.h"
#include "records/sdr_field.h"
#include "records/survey_record.h"

namespace quillmar {
namespace {

constexpr FieldRow kStation3[] = {
    {"Точка"_w, 5, 16, Fit::TF},  {"N"_w, 21, 16, Fit::CF},
    {"E"_w, 37, 16, Fit::CF},      {"Elev"_w, 53, 16, Fit::CF},
    {"Высота прибора"_w, 69, 16, Fit::CF}, {"Примечание"_w, 85, 16, Fit::CF},
};
constexpr FieldRow kStation2[] = {
    {"Точка"_w, 5, 4, Fit::TF},   {"N"_w, 9, 10, Fit::CF},
    {"E"_w, 19, 10, Fit::CF},      {"Elev"_w, 29, 10, Fit::CF},
    {"Высота прибора"_w, 39, 10, Fit::CF}, {"Примечание"_w, 49, 16, Fit::CF},
};
constexpr FieldRow kTarget3[] = {{"Высота марки"_w, 5, 16, Fit::CF}};
constexpr FieldRow kTarget2[] = {{"Высота марки"_w, 5, 10, Fit::CF}};
constexpr FieldRow kPosition3[] = {
    {"Точка"_w, 5, 16, Fit::TF}, {"N"_w, 21, 16, Fit::CF},    {"E"_w, 37, 16, Fit::CF},
    {"Elev"_w, 53, 16, Fit::CF}, {"Примечание"_w, 69, 16, Fit::CF},
};
constexpr FieldRow kPosition2[] = {
    {"Точка"_w, 5, 4, Fit::TF},  {"N"_w, 9, 10, Fit::CF},     {"E"_w, 19, 10, Fit::CF},
    {"Elev"_w, 29, 10, Fit::CF}, {"Примечание"_w, 39, 16, Fit::CF},
};
constexpr FieldRow kObservation3[] = {
    {"Исх. точка"_w, 5, 16, Fit::TF},  {"Точка навед."_w, 21, 16, Fit::TF},
    {"Расстояние"_w, 37, 16, Fit::CF}, {"Верт. угол"_w, 53, 16, Fit::CF},
    {"Гориз. угол"_w, 69, 16, Fit::CF}, {"Примечание"_w, 85, 16, Fit::CF},
};
constexpr FieldRow kAzimuth3[] = {
    {"Исх. точка"_w, 5, 16, Fit::TF},  {"Точка навед."_w, 21, 16, Fit::TF},
    {"Расстояние"_w, 37, 16, Fit::CF}, {"Верт. угол"_w, 53, 16, Fit::CF},
    {"Гориз. азимут"_w, 69, 16, Fit::CF}, {"Примечание"_w, 85, 16, Fit::CF},
};
constexpr FieldRow kObservation2[] = {
    {"Исх. точка"_w, 5, 4, Fit::TF},   {"Точка навед."_w, 9, 4, Fit::TF},
    {"Расстояние"_w, 13, 10, Fit::CF}, {"Верт. угол"_w, 23, 10, Fit::CF},
    {"Гориз. угол"_w, 33, 10, Fit::CF}, {"Примечание"_w, 43, 16, Fit::CF},
};
constexpr FieldRow kAzimuth2[] = {
    {"Исх. точка"_w, 5, 4, Fit::TF},   {"Точка навед."_w, 9, 4, Fit::TF},
    {"Расстояние"_w, 13, 10, Fit::CF}, {"Верт. угол"_w, 23, 10, Fit::CF},
    {"Гориз. азимут"_w, 33, 10, Fit::CF}, {"Примечание"_w, 43, 16, Fit::CF},
};

constexpr RecordKind kKinds[] = {
    {"STN", "02", "TS"},
    {"TRGET", "03", "NM"},
    {"POS", "08", "XD"},
    {"OBS", "09", "F1"},
};

std::span<const FieldRow> observationRows(bool sdr3, std::string_view derivCode) {
  if (derivCode == "F1" || derivCode == "F2" || derivCode == "MD") {
    return sdr3 ? std::span<const FieldRow>(kObservation3) : kObservation2;
  }
  if (derivCode == "MC") return sdr3 ? std::span<const FieldRow>(kAzimuth3) : kAzimuth2;
  return {};
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string withoutLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::copy_if(text.begin(), text.end(), std::back_inserter(out),
               [](char c) { return !isLineEnd(c); });
  return out;
}

}  // namespace

bool HasLayout(char version) { return version == kVersionSdr3 || version == kVersionSdr2; }

std::span<const FieldRow> FieldRows(std::string_view typeCode, char version,
                                    std::string_view derivCode) {
  if (!HasLayout(version)) return {};
  const bool sdr3 = version == kVersionSdr3;
  if (typeCode == "02") return sdr3 ? std::span<const FieldRow>(kStation3) : kStation2;
  if (typeCode == "03") return sdr3 ? std::span<const FieldRow>(kTarget3) : kTarget2;
  if (typeCode == "08") return sdr3 ? std::span<const FieldRow>(kPosition3) : kPosition2;
  if (typeCode == "09") return observationRows(sdr3, derivCode);
  return {};
}

std::string_view ReadValue(std::string_view line, const FieldRow& row) {
  return sdrField(line, row.start, row.width);
}

std::string EditableValue(std::string_view line, const FieldRow& row) {
  return withoutLineEnds(ReadValue(line, row));
}

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

std::string MakeLine(std::string_view first, std::string_view second,
                     std::span<const std::string> fitted) {
  std::string line;
  line.append(first).append(second);
  for (const std::string& value : fitted) line.append(value);
  line.append("\r\n");
  return line;
}

std::string AssembleLine(std::string_view typeCode, std::string_view derivCode,
                         std::span<const FieldRow> rows,
                         std::span<const std::string> values) {
  std::vector<std::string> fitted;
  fitted.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    fitted.push_back(FitValue(rows[i], i < values.size() ? values[i] : std::string_view()));
  }
  return MakeLine(CF(withoutLineEnds(typeCode), 2), CF(withoutLineEnds(derivCode), 2), fitted);
}

std::string RecordTypeLabel(std::string_view typeCode, std::string_view derivCode,
                            char version) {
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

std::vector<std::string_view> KindFieldLabels(const RecordKind& kind) {
  std::vector<std::string_view> labels;
  for (const FieldRow& row : FieldRows(kind.typeCode, kVersionSdr3, kind.derivCode)) {
    labels.push_back(row.label);
  }
  return labels;
}

}  // namespace quillmar
