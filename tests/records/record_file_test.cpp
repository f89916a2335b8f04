#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/io_error.h"
#include "records/record_file.h"
#include "records/record_file_check.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

SurveyRecord sample(std::string_view line, char version = '3') { return SurveyRecord::fromLine(line, version); }

RecordList listOf(const std::vector<SurveyRecord>& records) {
  RecordList list;
  for (const auto& r : records) list.append("caption", r);
  return list;
}

std::vector<SurveyRecord> readAll(const std::string& path) {
  std::vector<SurveyRecord> records;
  readRecordFile(path, [&](const SurveyRecord& r) { records.push_back(r); });
  return records;
}

std::string rawRecord(unsigned char typeLen, std::string_view type, unsigned char derivLen, std::string_view deriv,
                      char version, unsigned char bodyLen, std::string_view body) {
  std::string bytes(178, '\x55');  // insignificant bytes hold junk
  bytes[0] = static_cast<char>(typeLen);
  bytes.replace(1, type.size(), type);
  bytes[3] = static_cast<char>(derivLen);
  bytes.replace(4, deriv.size(), deriv);
  bytes[6] = version;
  bytes[7] = static_cast<char>(bodyLen);
  bytes.replace(8, body.size(), body);
  return bytes;
}

TEST(RecordFile, writesTheExactByteLayout) {
  TempDir dir;
  writeRecordFile(dir.file("one.qdl"), listOf({sample("08KI   G3\r\n", '2')}));
  const std::string bytes = readBytes(dir.file("one.qdl"));
  ASSERT_EQ(bytes.size(), 178u);
  EXPECT_EQ(bytes.substr(0, 3), "\x02" "08");
  EXPECT_EQ(bytes.substr(3, 3), "\x02" "KI");
  EXPECT_EQ(bytes[6], '2');
  EXPECT_EQ(static_cast<unsigned char>(bytes[7]), 11);
  EXPECT_EQ(bytes.substr(8, 11), "08KI   G3\r\n");
  EXPECT_EQ(bytes.substr(19), std::string(178 - 19, '\0'));
}

TEST(RecordFile, readsWholeRecordsInOrderAndIgnoresAShortTail) {
  TempDir dir;
  std::string bytes = rawRecord(2, "02", 2, "TS", '3', 6, "02TS\r\n") + rawRecord(2, "08", 2, "KI", '3', 4, "08KI") +
                      rawRecord(1, "1", 0, "", '2', 0, "");
  writeBytes(dir.file("three.qdl"), bytes);
  EXPECT_EQ(readAll(dir.file("three.qdl")).size(), 3u);
  writeBytes(dir.file("tail.qdl"), bytes + std::string(100, '\x7f'));
  const auto records = readAll(dir.file("tail.qdl"));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].body.view(), "02TS\r\n");
  EXPECT_EQ(records[1].typeCode.view(), "08");
  EXPECT_EQ(records[2].typeCode.view(), "1");
  EXPECT_EQ(records[2].derivCode.view(), "");
  EXPECT_EQ(records[2].version, '2');
}

TEST(RecordFile, clipsLengthBytesAboveTheCapacity) {
  TempDir dir;
  const std::string body(170, 'b');
  writeBytes(dir.file("long.qdl"), rawRecord(5, "09", 255, "F1", '3', 200, body));
  const auto records = readAll(dir.file("long.qdl"));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].typeCode.view(), "09");
  EXPECT_EQ(records[0].derivCode.view(), "F1");
  EXPECT_EQ(records[0].body.view(), body);
  // Written back, the clipped lengths are what the file says.
  writeRecordFile(dir.file("again.qdl"), listOf(records));
  const std::string again = readBytes(dir.file("again.qdl"));
  EXPECT_EQ(static_cast<unsigned char>(again[0]), 2);
  EXPECT_EQ(static_cast<unsigned char>(again[7]), 170);
}

TEST(RecordFile, emptyListGivesAnEmptyFileAndNoRecords) {
  TempDir dir;
  writeRecordFile(dir.file("empty.qdl"), RecordList{});
  EXPECT_EQ(readBytes(dir.file("empty.qdl")), "");
  EXPECT_TRUE(readAll(dir.file("empty.qdl")).empty());
}

