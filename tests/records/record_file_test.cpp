// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/cp1251.h"
#include "records/io_error.h"
#include "records/make_st.h"
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
  EXPECT_EQ(bytes.substr(0, 3),
            "\x02"
            "08");
  EXPECT_EQ(bytes.substr(3, 3),
            "\x02"
            "KI");
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
    bytes += rawRecord(2, "09", 2, "F1", i % 2 ? '3' : '0',
                       static_cast<unsigned char>(std::min<std::size_t>(body.size(), 170)), body.substr(0, 170));
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

TEST(RecordFile, missingFileIsFileNotFoundAndAddsNothing) {
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

// A caption is made when it is shown, but must read as if MakeSt had made
// it when its row came in: with the program-wide state of that moment, which
// other documents' rows and later edits have moved on since.
TEST(RecordList, captionsMadeLaterEqualThoseMadeWhenTheRowCameIn) {
  const std::string header11 = "00NMSDR33 V04-04.02    1234 01-Jan-02 00:00" + std::string(5, '1') + "\r\n";
  const std::string header22 = "00NMSDR33 V04-04.02    1234 01-Jan-02 00:00" + std::string(5, '2') + "\r\n";
  const std::string instrument = "01NMQ" + std::string(46, 'e') + "12" + std::string(50, '0') + "\r\n";
  const std::string job = "10NMJOB" + std::string(13, ' ') + "121212\r\n";
  const std::string header99 = "00NMSDR33 V04-04.02    1234 01-Jan-02 00:00" + std::string(5, '9') + "\r\n";
  const std::string observation = "09F1" + std::string(90, '7') + "\r\n";
  CaptionState program;
  CaptionState eager;
  RecordList first;
  RecordList second;
  std::vector<std::string> firstExpected;
  std::vector<std::string> secondExpected;
  const auto append = [&](RecordList& list, std::vector<std::string>& expected, const std::string& line) {
    list.append(sample(line), program);
    expected.push_back(MakeSt(eager, sample(line)));
  };
  for (const auto& line : {header11, instrument, observation, job, observation}) append(first, firstExpected, line);
  for (const auto& line : {header22, observation, instrument}) append(second, secondExpected, line);
  for (const auto& line : {instrument, header99}) append(first, firstExpected, line);
  first.replace(2, sample(header22), program);  // an edit captions with the state of its moment
  firstExpected[2] = MakeSt(eager, sample(header22));
  first.insert(0, "given", sample(observation));
  firstExpected.insert(firstExpected.begin(), "given");
  RecordList loaded;  // read elsewhere from a copy of the state, then joined
  CaptionState loadedState = program;
  loaded.append(sample(header11), loadedState);
  loaded.append(sample(instrument), loadedState);
  first.appendRange(std::move(loaded));
  for (const auto& line : {header11, instrument}) firstExpected.push_back(MakeSt(eager, sample(line)));
  EXPECT_TRUE(loaded.empty());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first.caption(i), firstExpected.at(i)) << i;
  for (std::size_t i = 0; i < second.size(); ++i) EXPECT_EQ(second.caption(i), secondExpected.at(i)) << i;
  EXPECT_EQ(first.size(), firstExpected.size());
}

