// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "records/import.h"
#include "records/io_error.h"
#include "records/make_st.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

using testing::TempDir;
using testing::writeBytes;

const std::string kHeader3 = "00NMSDR33  V04-04.02    06-FEB-21 08:36 111111";
const std::string kHeader2 = "00NMSDR20     V03-05    25-Sep-10 22:10 113111";

struct Imported {
  LineBuffer lines;
  std::size_t count = 0;
  RecordList list;
};

void importInto(Imported& doc, CaptionState& captions, const std::string& path) {
  doc.count = ImportSdrFile(path, doc.lines);
  Obrabotka(doc.lines, doc.count, captions, doc.list);
}

Imported importText(std::string_view text) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), text);
  Imported doc;
  CaptionState captions;
  importInto(doc, captions, dir.file("book.sdr"));
  return doc;
}

TEST(Import, storesNonEmptyLinesWithCrLfAndSkipsEmptyOnes) {
  const Imported doc = importText(kHeader3 + "\r\n08KI   G3\n\r\n");
  ASSERT_EQ(doc.count, 2u);
  EXPECT_EQ(doc.lines.line(0), kHeader3 + "\r\n");
  EXPECT_EQ(doc.lines.line(1), "08KI   G3\r\n");
  ASSERT_EQ(doc.list.size(), 2u);
  EXPECT_EQ(doc.list.record(0).version, '3');
  EXPECT_EQ(doc.list.record(1).version, '3');
  EXPECT_EQ(doc.list.record(1).typeCode.view(), "08");
  EXPECT_EQ(doc.list.record(1).derivCode.view(), "KI");
  EXPECT_EQ(doc.list.record(1).body.view(), "08KI   G3\r\n");
}

TEST(Import, aTextInMemoryGivesTheLinesItsFileGives) {
  for (const std::string& text :
       {kHeader3 + "\r\n08KI   G3\n\r\n\x1a" + "09", std::string("\r\r\n \n"), std::string()}) {
    SCOPED_TRACE(text);
    LineBuffer lines;
    lines.appendLine("kept");
    EXPECT_EQ(ImportSdrText(text, lines), importText(text).count + 1);
    const Imported file = importText(text);
    for (std::size_t i = 0; i < file.count; ++i) EXPECT_EQ(lines.line(i + 1), file.lines.line(i));
  }
}

TEST(Import, lineOfBlanksIsStoredAndEmptyBooksGiveNoRows) {
  EXPECT_EQ(importText("   \r\n").list.size(), 1u);
  EXPECT_EQ(importText("").list.size(), 0u);
  EXPECT_EQ(importText("\r\n\n\r\n").list.size(), 0u);
}

TEST(Import, versionComesFromTheFirstLinesOnly) {
  EXPECT_EQ(importText(kHeader2 + "\r\n09F1\r\n").list.record(1).version, '2');
  // The first line is too short to hold characters 5-8: the second decides.
  EXPECT_EQ(importText("ab\r\n" + kHeader3 + "\r\n").list.record(0).version, '3');
  // A first line of exactly four characters plus CR LF yields "\r\n", not the second line's.
  EXPECT_EQ(importText("abcd\r\n" + kHeader3 + "\r\n").list.record(0).version, kVersionNone);
  EXPECT_EQ(importText("00NMsdr33\r\n").list.record(0).version, kVersionNone);
  EXPECT_EQ(importText("00NMSDR4\r\n").list.record(0).version, kVersionNone);
  EXPECT_EQ(importText("ab\r\n").list.record(0).version, kVersionNone);
  // A later header does not change the version of the book.
  EXPECT_EQ(importText("08KI\r\n" + kHeader2 + "\r\n").list.record(1).version, kVersionNone);
}

TEST(Import, bodyKeepsTheLineEndAsFarAsItFits) {
  const Imported doc = importText(std::string(168, 'a') + "\n" + std::string(169, 'b') + "\n" + std::string(170, 'c') +
                                  "\n" + std::string(200, 'd') + "\n");
  ASSERT_EQ(doc.list.size(), 4u);
  EXPECT_EQ(doc.list.record(0).body.view(), std::string(168, 'a') + "\r\n");
  EXPECT_EQ(doc.list.record(1).body.view(), std::string(169, 'b') + "\r");
  EXPECT_EQ(doc.list.record(2).body.view(), std::string(170, 'c'));
  EXPECT_EQ(doc.list.record(3).body.view(), std::string(170, 'd'));
  EXPECT_EQ(doc.lines.line(3).size(), 172u);  // the buffer keeps only what a record holds
  EXPECT_EQ(CountCutLines(doc.lines, 4), 3u);
  EXPECT_EQ(CountCutLines(doc.lines, 1), 0u);
}

