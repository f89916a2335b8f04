// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/export_writers.h"

#include <algorithm>
#include <functional>
#include <future>

#include "records/cp1251.h"
#include "records/record_layout.h"

namespace quillmar {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void captionLine(std::string& line, const SurveyRecord&, std::string_view caption) {
  line.assign(caption).append(kLineEnd);
}

// A record whose line was too long for it gets back the line end it lost,
// so that the next record does not run into it.
void sdrLine(std::string& line, const SurveyRecord& record, std::string_view) {
  const std::string_view body = record.body.view();
  line.assign(body).append(missingLineEnd(body));
}

// The stored line without the CR LF (or the lone CR) that ended it.
std::string_view withoutLineEnd(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// A table row holds every field of one record kind, in line order. A field
// that reaches past the line's text stops there: the line's own CR LF in the
// last column would break the row in two.
template <KindId kTableKind>
void tableRow(std::string& line, const SurveyRecord& record, std::string_view) {
  const KindLayout& layout = LayoutOf(kTableKind);
  line.clear();
  if (record.typeCode.view() != layout.typeCode) return;
  if (record.version != kVersionSdr3 && record.version != kVersionSdr2) return;
  const std::string_view text = withoutLineEnd(record.body.view());
  for (const LayoutField& field : layout.fields) {
    line.append(FieldText(text, field.in(record.version))).push_back(';');
  }
  line.append(kLineEnd);
}

// Every observation record goes into the table, whatever its derivation
// code: the two observation kinds share their places.
constexpr ExportFormat kFormats[] = {
    {ExportKind::CaptionText, "Текстовый файл"_w, "txt", "captions", {}, captionLine},
    {ExportKind::ObservationTable, "OBS в текстовый файл"_w, "txt", "obs",
     "Исх.точка;Точка навед;Расст;Верт угол;Гориз угол;Прим;"_w, tableRow<KindId::Observation>},
    {ExportKind::PositionTable, "POS в текстовый файл"_w, "txt", "pos", "Точка;N;E;Elev;Прим;"_w,
     tableRow<KindId::Position>},
    {ExportKind::SdrFile, "В SDR файл"_w, "sdr", "sdr", {}, sdrLine},
};

}  // namespace

std::span<const ExportFormat> ExportFormats() { return kFormats; }

const ExportFormat& FormatOf(ExportKind kind) {
  for (const ExportFormat& format : kFormats) {
    if (format.kind == kind) return format;
  }
  return kFormats[0];
}

const ExportFormat& FormatForFilterIndex(int filterIndex) {
  if (filterIndex < 1 || filterIndex > static_cast<int>(std::size(kFormats))) return kFormats[0];
  return kFormats[filterIndex - 1];
}

const ExportFormat* FindExportFormat(std::string_view cliWord) {
  for (const ExportFormat& format : kFormats) {
    if (format.cliWord == cliWord) return &format;
  }
  return nullptr;
}

std::string completeExportName(const std::string& name, ExportKind kind) {
  const std::string_view extension = FormatOf(kind).extension;
  const std::string_view tail =
      name.size() > extension.size() ? std::string_view(name).substr(name.size() - extension.size()) : name;
  if (tail == extension) return name;
  return name + "." + std::string(extension);
}

ExportStream::ExportStream(ByteSink& out, ExportKind kind) : out_(out), format_(FormatOf(kind)) {
  if (!format_.header.empty()) {
    line_.assign(format_.header).append(kLineEnd);
    out_.write(line_);
  }
}

void ExportStream::add(const SurveyRecord& record, std::string_view caption) {
  format_.makeLine(line_, record, caption);
  if (!line_.empty()) out_.write(line_);
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
