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
};

const Case kCases[] = {
    {"read from an SDR file: both frame lines added",
     {"00NMSDR33 V04-04.02\r\n", "02TP0001\r\n"},
     "\x02\r\n00NMSDR33 V04-04.02\r\n02TP0001\r\n\x03\r\n"},
    {"received with its framing: sent as it is",
     {"\x02\r\n", "00NMSDR33\r\n", "\x03\r\n"},
     "\x02\r\n00NMSDR33\r\n\x03\r\n"},
    {"STX line first, ordinary line last: only ETX added",
     {"\x02\r\n", "00NMSDR33\r\n", "02TP0001\r\n"},
     "\x02\r\n00NMSDR33\r\n02TP0001\r\n\x03\r\n"},
    {"ETX line last without STX first: only STX added",
     {"00NMSDR33\r\n", "\x03\r\n"},
     "\x02\r\n00NMSDR33\r\n\x03\r\n"},
    {"no records: the two frame lines", {}, "\x02\r\n\x03\r\n"},
    {"a lone STX body", {"\x02"}, "\x02\x03\r\n"},
    {"only the character before the last two is tested", {"08KI\x03\r\n", "X\r\n"},
     "\x02\r\n08KI\x03\r\nX\r\n\x03\r\n"},
    {"a line without its line end runs into the next", {"0123", "4567\r\n"},
     "\x02\r\n01234567\r\n\x03\r\n"},
};

TEST(UploadText, framesTheRecordsUnlessTheyCarryTheFraming) {
  for (const Case& c : kCases) {
    EXPECT_EQ(buildUploadText(listOf(c.lines)), c.sent) << c.name;
  }
}

TEST(UploadText, bodiesAreSentUnchangedWhateverTheirBytes) {
  std::string line;
  for (int b = 0; b < 168; ++b) line.push_back(static_cast<char>(b + 40));
  line += "\r\n";
  EXPECT_EQ(buildUploadText(listOf({line})), "\x02\r\n" + line + "\x03\r\n");
}

}  // namespace
}  // namespace quillmar
