// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/cli_run.h"
#include "tests/support/temp_dir.h"
#include "tests/survey/survey_books.h"

// quillmar-cli compute on a small book of every kind of observation: the
// table it writes, byte for byte, and what it says on stderr.

namespace quillmar {
namespace {

// The temporary folders, their files and the runs of quillmar-cli.
using namespace testing;

// East before north; a face pair, an azimuth, a reduced check shot, no distance.
const std::string kBook =
    "00NMSDR33 V04-04.02     06-FEB-21 08:36 111121\r\n"
    "01NM:SET600 V32-00   017040SET600 V32-00   01704031\r\n"
    "02TP             STN2000            1000            100             1.5             \r\n"
    "03NM1.2             \r\n"
    "07TP             STN              BS0               0               \r\n"
    "09F1             STN              P110              90              90              \r\n"
    "09F2             STN              P110              270             270             \r\n"
    "09MC             STN              P220              90              180             \r\n"
    "11KI             STN               K90              10              2               \r\n"
    "08KI               K2010.01         1000            102.3           \r\n"
    "09F1             STN              P3                90              45              \r\n";

const std::string kTable =
    "point;N;E;Elev;station;method;dN;dE;dElev;collimation;index;row;pairRow\r\n"
    "P1;1000.0000;2010.0000;100.3000;STN;polar;;;;0.0000;0.0000;6;7\r\n"
    "P2;980.0000;2000.0000;100.3000;STN;azimuth;;;;;;8;\r\n"
    "K;1000.0000;2010.0000;102.3000;STN;check;0.0000;-0.0100;0.0000;;;9;\r\n";

TEST(CliCompute, writesTheTableAndSaysWhatGaveNothing) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  const CliRun run = runCli("compute " + dir.file("book.sdr") + " " + dir.file("out.csv"), dir);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(readBytes(dir.file("out.csv")), kTable);
  const std::string book = dir.file("book.sdr");
  EXPECT_EQ(run.errors, "quillmar-cli: " + book +
                            ": row 11: no distance\n"
                            "quillmar-cli: computed 2 points, 1 check shots, 1 observations gave nothing\n");
}

TEST(CliCompute, readsARecordFileAsExportDoes) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  ASSERT_EQ(runCli("export qdl " + dir.file("book.sdr") + " " + dir.file("book.qdl"), dir).status, 0);
  ASSERT_EQ(runCli("compute " + dir.file("book.qdl") + " " + dir.file("out.csv"), dir).status, 0);
  EXPECT_EQ(readBytes(dir.file("out.csv")), kTable);
}

TEST(CliCompute, failuresLeaveTheOutputAsItWas) {
  TempDir dir;
  writeBytes(dir.file("out.csv"), "previous");
  const CliRun missing = runCli("compute " + dir.file("missing.sdr") + " " + dir.file("out.csv"), dir);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.errors.find("File not found"), std::string::npos);
  EXPECT_EQ(readBytes(dir.file("out.csv")), "previous");
  writeBytes(dir.file("book.sdr"), kBook);
  EXPECT_EQ(runCli("compute " + dir.file("book.sdr") + " " + dir.file("no/such/dir.csv"), dir).status, 1);
  EXPECT_EQ(runCli("compute " + dir.file("book.sdr"), dir).status, 2);
  EXPECT_EQ(runCli("compute a b c", dir).status, 2);
}

// A free station keyed in as 0,0 over two control points, and a target
// whose name holds the table's separator.
std::string freeStationBook() {
  using namespace survey::test;
  const std::string lines[] = {
      header('3'),
      position('3', "A", "1000", "1000", "10"),
      position('3', "B", "1000", "1100", "10"),
      position('3', "ST1", "0", "0", "0"),
      station('3', "ST1", "", "", "", "0"),
      target('3', "0"),
      observation('3', "MD", "A", "111.803399", "90", "333.434949", "ST1"),
      observation('3', "MD", "B", "111.803399", "90", "26.565051", "ST1"),
      observation('3', "MD", "X;\"1", "10", "90", "180", "ST1"),
  };
  std::string book;
  for (const std::string& line : lines) book += line + "\r\n";
  return book;
}

TEST(CliCompute, setsAsideContradictedCoordinatesUnlessFixedAndQuotesNames) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), freeStationBook());
  const std::string in = dir.file("book.sdr"), out = dir.file("out.csv");
  const CliRun free = runCli("compute " + in + " " + out, dir);
  ASSERT_EQ(free.status, 0);
  EXPECT_NE(free.errors.find(in + ": row 4: the coordinates of ST1 disagree with the observations by 1383 m; "
                                  "computed anew\n"),
            std::string::npos)
      << free.errors;
  const std::string table = readBytes(out);
  EXPECT_NE(table.find("ST1;900.0000;1050.0000;"), std::string::npos) << table;
  EXPECT_NE(table.find("\r\n\"X;\"\"1\";890.0000;1050.0000;"), std::string::npos) << table;

  const CliRun fixed = runCli("compute " + in + " " + out + " --fixed ST1", dir);
  ASSERT_EQ(fixed.status, 0);
  EXPECT_EQ(fixed.errors.find("computed anew"), std::string::npos);
  EXPECT_EQ(readBytes(out).find("\r\nST1;"), std::string::npos) << "ST1 is control, not computed";

  for (const char* twice : {" --free A --free B", " --fixed A --fixed B", " --free", " --loose A"})
    EXPECT_EQ(runCli("compute " + in + " " + out + twice, dir).status, 2) << twice;
}

}  // namespace
}  // namespace quillmar
