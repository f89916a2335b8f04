#include "export/export_writers.h"

#include <algorithm>
#include <array>
#include <functional>
#include <future>
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

const TableLayout* tableFor(ExportKind kind) {
  if (kind == ExportKind::PositionTable) return &positionTable();
  if (kind == ExportKind::ObservationTable) return &observationTable();
  return nullptr;
}

std::span<const FieldSpan> fieldsFor(const TableLayout& layout, char version) {
  if (version == kVersionSdr3) return layout.sdr3;
  if (version == kVersionSdr2) return layout.sdr2;
  return {};
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

ExportStream::ExportStream(ByteSink& out, ExportKind kind) : out_(out), kind_(kind) {
  if (const TableLayout* table = tableFor(kind)) {
    line_.assign(table->header).append(kLineEnd);
    out_.write(line_);
  }
}

void ExportStream::add(const SurveyRecord& record, std::string_view caption) {
  switch (kind_) {
    case ExportKind::CaptionText:
      line_.assign(caption).append(kLineEnd);
      out_.write(line_);
      break;
    case ExportKind::SdrFile: out_.write(record.body.view()); break;
    case ExportKind::ObservationTable:
    case ExportKind::PositionTable: addTableRow(record); break;
  }
}

void ExportStream::addTableRow(const SurveyRecord& record) {
  const TableLayout& table = *tableFor(kind_);
  if (record.typeCode.view() != table.typeCode) return;
  const std::span<const FieldSpan> fields = fieldsFor(table, record.version);
  if (fields.empty()) return;
  line_.clear();
  for (const FieldSpan& field : fields) line_.append(sdrField(record.body.view(), field.start, field.width)).push_back(';');
  line_.append(kLineEnd);
  out_.write(line_);
}

namespace {

// The captions are made as they are written, on two threads a block of rows
// at a time, and written in row order.
// The two block texts are reused, so that their memory is touched fresh once.
void writeCaptionText(ByteSink& out, const RecordList& list) {
  constexpr std::size_t kBlockRows = 1 << 12;
  const auto makeBlock = [&list](std::size_t first, std::string& text) {
    text.clear();
    std::string caption;
    for (std::size_t i = first; i < std::min(first + kBlockRows, list.size()); ++i) {
      list.captionInto(caption, i);
      text.append(caption).append(kLineEnd);
    }
  };
  std::string firstText;
  std::string secondText;
  for (std::size_t first = 0; first < list.size(); first += 2 * kBlockRows) {
    auto second = std::async(std::launch::async, makeBlock, first + kBlockRows, std::ref(secondText));
    makeBlock(first, firstText);
    out.write(firstText);
    second.get();
    out.write(secondText);
  }
}

}  // namespace

void writeExport(ByteSink& out, const RecordList& list, ExportKind kind) {
  if (kind == ExportKind::CaptionText) {
    writeCaptionText(out, list);
    return;
  }
  ExportStream stream(out, kind);
  for (std::size_t i = 0; i < list.size(); ++i) stream.add(list.record(i), {});
}

void exportToFile(const std::string& path, const RecordList& list, ExportKind kind) {
  FileWriter out(path);
  writeExport(out, list, kind);
  out.commit();
}

}  // namespace quillmar
