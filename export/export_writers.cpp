#include "export/export_writers.h"

#include <array>
#include <span>

#include "records/cp1251.h"
#include "records/sdr_field.h"

namespace quillmar {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

struct FieldSpan {
  std::size_t start;
  std::size_t width;
};

// Point, N, E, elevation, note.
constexpr std::array<FieldSpan, 5> kPositionFieldsSdr3{{{5, 16}, {21, 16}, {37, 16}, {53, 16}, {69, 16}}};
constexpr std::array<FieldSpan, 5> kPositionFieldsSdr2{{{5, 4}, {9, 10}, {19, 10}, {29, 10}, {39, 16}}};
// Station, target, slope distance, vertical angle, horizontal angle or azimuth, note.
constexpr std::array<FieldSpan, 6> kObservationFieldsSdr3{
    {{5, 16}, {21, 16}, {37, 16}, {53, 16}, {69, 16}, {85, 16}}};
constexpr std::array<FieldSpan, 6> kObservationFieldsSdr2{
    {{5, 4}, {9, 4}, {13, 10}, {23, 10}, {33, 10}, {43, 16}}};

struct TableLayout {
  std::string_view header;
  std::string_view typeCode;
  std::span<const FieldSpan> sdr3;
  std::span<const FieldSpan> sdr2;
};

const TableLayout& positionTable() {
  static const TableLayout layout{"Точка;N;E;Elev;Прим;"_w, "08", kPositionFieldsSdr3, kPositionFieldsSdr2};
  return layout;
}

const TableLayout& observationTable() {
  static const TableLayout layout{"Исх.точка;Точка навед;Расст;Верт угол;Гориз угол;Прим;"_w, "09",
                                  kObservationFieldsSdr3, kObservationFieldsSdr2};
  return layout;
}

void writeTable(ByteSink& out, const RecordList& list, const TableLayout& layout) {
  std::string line;
  line.append(layout.header).append(kLineEnd);
  out.write(line);
  for (std::size_t i = 0; i < list.size(); ++i) {
    const SurveyRecord& record = list.record(i);
    if (record.typeCode.view() != layout.typeCode) continue;
    std::span<const FieldSpan> fields;
    if (record.version == kVersionSdr3) fields = layout.sdr3;
    else if (record.version == kVersionSdr2) fields = layout.sdr2;
    else continue;
    line.clear();
    for (const FieldSpan& field : fields) {
      line.append(sdrField(record.body.view(), field.start, field.width)).push_back(';');
    }
    line.append(kLineEnd);
    out.write(line);
  }
}

void writeCaptions(ByteSink& out, const RecordList& list) {
  std::string line;
  for (std::size_t i = 0; i < list.size(); ++i) {
    line.assign(list.caption(i)).append(kLineEnd);
    out.write(line);
  }
}

void writeSdrLines(ByteSink& out, const RecordList& list) {
  for (std::size_t i = 0; i < list.size(); ++i) out.write(list.record(i).body.view());
}

}  // namespace

std::string_view exportExtension(ExportKind kind) { return kind == ExportKind::SdrFile ? "sdr" : "txt"; }

std::string completeExportName(const std::string& name, ExportKind kind) {
  const std::string_view extension = exportExtension(kind);
  const std::string_view tail =
      name.size() > extension.size() ? std::string_view(name).substr(name.size() - extension.size()) : name;
  if (tail == extension) return name;
  return name + "." + std::string(extension);
}

void writeExport(ByteSink& out, const RecordList& list, ExportKind kind) {
  switch (kind) {
    case ExportKind::CaptionText: writeCaptions(out, list); break;
    case ExportKind::ObservationTable: writeTable(out, list, observationTable()); break;
    case ExportKind::PositionTable: writeTable(out, list, positionTable()); break;
    case ExportKind::SdrFile: writeSdrLines(out, list); break;
  }
}

void exportToFile(const std::string& path, const RecordList& list, ExportKind kind) {
  FileWriter out(path);
  writeExport(out, list, kind);
  out.commit();
}

}  // namespace quillmar
