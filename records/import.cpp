// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/import.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "records/cp1251.h"
#include "records/io_error.h"
#include "records/record_layout.h"
#include "records/text_lines.h"

namespace quillmar {
namespace {

std::string_view versionField(std::string_view line) {
  return line.size() >= 5 ? line.substr(4, 4) : std::string_view();
}

char versionNamedBy(std::string_view field) {
  if (field == "SDR3") return kVersionSdr3;
  if (field == "SDR2") return kVersionSdr2;
  return kVersionNone;
}

// Holds the first stored lines until they have named the version. `OnText`
// hears each line's text, without its CR LF, and the version.
template <typename OnText>
class VersionedLineStream {
 public:
  explicit VersionedLineStream(OnText onText) : onText_(std::move(onText)) {}

  void add(std::string_view text) {
    if (decided_) {
      onText_(text, version_);
      return;
    }
    held_.push_back(std::string(text) + "\r\n");
    if (held_.size() == 2 || !versionField(held_.front()).empty()) decide();
  }

  void finish() {
    if (!decided_) decide();
  }

 private:
  void decide() {
    std::string_view field = versionField(held_.empty() ? std::string_view() : held_[0]);
    if (field.empty() && held_.size() > 1) field = versionField(held_[1]);
    version_ = versionNamedBy(field);
    decided_ = true;
    for (const auto& line : held_) emit(line);
    held_.clear();
  }

  void emit(std::string_view line) { onText_(line.substr(0, line.size() - 2), version_); }

  OnText onText_;
  std::vector<std::string> held_;  // with their CR LF
  char version_ = kVersionNone;
  bool decided_ = false;
};

}  // namespace

std::size_t ImportSdrFile(const std::string& path, LineBuffer& buffer, const std::function<void()>& afterCounting,
                          const ReadProgress& progress) {
  buffer.clear();
  try {
    // The first pass sizes the buffer once, so that the second fills it
    // without growing.
    const TextLineCount count = countTextLines(path, progress);
    buffer.reserve(count.lines, count.bytes + 2 * count.lines);
    if (afterCounting) afterCounting();
    // The file may have changed since it was counted: the second pass decides.
    forEachTextLine(
        path,
        [&buffer](std::string_view line) {
          if (!line.empty()) buffer.appendLine(line);
        },
        progress);
  } catch (...) {
    buffer.clear();
    throw;
  }
  return buffer.size();
}

std::size_t ImportSdrText(std::string_view text, LineBuffer& buffer) {
  forEachTextLineIn(text, [&buffer](std::string_view line) {
    if (!line.empty()) buffer.appendLine(line);
  });
  return buffer.size();
}

char DetectVersion(const LineBuffer& lines, std::size_t count) {
  if (count == 0) return kVersionNone;
  std::string_view field = versionField(lines.line(0));
  if (field.empty() && count > 1) field = versionField(lines.line(1));
  return versionNamedBy(field);
}

namespace {

template <typename OnText>
void forEachImportedText(const std::string& path, OnText onText, const ReadProgress& progress = {}) {
  VersionedLineStream<OnText> stream(std::move(onText));
  forEachTextLine(
      path,
      [&stream](std::string_view line) {
        if (!line.empty()) stream.add(line);
      },
      progress);
  stream.finish();
}

}  // namespace

void forEachImportedRecord(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord) {
  forEachImportedText(
      path, [&onRecord](std::string_view text, char version) { onRecord(SurveyRecord::fromText(text, version)); });
}

void importSdrRows(const std::string& path, CaptionState& captions, RecordList& list, const ReadProgress& progress) {
  // Room for the rows of lines of 64 bytes: growing the index copies it into fresh memory.
  std::error_code unknown;
  const auto bytes = std::filesystem::file_size(path, unknown);
  if (!unknown && list.empty()) list.reserve(static_cast<std::size_t>(bytes / 64));
  forEachImportedText(
      path, [&](std::string_view text, char version) { list.appendText(text, version, captions); }, progress);
}

std::size_t CountCutLines(const LineBuffer& lines, std::size_t count) {
  std::size_t cut = 0;
  for (std::size_t i = 0; i < std::min(count, lines.size()); ++i) cut += lines.line(i).size() > kBodyCapacity ? 1 : 0;
  return cut;
}

std::size_t CountCutRecords(const RecordList& list) {
  std::size_t cut = 0;
  for (std::size_t i = 0; i < list.size(); ++i) cut += missingLineEnd(list.body(i)).empty() ? 0 : 1;
  return cut;
}

std::string_view NoSdrRecordText() {
  static constexpr auto kText = "ни одна его строка не является записью SDR; строки импортированы как есть"_w;
  return kText;
}

bool HoldsNoSdrRecord(const RecordList& list, std::size_t first) {
  if (first >= list.size()) return false;
  for (std::size_t i = first; i < list.size(); ++i) {
    if (IsSdrRecordCode(list.typeCode(i), list.derivCode(i))) return false;
  }
  return true;
}

void Obrabotka(const LineBuffer& lines, std::size_t count, CaptionState& captions, RecordList& list,
               const RowProgress& progress) {
  count = std::min(count, lines.size());
  const char version = DetectVersion(lines, count);
  if (list.empty()) list.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    list.append(SurveyRecord::fromLine(lines.line(i), version), captions);
    if (progress && (i + 1) % kRowsPerProgressStep == 0) progress(i + 1);
  }
}

}  // namespace quillmar
