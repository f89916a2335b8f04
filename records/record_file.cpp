// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "records/cp1251.h"
#include "records/input_file.h"
#include "records/io_error.h"

namespace quillmar {
namespace {

constexpr std::size_t kRecordsPerRead = 4096;

template <std::size_t Capacity>
void readShortString(ShortString<Capacity>& field, const unsigned char* bytes) {
  // A length byte above the capacity is clipped to it.
  const std::size_t length = std::min<std::size_t>(bytes[0], Capacity);
  field.assign(std::string_view(reinterpret_cast<const char*>(bytes + 1), length));
}

bool lengthOverCapacity(const unsigned char* bytes) {
  return bytes[0] > decltype(SurveyRecord::typeCode)::capacity ||
         bytes[3] > decltype(SurveyRecord::derivCode)::capacity || bytes[7] > decltype(SurveyRecord::body)::capacity;
}

SurveyRecord recordFromBytes(const unsigned char* bytes) {
  SurveyRecord record;
  readShortString(record.typeCode, bytes);
  readShortString(record.derivCode, bytes + 3);
  record.version = static_cast<char>(bytes[6]);
  readShortString(record.body, bytes + 7);
  return record;
}

template <std::size_t Capacity>
void appendShortString(std::string& out, const ShortString<Capacity>& field) {
  const std::size_t length = std::min<std::size_t>(field.length, Capacity);
  out.push_back(static_cast<char>(length));
  out.append(field.chars, length);
  out.append(Capacity - length, '\0');
}

// The whole records of `bytes`, the first of them record number `first` of the file.
void readRecordsIn(std::string_view bytes, std::size_t first, RecordFileFaults& faults,
                   const std::function<void(const SurveyRecord&)>& onRecord) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t at = 0; at + kRecordFileRecordSize <= bytes.size(); at += kRecordFileRecordSize) {
    if (lengthOverCapacity(data + at) && faults.clippedRecords++ == 0) {
      faults.firstClipped = first + at / kRecordFileRecordSize;
    }
    onRecord(recordFromBytes(data + at));
  }
  // A trailing part shorter than a record is ignored.
  faults.trailingBytes = bytes.size() % kRecordFileRecordSize;
}

}  // namespace

std::vector<std::string> RecordFileFaultTexts(const RecordFileFaults& faults) {
  std::vector<std::string> texts;
  const auto text = [](std::initializer_list<std::string_view> parts) {
    std::string joined;
    for (std::string_view part : parts) joined.append(part);
    return joined;
  };
  if (faults.trailingBytes != 0) {
    texts.push_back(
        text({"в конце файла "_w, std::to_string(faults.trailingBytes), " байт, не составляющих записи"_w}));
  }
  constexpr std::string_view kClipped = "; прочитано столько знаков, сколько поле вмещает"_w;
  const std::string first = std::to_string(faults.firstClipped);
  if (faults.clippedRecords == 1) {
    texts.push_back(text({"в записи "_w, first, " длина поля больше допустимой"_w, kClipped}));
  } else if (faults.clippedRecords > 1) {
    texts.push_back(text({"записей, где длина поля больше допустимой: "_w, std::to_string(faults.clippedRecords),
                          ", первая — запись "_w, first, kClipped}));
  }
  return texts;
}

RecordFileFaults readRecordFile(const std::string& path, const std::function<void(const SurveyRecord&)>& onRecord) {
  InputFile file(path);
  std::string chunk(kRecordsPerRead * kRecordFileRecordSize, '\0');
  RecordFileFaults faults;
  for (std::size_t first = 1;; first += kRecordsPerRead) {
    const std::size_t got = file.readFull(chunk.data(), chunk.size());
    readRecordsIn(std::string_view(chunk.data(), got), first, faults, onRecord);
    if (got < chunk.size()) break;
  }
  return faults;
}

RecordFileFaults forEachRecordIn(std::string_view bytes, const std::function<void(const SurveyRecord&)>& onRecord) {
  RecordFileFaults faults;
  readRecordsIn(bytes, 1, faults, onRecord);
  return faults;
}

RecordFileFaults openRecordFile(const std::string& path, CaptionState& captions, RecordList& list,
                                const std::function<void(std::size_t)>& progress) {
  if (list.empty()) list.reserve(recordFileCount(path));
  std::size_t done = 0;
  return readRecordFile(path, [&](const SurveyRecord& record) {
    list.append(record, captions);
    if (progress && ++done % kRowsPerProgressStep == 0) progress(done);
  });
}

std::size_t recordFileCount(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::size_t>(st.st_size) / kRecordFileRecordSize;
}

void appendRecordBytes(std::string& out, const SurveyRecord& record) {
  appendShortString(out, record.typeCode);
  appendShortString(out, record.derivCode);
  out.push_back(record.version);
  appendShortString(out, record.body);
}

void writeRecords(ByteSink& out, const RecordList& list) {
  std::string chunk;
  chunk.reserve(kRecordsPerRead * kRecordFileRecordSize);
  for (std::size_t i = 0; i < list.size(); ++i) {
    appendRecordBytes(chunk, list.record(i));
    if (chunk.size() + kRecordFileRecordSize > chunk.capacity()) {
      out.write(chunk);
      chunk.clear();
    }
  }
  out.write(chunk);
}

void writeRecordFile(const std::string& path, const RecordList& list) {
  FileWriter out(path);
  writeRecords(out, list);
  out.commit();
}

}  // namespace quillmar
