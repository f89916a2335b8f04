// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an SDR field book: import, captions, every export kind and the
// record file must cope, and what is written must read back the same.
#include <cstdint>

#include <cstdlib>
#include <string>
#include "tests/fuzz/fuzz_check.h"

#include "export/export_writers.h"
#include "records/import.h"
#include "records/record_file.h"
#include "tests/support/string_sink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  LineBuffer lines;
  ImportSdrText(bytes, lines);
  CaptionState captions;
  RecordList list;
  Obrabotka(lines, lines.size(), captions, list);
  check(list.size() == lines.size());

  std::string sdrLines;
  for (std::size_t i = 0; i < list.size(); ++i) {
    check(list.record(i).body.view() == lines.line(i).substr(0, kBodyCapacity));
    // The export ends every record with CR LF, whether or not its stored text kept it.
    sdrLines.append(list.record(i).body.view()).append(missingLineEnd(list.record(i).body.view()));
  }
  for (ExportKind kind :
       {ExportKind::CaptionText, ExportKind::ObservationTable, ExportKind::PositionTable, ExportKind::SdrFile}) {
    quillmar::StringSink out;
    writeExport(out, list, kind);
    if (kind == ExportKind::SdrFile) check(out.text == sdrLines);
  }

  quillmar::StringSink file;
  writeRecords(file, list);
  check(file.text.size() == list.size() * kRecordFileRecordSize);
  std::size_t index = 0;
  forEachRecordIn(file.text, [&](const SurveyRecord& r) {
    const SurveyRecord& original = list.record(index++);
    check(r.body.view() == original.body.view() && r.typeCode.view() == original.typeCode.view() &&
          r.derivCode.view() == original.derivCode.view() && r.version == original.version);
  });
  check(index == list.size());
  return 0;
}
