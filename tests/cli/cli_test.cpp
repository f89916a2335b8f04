#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

struct CliRun {
  int status = -1;
  std::string errors;
};

CliRun cli(const std::string& args, const TempDir& dir) {
  const std::string errFile = dir.file("stderr.txt");
  const std::string command = std::string(QUILLMAR_CLI) + " " + args + " 2>" + errFile;
  const int raw = std::system(command.c_str());
  CliRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.errors = readBytes(errFile);
  return run;
}

const std::string kBook =
    "00NMSDR33  V04-04.02    06-FEB-21 08:36 111111\r\n"
    "02TS              S1      1000.000        2000.000         100.000           1.550start           \r\n"
    "09F1              S1              T1          25.123         90.1234        180.0000note            \r\n"
    "08KI              T1      1010.000        2010.000         101.000mark            \r\n"
    "13NMa note\n";

TEST(Cli, recordFileRoundTripGivesTheSameExports) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  ASSERT_EQ(cli("export qdl " + dir.file("book.sdr") + " " + dir.file("book.qdl"), dir).status, 0);
  EXPECT_EQ(readBytes(dir.file("book.qdl")).size(), 5u * 178);
  for (const std::string kind : {"captions", "obs", "pos", "sdr"}) {
    ASSERT_EQ(cli("export " + kind + " " + dir.file("book.sdr") + " " + dir.file("a." + kind), dir).status, 0);
    ASSERT_EQ(cli("export " + kind + " " + dir.file("book.qdl") + " " + dir.file("b." + kind), dir).status, 0);
    EXPECT_EQ(readBytes(dir.file("a." + kind)), readBytes(dir.file("b." + kind))) << kind;
  }
  EXPECT_EQ(readBytes(dir.file("a.sdr")), kBook.substr(0, kBook.size() - 1) + "\r\n");
}

TEST(Cli, unreadableInputReportsAndLeavesTheOutputAlone) {
  TempDir dir;
  writeBytes(dir.file("out.txt"), "previous");
  const CliRun run = cli("export pos " + dir.file("missing.sdr") + " " + dir.file("out.txt"), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("File not found"), std::string::npos) << run.errors;
  EXPECT_EQ(readBytes(dir.file("out.txt")), "previous");
}

TEST(Cli, unwritableOutputReportsAndLeavesNothingHalfWritten) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  const CliRun run = cli("export sdr " + dir.file("book.sdr") + " " + dir.file("no/out.sdr"), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("File not found"), std::string::npos) << run.errors;
  const CliRun full = cli("export sdr " + dir.file("book.sdr") + " /dev/full", dir);
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.errors.find("Disk full"), std::string::npos) << full.errors;
}

TEST(Cli, usageErrorsExitWithTwo) {
  TempDir dir;
  EXPECT_EQ(cli("", dir).status, 2);
  EXPECT_EQ(cli("export", dir).status, 2);
  EXPECT_EQ(cli("export xml a b", dir).status, 2);
  EXPECT_EQ(cli("export pos a", dir).status, 2);
  EXPECT_EQ(cli("frobnicate", dir).status, 2);
}

}  // namespace
}  // namespace quillmar