// The longest caption is found without making every caption; it must be the
// one that making them all finds, whatever the kinds, states and lengths.
TEST(RecordList, longestCaptionIsTheOneAllCaptionsGive) {
  const std::string kinds[] = {"02TS", "08KI", "09F1", "09MC", "12NM", "03NM"};
  const std::string header = "00NMSDR33 V04-04.02    1234 01-Jan-02 00:00";
  const std::string filler = std::string(130, '1');
  CaptionState state;
  RecordList list;
  for (std::size_t length = 0; length < 110; length += 7) {
    if (length % 5 == 0 && length < 40) {  // units, and with them the state later rows refer to, change
      list.append(sample(header + std::string(5, length % 2 ? '1' : '2') + "\r\n"), state);
      list.append(sample("01NM" + std::string(46, 'e') + "12" + std::string(length, '0') + "\r\n"), state);
    }
    for (const std::string& kind : kinds) {
      const char version = length % 3 == 0 ? kVersionSdr2 : kVersionSdr3;
      list.append(SurveyRecord::fromText(kind + filler.substr(0, length), version), state);
    }
  }
  list.insert(5, std::string(400, 'g'), sample("13NM\r\n"));
  std::size_t afterSettings = 0;  // where only rows of a fixed state follow
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list.typeCode(i) == "00" || list.typeCode(i) == "01") afterSettings = i + 1;
  }
  for (const auto& [first, last] : {std::pair<std::size_t, std::size_t>{0, list.size() - 1},
                                    {6, list.size() - 1},
                                    {afterSettings, list.size() - 1}}) {
    RecordList::LongestCaption expected;
    for (std::size_t i = first; i <= last; ++i) {
      if (list.caption(i).size() >= expected.length) expected = {i, list.caption(i).size()};
    }
    const RecordList::LongestCaption found = list.longestCaption(first, last);
    EXPECT_EQ(found.row, expected.row) << first;
    EXPECT_EQ(found.length, expected.length) << first;
  }
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
  } cases[] = {
      {"records", records, RecordFileDoubt::None},
      {"empty", "", RecordFileDoubt::None},
      {"SDR text with LF line ends", sdr, RecordFileDoubt::SdrText},
      {"SDR text of a record's size", sdr + std::string(178 * 2 - sdr.size(), ' '), RecordFileDoubt::SdrText},
      // Record files all the same: read as records, the reader says what it found.
      {"a record and a bit", records + "x", RecordFileDoubt::None},
      {"length byte over capacity", longType, RecordFileDoubt::None},
  };
  for (const auto& c : cases) EXPECT_EQ(checkRecordFileStart(c.bytes, c.bytes.size()).doubt, c.doubt) << c.name;
}

// Read as the format says (the trailing bytes ignored, lengths clipped), and
// told once in a sentence each.
TEST(RecordFile, partialRecordAndOversizedLengthsAreReadAndReported) {
  std::string bytes;
  for (const char* line : {"02TS P1\r\n", "13NMnote\r\n", "08KI P2\r\n"}) appendRecordBytes(bytes, sample(line));
  bytes[kRecordFileRecordSize + 7] = static_cast<char>(200);  // the second body claims 200 characters
  bytes[2 * kRecordFileRecordSize] = 3;                       // the third type code 3
  const RecordFileFaults faults = forEachRecordIn(bytes + std::string(100, 'x'), [](const SurveyRecord&) {});
  EXPECT_EQ(faults.trailingBytes, 100u);
  EXPECT_EQ(faults.clippedRecords, 2u);
  EXPECT_EQ(faults.firstClipped, 2u);
  const std::vector<std::string> texts = RecordFileFaultTexts(faults);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "в конце файла 100 байт, не составляющих записи"_w);
  EXPECT_NE(texts[1].find("запись 2"_w), std::string::npos);
  EXPECT_TRUE(RecordFileFaultTexts({0, 1, 7})[0].starts_with("в записи 7 длина поля больше допустимой"_w));
  EXPECT_TRUE(RecordFileFaultTexts({}).empty());

  TempDir dir;
  writeBytes(dir.file("whole.qdl"), bytes.substr(0, kRecordFileRecordSize));
  EXPECT_FALSE(readRecordFile(dir.file("whole.qdl"), [](const SurveyRecord&) {}).any());
  // Past the first chunk of records, the record numbers count on.
  std::string many;
  for (int i = 0; i < 5000; ++i) appendRecordBytes(many, sample("13NMnote\r\n"));
  many[4500 * kRecordFileRecordSize] = 9;
  writeBytes(dir.file("many.qdl"), many + "ab");
  const RecordFileFaults far = readRecordFile(dir.file("many.qdl"), [](const SurveyRecord&) {});
  EXPECT_EQ(far.firstClipped, 4501u);
  EXPECT_EQ(far.trailingBytes, 2u);
}

}  // namespace
}  // namespace quillmar
