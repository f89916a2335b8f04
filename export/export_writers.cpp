#include "export/export_writers.h"

#include <algorithm>
#include <functional>
#include <future>

#include "records/cp1251.h"
#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A table writes every field of one record kind, in line order.
struct TableLayout {
  std::string_view header;
  KindId kind;
};

const TableLayout* tableFor(ExportKind kind) {
  static constexpr TableLayout kPositions{"Точка;N;E;Elev;Прим;"_w, KindId::Position};
  // Every observation record, whatever its derivation code: both kinds share their places.
  static constexpr TableLayout kObservations{"Исх.точка;Точка навед;Расст;Верт угол;Гориз угол;Прим;"_w,
                                             KindId::Observation};
  if (kind == ExportKind::PositionTable) return &kPositions;
  if (kind == ExportKind::ObservationTable) return &kObservations;
  return nullptr;
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
  const KindLayout& layout = LayoutOf(tableFor(kind_)->kind);
  if (record.typeCode.view() != layout.typeCode) return;
  if (record.version != kVersionSdr3 && record.version != kVersionSdr2) return;
  line_.clear();
  for (const LayoutField& field : layout.fields) {
    const FieldPlace place = field.in(record.version);
    line_.append(sdrField(record.body.view(), place.start, place.width)).push_back(';');
  }
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
