// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/upload_text.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace quillmar {
namespace {

RecordList listOf(std::initializer_list<std::string_view> lines) {
  RecordList list;
  for (std::string_view line : lines) list.append("caption", SurveyRecord::fromLine(line, kVersionSdr3));
  return list;
}

struct Case {
  const char* name;
  std::initializer_list<std::string_view> lines;
  std::string_view sent;
  std::size_t leftOut;
};

const Case kCases[] = {
    {"read from an SDR file: both frame lines added",
     {"00NMSDR33 V04-04.02\r\n", "02TP0001\r\n"},
     "\x02\r\n00NMSDR33 V04-04.02\r\n02TP0001\r\n\x03\r\n",
     0},
    {"received with its framing and checksum: only the new frame",
     {"\x02\r\n", "00NMSDR33\r\n", "\x03 12345\r\n"},
     "\x02\r\n00NMSDR33\r\n\x03\r\n",
     2},
    {"STX line first, ordinary line last",
     {"\x02\r\n", "00NMSDR33\r\n", "02TP0001\r\n"},
     "\x02\r\n00NMSDR33\r\n02TP0001\r\n\x03\r\n",
     1},
    {"frame lines inside the book are left out too",
     {"00NMSDR33\r\n", "\x03\r\n", "\x02\r\n", "02TP0001\r\n"},
     "\x02\r\n00NMSDR33\r\n02TP0001\r\n\x03\r\n",
     2},
    {"no records: the two frame lines", {}, "\x02\r\n\x03\r\n", 0},
    {"STX or ETX further in a line is sent as it is",
     {"08KI\x03\r\n", "X\x02\r\n"},
     "\x02\r\n08KI\x03\r\nX\x02\r\n\x03\r\n",
     0},
    {"a line without its line end gets one", {"0123", "4567\r\n"}, "\x02\r\n0123\r\n4567\r\n\x03\r\n", 0},
    {"a line that kept its CR only gets its LF", {"0123\r", "4567\r\n"}, "\x02\r\n0123\r\n4567\r\n\x03\r\n", 0},
};

// A record keeps 170 characters: a longer line lost its line end, and would
// swallow the next record where the book is read again.
TEST(UploadText, linesTooLongForTheirRecordEndInCrLf) {
  const SurveyRecord cut169 = SurveyRecord::fromText(std::string(169, 'b'), kVersionSdr3);
  const SurveyRecord cut200 = SurveyRecord::fromText(std::string(200, 'd'), kVersionSdr3);
  RecordList list;
  for (const SurveyRecord& record : {cut169, cut200}) list.append("caption", record);
  EXPECT_EQ(buildUploadText(list).bytes,
            "\x02\r\n" + std::string(169, 'b') + "\r\n" + std::string(170, 'd') + "\r\n\x03\r\n");
}

TEST(UploadText, framesTheRecordsAndLeavesOutTheirOwnFrameLines) {
  for (const Case& c : kCases) {
    const UploadText text = buildUploadText(listOf(c.lines));
    EXPECT_EQ(text.bytes, c.sent) << c.name;
    EXPECT_EQ(text.framingRecordsLeftOut, c.leftOut) << c.name;
  }
}

TEST(UploadText, bodiesAreSentUnchangedWhateverTheirBytes) {
  std::string line;
  for (int b = 0; b < 168; ++b) line.push_back(static_cast<char>(b + 40));
  line += "\r\n";
  EXPECT_EQ(buildUploadText(listOf({line})).bytes, "\x02\r\n" + line + "\x03\r\n");
}

}  // namespace
}  // namespace quillmar
