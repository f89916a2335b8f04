#include "records/import.h"

#include <algorithm>
#include <string_view>

#include "records/io_error.h"
#include "records/make_st.h"
#include "records/text_lines.h"

namespace quillmar {
namespace {

std::string_view versionField(std::string_view line) {
  return line.size() >= 5 ? line.substr(4, 4) : std::string_view();
}

}  // namespace

std::size_t ImportSdrFile(const std::string& path, LineBuffer& buffer) {
  buffer.clear();
  try {
    // The first pass sizes the buffer once, so that the second fills it
    // without growing.
    const TextLineCount count = countTextLines(path);
    buffer.reserve(count.lines, count.bytes + 2 * count.lines);
    forEachTextLine(path, [&buffer](std::string_view line) {
      if (!line.empty()) buffer.appendLine(line);
    });
  } catch (const IoError&) {
    buffer.clear();
    throw;
  }
  return buffer.size();
}

char DetectVersion(const LineBuffer& lines, std::size_t count) {
  if (count == 0) return kVersionNone;
  std::string_view field = versionField(lines.line(0));
  if (field.empty() && count > 1) field = versionField(lines.line(1));
  if (field == "SDR3") return kVersionSdr3;
  if (field == "SDR2") return kVersionSdr2;
  return kVersionNone;
}

void Obrabotka(const LineBuffer& lines, std::size_t count, CaptionState& captions, RecordList& list) {
  count = std::min(count, lines.size());
  const char version = DetectVersion(lines, count);
  if (list.empty()) list.reserve(count);
  std::string caption;
  for (std::size_t i = 0; i < count; ++i) {
    const SurveyRecord record = SurveyRecord::fromLine(lines.line(i), version);
    MakeStInto(caption, captions, record.body.view(), record.typeCode.view(),
               record.derivCode.view(), record.version);
    list.append(caption, record);
  }
}

}  // namespace quillmar