TEST(Import, codesCountTheLineEndAsCharacters) {
  const Imported doc = importText("0\r\n08\r\n");
  EXPECT_EQ(doc.list.record(0).typeCode.view(), "0\r");
  EXPECT_EQ(doc.list.record(0).derivCode.view(), "\n");
  EXPECT_EQ(doc.list.record(1).typeCode.view(), "08");
  EXPECT_EQ(doc.list.record(1).derivCode.view(), "\r\n");
}

TEST(Import, secondImportAppendsAfterTheFirst) {
  TempDir dir;
  writeBytes(dir.file("a.sdr"), kHeader3 + "\r\n13NMfirst\r\n");
  writeBytes(dir.file("b.sdr"), kHeader2 + "\r\n13NMsecond\r\n");
  Imported doc;
  CaptionState captions;
  importInto(doc, captions, dir.file("a.sdr"));
  importInto(doc, captions, dir.file("b.sdr"));
  ASSERT_EQ(doc.list.size(), 4u);
  EXPECT_EQ(doc.list.record(1).body.view(), "13NMfirst\r\n");
  EXPECT_EQ(doc.list.record(1).version, '3');
  EXPECT_EQ(doc.list.record(3).body.view(), "13NMsecond\r\n");
  EXPECT_EQ(doc.list.record(3).version, '2');
}

TEST(Import, anyBytesAreImportedLineByLine) {
  std::string binary;
  for (int i = 0; i < 256; ++i) {
    if (i != '\r' && i != '\n' && i != 26) binary.push_back(static_cast<char>(i));
  }
  const Imported doc = importText(binary + "\n" + std::string(3, '\0') + "\n");
  ASSERT_EQ(doc.list.size(), 2u);
  EXPECT_EQ(doc.lines.line(0), binary.substr(0, 170) + "\r\n");
  EXPECT_EQ(doc.list.record(0).body.view(), binary.substr(0, 170));
  EXPECT_EQ(doc.list.record(1).body.view(), std::string("\0\0\0\r\n", 5));
}

// Another instrument's table imports as rows all the same, and is told apart.
TEST(Import, aFileWithoutOneSdrRecordIsToldApart) {
  const struct {
    const char* text;
    bool noSdrRecord;
  } cases[] = {
      {"Pt,N,E,Z\n1,100.0,200.0,10.0\n09XX odd\n02ts lower\n", true},
      {"Pt,N,E,Z\n08KI     P1\n", false},
      {"13NMa note\n", false},
      {"09MC  P1  P2\n", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HoldsNoSdrRecord(importText(c.text).list), c.noSdrRecord) << c.text;
}

TEST(Import, unreadableFileLeavesTheBufferEmptyAndAddsNothing) {
  TempDir dir;
  LineBuffer lines;
  lines.appendLine("stale");
  try {
    ImportSdrFile(dir.file("missing.sdr"), lines);
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  EXPECT_EQ(lines.size(), 0u);
  try {
    ImportSdrFile(dir.path().string(), lines);  // a directory cannot be read as text
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 5);
  }
}

TEST(Obrabotka, makesOneRecordPerBufferedLineUpToTheCount) {
  LineBuffer lines;
  lines.appendLine("\x02");
  lines.appendLine(kHeader3);
  lines.appendLine("");
  lines.appendLine("\x03");
  CaptionState captions;
  RecordList list;
  Obrabotka(lines, 0, captions, list);
  EXPECT_TRUE(list.empty());
  Obrabotka(lines, 4, captions, list);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.record(0).body.view(), "\x02\r\n");
  EXPECT_EQ(list.record(0).version, '3');  // from the second line: the first is too short
  EXPECT_EQ(list.record(2).body.view(), "\r\n");
  EXPECT_EQ(list.caption(2), "\r\n");
  EXPECT_EQ(list.record(3).body.view(), "\x03\r\n");
}

