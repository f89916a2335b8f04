// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "export/export_writers.h"
#include "records/cp1251.h"
#include "records/io_error.h"
#include "tests/support/string_sink.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::string exported(const RecordList& list, ExportKind kind) {
  StringSink out;
  writeExport(out, list, kind);
  return out.text;
}

void add(RecordList& list, std::string_view line, char version, std::string_view caption = "caption") {
  list.append(caption, SurveyRecord::fromLine(line, version));
}

const std::string kPosHeader = std::string("Точка;N;E;Elev;Прим;"_w) + "\r\n";
const std::string kObsHeader = std::string("Исх.точка;Точка навед;Расст;Верт угол;Гориз угол;Прим;"_w) + "\r\n";

TEST(ExportName, completesOnlyWhenTheLastThreeCharactersDiffer) {
  const struct {
    std::string chosen;
    ExportKind kind;
    std::string completed;
  } cases[] = {
      {"result", ExportKind::CaptionText, "result.txt"}, {"result.TXT", ExportKind::CaptionText, "result.TXT.txt"},
      {"mytxt", ExportKind::ObservationTable, "mytxt"},  {"pos.txt", ExportKind::PositionTable, "pos.txt"},
      {"book.sdr", ExportKind::SdrFile, "book.sdr"},     {"book.txt", ExportKind::SdrFile, "book.txt.sdr"},
      {"tx", ExportKind::CaptionText, "tx.txt"},         {"txt", ExportKind::CaptionText, "txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(completeExportName(c.chosen, c.kind), c.completed) << c.chosen;
}

TEST(Export, emptyDocumentGivesEmptyFilesOrTheHeaderAlone) {
  const RecordList empty;
  EXPECT_EQ(exported(empty, ExportKind::CaptionText), "");
  EXPECT_EQ(exported(empty, ExportKind::SdrFile), "");
  EXPECT_EQ(exported(empty, ExportKind::PositionTable), kPosHeader);
  EXPECT_EQ(exported(empty, ExportKind::ObservationTable), kObsHeader);
}

TEST(Export, positionTableCutsFieldsByLayoutWithoutTheLinesOwnEnd) {
  RecordList list;
  // The note is one character short of its 16: the CR would fall inside it.
  add(list, "08KI  P1 1000.0000 2000.0000  150.0000Угол забора    \r\n"_w.data(), '2');
  add(list,
      "08KI" + std::string("              G3") + std::string(16, 'N') + std::string(16, 'E') + std::string(16, 'Z') +
          "\r\n",
      '3');
  add(list, "08KI  P9 1.0\r\n", kVersionNone);
  add(list, "09F1  P1  P2\r\n", '2');
  add(list, "8 KI  P1\r\n", '2');
  const std::string expected = kPosHeader + "  P1; 1000.0000; 2000.0000;  150.0000;" +
                               std::string("Угол забора    "_w) + ";\r\n" + "              G3;" + std::string(16, 'N') +
                               ";" + std::string(16, 'E') + ";" + std::string(16, 'Z') + ";;\r\n";
  EXPECT_EQ(exported(list, ExportKind::PositionTable), expected);
}

TEST(Export, observationTableTakesEveryDerivationCode) {
  RecordList list;
  add(list, "09F1  P1  P2   10.0000   90.0000    0.0000first note      \r\n", '2');
  add(list, "09MC  P1  P3   12.5000   89.5000  123.4500\r\n", '2');
  // A line that kept its CR alone (stored with 169 characters, or read from a record file).
  add(list, "09F1  P1  P4   10.5\r", '2');
  add(list, "09XX", '2');
  add(list, "08KI  P1\r\n", '2');
  const std::string expected = kObsHeader + "  P1;  P2;   10.0000;   90.0000;    0.0000;first note      ;\r\n" +
                               "  P1;  P3;   12.5000;   89.5000;  123.4500;;\r\n" + "  P1;  P4;   10.5;;;;\r\n" +
                               ";;;;;;\r\n";
  EXPECT_EQ(exported(list, ExportKind::ObservationTable), expected);
}

TEST(Export, captionsAsStoredAndEverySdrLineEndedByCrLf) {
  RecordList list;
  add(list, "12NM unknown\r\n", '3', "12NM unknown\r\n");
  add(list, std::string(169, 'x') + "\r\n", '3', "long");
  add(list, std::string(200, 'y') + "\r\n", '3', "longer");
  add(list, "13NMnote\r\n", '3', "Примечание   note\r\n"_w.data());
  EXPECT_EQ(exported(list, ExportKind::CaptionText),
            "12NM unknown\r\n\r\nlong\r\nlonger\r\n" + std::string("Примечание   note\r\n"_w) + "\r\n");
  // The long lines lost their line end, in part or whole, when stored: the
  // export gives it back, so that no record runs into the next.
  EXPECT_EQ(exported(list, ExportKind::SdrFile),
            "12NM unknown\r\n" + std::string(169, 'x') + "\r\n" + std::string(170, 'y') + "\r\n13NMnote\r\n");
}

TEST(Export, failedExportKeepsThePreviousFile) {
  TempDir dir;
  RecordList list;
  add(list, "13NMnote\r\n", '3');
  writeBytes(dir.file("out.txt"), "before");
  EXPECT_THROW(exportToFile(dir.file("missing/out.txt"), list, ExportKind::SdrFile), IoError);
  try {
    exportToFile("/dev/full", list, ExportKind::CaptionText);
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 101);
  }
  exportToFile(dir.file("out.txt"), list, ExportKind::SdrFile);
  EXPECT_EQ(readBytes(dir.file("out.txt")), "13NMnote\r\n");
}

}  // namespace
}  // namespace quillmar