TEST(RecordFile, readThenWriteKeepsEverySignificantByte) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 5000; ++i) {
    const std::string body = "09F1" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 171), 'x');
    bytes += rawRecord(2, "09", 2, "F1", i % 2 ? '3' : '0', static_cast<unsigned char>(std::min<std::size_t>(body.size(), 170)),
                       body.substr(0, 170));
  }
  writeBytes(dir.file("in.qdl"), bytes);
  RecordList list;
  CaptionState captions;
  openRecordFile(dir.file("in.qdl"), captions, list);
  ASSERT_EQ(list.size(), 5000u);
  writeRecordFile(dir.file("out.qdl"), list);
  const std::string out = readBytes(dir.file("out.qdl"));
  ASSERT_EQ(out.size(), bytes.size());
  for (std::size_t at = 0; at < bytes.size(); at += 178) {
    const auto significant = [](const std::string& b, std::size_t r) {
      const auto len = [&](std::size_t off) { return static_cast<unsigned char>(b[r + off]); };
      return b.substr(r, 1 + len(0)) + b.substr(r + 3, 1 + len(3)) + b.substr(r + 6, 2 + len(7));
    };
    ASSERT_EQ(significant(out, at), significant(bytes, at)) << "record " << at / 178;
  }
}

TEST(RecordFile, missingFileIsReportedAndRowsReadBeforeAFailureStay) {
  TempDir dir;
  RecordList list;
  CaptionState captions;
  try {
    openRecordFile(dir.file("none.qdl"), captions, list);
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  EXPECT_TRUE(list.empty());
}

TEST(RecordList, insertsRemovesAndRecaptions) {
  RecordList list;
  list.append("b", sample("02TS b\r\n"));
  list.insert(0, "a", sample("02TS a\r\n"));
  list.insert(2, "c", sample("02TS c\r\n"));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.caption(0), "a");
  EXPECT_EQ(list.caption(2), "c");
  EXPECT_EQ(list.record(1).body.view(), "02TS b\r\n");
  list.setCaption(1, std::string(3000, 'x'));  // longer than anything captioned so far
  EXPECT_EQ(list.caption(1).size(), 3000u);
  list.remove(0);
  list.remove(0);
  EXPECT_EQ(list.caption(0), "c");
  list.remove(0);
  EXPECT_TRUE(list.empty());
}

TEST(RecordList, captionsStayValidAsTheListGrows) {
  RecordList list;
  for (int i = 0; i < 20000; ++i) list.append(std::string(100, static_cast<char>('a' + i % 26)), sample("13NM\r\n"));
  for (int i = 0; i < 20000; i += 997) EXPECT_EQ(list.caption(static_cast<std::size_t>(i))[99], 'a' + i % 26);
}

TEST(RecordFileCheck, tellsARecordFileFromWhatPlainlyIsNot) {
  std::string records;
  appendRecordBytes(records, sample("02TS P1\r\n"));
  appendRecordBytes(records, sample("13NMnote\r\n"));
  std::string longType = records;
  longType[kRecordFileRecordSize] = 3;  // the second record's type code claims 3 characters
  const std::string sdr = "00NMSDR33 V04-04.02\n02TS P1\n";
  const struct {
    const char* name;
    std::string bytes;
    RecordFileDoubt doubt;
    std::size_t record;
  } cases[] = {
      {"records", records, RecordFileDoubt::None, 0},
      {"empty", "", RecordFileDoubt::None, 0},
      {"SDR text with LF line ends", sdr, RecordFileDoubt::SdrText, 0},
      {"SDR text of a record's size", sdr + std::string(178 * 2 - sdr.size(), ' '), RecordFileDoubt::SdrText, 0},
      {"a record and a bit", records + "x", RecordFileDoubt::PartialRecord, 0},
      {"length byte over capacity", longType, RecordFileDoubt::LengthOverCapacity, 2},
  };
  for (const auto& c : cases) {
    const RecordFileCheck check = checkRecordFileStart(c.bytes, c.bytes.size());
    EXPECT_EQ(check.doubt, c.doubt) << c.name;
    EXPECT_EQ(check.record, c.record) << c.name;
  }
}

}  // namespace
}  // namespace quillmar