// The streaming readers serve quillmar-cli and the document window's Import;
// they must make exactly the records, and captions, that Import and
// Obrabotka make.
TEST(StreamingImport, makesTheSameRecordsAsImportAndObrabotka) {
  const std::string texts[] = {
      "",
      "\r\n\r\n",
      "ab\r\n" + kHeader3 + "\r\n09F1\r\n",
      "ab\r\n",
      "abc\n\nxy\n" + kHeader2 + "\n",
      "abcd\r\n" + kHeader3 + "\r\n",
      "\n\n" + kHeader2 + "\r\n" + std::string(300, 'z') +
          "\r\n13NM\x1A"
          "after\r\n",
      std::string("0\r\n\0\0\0\0SDR3\r\n", 13),
      kHeader3 + "\r\n01NMQ" + std::string(60, '1') + "\r\n10NMJOB" + std::string(20, '2') + "\r\n00NMSDR33" +
          std::string(40, '2') + "\r\n09F1 P1\r\n",
  };
  for (const std::string& text : texts) {
    TempDir dir;
    writeBytes(dir.file("book.sdr"), text);
    Imported doc;
    CaptionState captions;
    importInto(doc, captions, dir.file("book.sdr"));
    std::vector<SurveyRecord> streamed;
    forEachImportedRecord(dir.file("book.sdr"), [&](const SurveyRecord& r) { streamed.push_back(r); });
    RecordList rows;
    CaptionState rowCaptions;
    importSdrRows(dir.file("book.sdr"), rowCaptions, rows);
    ASSERT_EQ(streamed.size(), doc.list.size()) << text;
    ASSERT_EQ(rows.size(), doc.list.size()) << text;
    CaptionState eager;
    for (std::size_t i = 0; i < streamed.size(); ++i) {
      for (const SurveyRecord& made : {streamed[i], rows.record(i)}) {
        EXPECT_EQ(made.body.view(), doc.list.record(i).body.view());
        EXPECT_EQ(made.typeCode.view(), doc.list.record(i).typeCode.view());
        EXPECT_EQ(made.derivCode.view(), doc.list.record(i).derivCode.view());
        EXPECT_EQ(made.version, doc.list.record(i).version) << text;
      }
      const std::string caption = MakeSt(eager, streamed[i]);
      EXPECT_EQ(rows.caption(i), caption);
      EXPECT_EQ(doc.list.caption(i), caption);
    }
  }
}

// A book that changes between the counting pass and the reading pass.
struct ChangeCase {
  const char* name;
  std::function<void(const std::string& path)> change;
  std::size_t lines;  // what the import then holds
};

TEST(ImportFaults, fileChangedBetweenThePassesGivesTheSecondPassOrAnError) {
  const std::string book = kHeader3 + "\r\n13NMone\r\n13NMtwo\r\n13NMthree\r\n";
  const ChangeCase cases[] = {
      {"shrinks", [](const std::string& p) { writeBytes(p, kHeader3 + "\r\n"); }, 1},
      {"grows", [&](const std::string& p) { writeBytes(p, book + book); }, 8},
      {"emptied", [](const std::string& p) { writeBytes(p, ""); }, 0},
  };
  for (const auto& c : cases) {
    TempDir dir;
    writeBytes(dir.file("book.sdr"), book);
    LineBuffer lines;
    const std::size_t count = ImportSdrFile(dir.file("book.sdr"), lines, [&] { c.change(dir.file("book.sdr")); });
    EXPECT_EQ(count, c.lines) << c.name;
    EXPECT_EQ(lines.size(), c.lines) << c.name;
  }
  TempDir dir;
  writeBytes(dir.file("book.sdr"), book);
  LineBuffer lines;
  try {
    ImportSdrFile(dir.file("book.sdr"), lines, [&] { std::remove(dir.file("book.sdr").c_str()); });
    FAIL() << "a vanished book must be reported";
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  EXPECT_EQ(lines.size(), 0u);
}

TEST(ImportFaults, aTenMegabyteLineAndRandomBytesImportWithoutHarm) {
  TempDir dir;
  std::string text = kHeader3 + "\r\n" + std::string(10 << 20, 'L') + "\r\n";
  std::uint32_t seed = 12345;
  for (int i = 0; i < (1 << 20); ++i) {
    seed = seed * 1664525u + 1013904223u;
    text.push_back(static_cast<char>(seed >> 24));
  }
  writeBytes(dir.file("book.sdr"), text);
  Imported doc;
  CaptionState captions;
  importInto(doc, captions, dir.file("book.sdr"));
  ASSERT_GE(doc.list.size(), 2u);
  EXPECT_EQ(doc.list.record(1).body.view(), std::string(170, 'L'));
  EXPECT_EQ(doc.lines.line(1).size(), 172u);
  for (std::size_t i = 0; i < doc.list.size(); ++i) EXPECT_LE(doc.list.caption(i).size(), 1000u);
}

}  // namespace
}  // namespace quillmar
