// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/io_error.h"
#include "records/text_lines.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

using testing::TempDir;
using testing::writeBytes;

std::vector<std::string> linesOf(std::string_view bytes) {
  std::vector<std::string> lines;
  forEachTextLineIn(bytes, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::vector<std::string> linesOfFile(const std::string& path) {
  std::vector<std::string> lines;
  forEachTextLine(path, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

using Lines = std::vector<std::string>;

TEST(TextLines, lineEndsAreLfOrCrLfAndLoneCrIsDropped) {
  EXPECT_EQ(linesOf("a\nb\r\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(linesOf("a\nb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(linesOf("a\rb\r\n"), (Lines{"ab"}));
  EXPECT_EQ(linesOf("ab\r\r\ncd\r"), (Lines{"ab", "cd"}));
  EXPECT_EQ(linesOf("\n\r\n\nx"), (Lines{"", "", "", "x"}));
}

TEST(TextLines, byte26EndsTheText) {
  EXPECT_EQ(linesOf("one\r\ntw\x1Ao\r\nthree\r\n"), (Lines{"one", "tw"}));
  EXPECT_EQ(linesOf("one\r\n\x1A"), (Lines{"one"}));
  EXPECT_EQ(linesOf("\x1A"
                    "abc"),
            Lines{});
}

TEST(TextLines, nulAndHighBytesAreKept) {
  const std::string bytes("a\0b\xFF\x02\r\n", 7);
  EXPECT_EQ(linesOf(bytes), (Lines{std::string("a\0b\xFF\x02", 5)}));
}

TEST(TextLines, aLineKeepsWhatARecordHoldsAndItsEndIsFoundAcrossChunks) {
  TempDir dir;
  constexpr std::size_t kChunk = 256 * 1024;
  const std::string kept(kLongestLineKept, 'x');
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {std::string(3 * kChunk + 5, 'x') + "\r\nnext\r\n", {kept, "next"}},
      {std::string(kChunk - 1, 'x') + "\r\nnext", {kept, "next"}},  // CR LF on a seam
      {"\ra\rb" + std::string(kChunk, 'x'), {"ab" + kept.substr(2)}},
      {std::string(kChunk + 7, 'x') + "\x1A" + "more\n", {kept}},
      {std::string(kLongestLineKept - 1, 'x') + "\r\r" + std::string(kChunk, 'y'), {kept.substr(1) + "y"}},
  };
  for (const auto& c : cases) {
    writeBytes(dir.file("big.txt"), c.bytes);
    EXPECT_EQ(linesOfFile(dir.file("big.txt")), c.lines) << c.bytes.size();
    EXPECT_EQ(linesOf(c.bytes), c.lines) << c.bytes.size();
  }
}

// Byte 26 anywhere ends the file: also in a later chunk, and also when the
// file goes on for chunks after it.
TEST(TextLines, byte26InALaterChunkEndsTheFile) {
  TempDir dir;
  const std::size_t chunk = 256 * 1024;
  for (const std::size_t at : {std::size_t{1000}, chunk + 1000}) {
    std::string text(3 * chunk, 'x');
    for (std::size_t i = 99; i < text.size(); i += 100) text[i] = '\n';
    text[at] = '\x1A';
    writeBytes(dir.file("book.sdr"), text);
    const std::string kept = text.substr(0, at);
    EXPECT_EQ(linesOfFile(dir.file("book.sdr")), linesOf(kept)) << at;
    const TextLineCount count = countTextLines(dir.file("book.sdr"));
    EXPECT_EQ(count.bytes, at);
    EXPECT_EQ(count.lines, linesOf(kept).size()) << at;
  }
}

TEST(TextLines, countsLinesAsTheReaderSeesThem) {
  TempDir dir;
  const struct {
    std::string_view bytes;
    std::size_t lines;
  } cases[] = {
      {"", 1}, {"abc", 1}, {"a\n", 1}, {"a\nb", 2}, {"a\r\n\r\nb\r\n", 3}, {"a\nb\x1A\nc\nd\n", 2}, {"a\rb", 1},
  };
  for (const auto& c : cases) {
    writeBytes(dir.file("f.txt"), c.bytes);
    EXPECT_EQ(countTextLines(dir.file("f.txt")).lines, c.lines) << c.bytes;
  }
}

TEST(TextLines, missingFileIsFileNotFound) {
  TempDir dir;
  try {
    forEachTextLine(dir.file("none.sdr"), [](std::string_view) {});
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 2);
    EXPECT_STREQ(e.what(), "File not found");
  }
}

}  // namespace
}  // namespace quillmar
