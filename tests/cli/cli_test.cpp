// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "records/cp1251.h"
#include "tests/cli/cli_run.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

// The temporary folders, their files and the runs of quillmar-cli.
using namespace testing;

// Runs a shell script in `dir` with $CLI naming the tool; returns its exit status.
int shell(const std::string& script, const TempDir& dir) {
  return shellStatus("cd '" + dir.path().string() + "' && CLI='" + QUILLMAR_CLI + "' && " + script);
}

std::vector<std::string> namesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
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
  ASSERT_EQ(runCli("export qdl " + dir.file("book.sdr") + " " + dir.file("book.qdl"), dir).status, 0);
  EXPECT_EQ(readBytes(dir.file("book.qdl")).size(), 5u * 178);
  for (const std::string kind : {"captions", "obs", "pos", "sdr"}) {
    ASSERT_EQ(runCli("export " + kind + " " + dir.file("book.sdr") + " " + dir.file("a." + kind), dir).status, 0);
    ASSERT_EQ(runCli("export " + kind + " " + dir.file("book.qdl") + " " + dir.file("b." + kind), dir).status, 0);
    EXPECT_EQ(readBytes(dir.file("a." + kind)), readBytes(dir.file("b." + kind))) << kind;
  }
  EXPECT_EQ(readBytes(dir.file("a.sdr")), kBook.substr(0, kBook.size() - 1) + "\r\n");
}

TEST(Cli, unreadableInputReportsAndLeavesTheOutputAlone) {
  TempDir dir;
  writeBytes(dir.file("out.txt"), "previous");
  const CliRun run = runCli("export pos " + dir.file("missing.sdr") + " " + dir.file("out.txt"), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("File not found"), std::string::npos) << run.errors;
  EXPECT_EQ(readBytes(dir.file("out.txt")), "previous");
}

TEST(Cli, unwritableOutputReportsAndLeavesNothingHalfWritten) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  const CliRun run = runCli("export sdr " + dir.file("book.sdr") + " " + dir.file("no/out.sdr"), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("File not found"), std::string::npos) << run.errors;
  const CliRun full = runCli("export sdr " + dir.file("book.sdr") + " /dev/full", dir);
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.errors.find("Disk full"), std::string::npos) << full.errors;
}

TEST(Cli, messagesNameTheFileAndGiveTheSystemsReason) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  std::filesystem::create_symlink("loop", dir.file("loop"));
  const struct {
    std::string args;
    std::string message;
  } cases[] = {
      {"export pos " + dir.file("none.sdr") + " " + dir.file("o.txt"),
       dir.file("none.sdr") + ": File not found (No such file or directory)"},
      {"export pos " + dir.file("book.sdr") + " /proc/version",
       "/proc/version: File access denied (Permission denied)"},
      {"export pos " + dir.file("book.sdr") + " " + dir.file("loop"),
       dir.file("loop") + ": I/O error 1040 (Too many levels of symbolic links)"},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli(c.args, dir);
    EXPECT_EQ(run.status, 1) << c.args;
    EXPECT_EQ(run.errors, "quillmar-cli: " + c.message + "\n");
  }
}

TEST(Cli, namedPipeAsInputIsReadOnce) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(
        shell("rm -f in.sdr && mkfifo in.sdr && (cat book.sdr > in.sdr &) && $CLI export sdr in.sdr out.sdr", dir), 0);
    EXPECT_EQ(readBytes(dir.file("out.sdr")), kBook.substr(0, kBook.size() - 1) + "\r\n");
  }
}

TEST(Cli, interruptedExportLeavesTheOutputAsItWas) {
  for (const bool hardLinked : {false, true}) {
    TempDir dir;
    writeBytes(dir.file("book.sdr"), kBook);
    writeBytes(dir.file("out.sdr"), "previous");
    if (hardLinked) std::filesystem::create_hard_link(dir.file("out.sdr"), dir.file("other.sdr"));
    const std::vector<std::string> before = namesIn(dir);
    // The pipe opens for writing once the tool reads it, and OUT is prepared by then.
    const int status = shell(
        "mkfifo in.sdr && ($CLI export sdr in.sdr out.sdr & echo $! > pid) && exec 3>in.sdr && "
        "cat book.sdr >&3 && sleep 0.2 && kill -TERM $(cat pid) && sleep 0.2 && rm pid in.sdr",
        dir);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(dir.file("out.sdr")), "previous") << hardLinked;
    EXPECT_EQ(namesIn(dir), before) << hardLinked;
  }
}

TEST(Cli, outputThatIsTheInputIsRefusedWhateverItsName) {
  for (const std::string kind : {"export captions", "export obs", "export pos", "export sdr", "export qdl",
                                 "export gpkg", "compute", "adjust"}) {
    TempDir dir;
    writeBytes(dir.file("book.sdr"), kBook);
    ASSERT_EQ(runCli("export qdl book.sdr book.qdl", dir).status, 0);
    const std::string records = readBytes(dir.file("book.qdl"));
    std::filesystem::create_symlink("book.sdr", dir.file("link.txt"));
    std::filesystem::create_hard_link(dir.file("book.qdl"), dir.file("hard.qdl"));
    for (const auto& [in, out] : {std::pair{"book.sdr", "book.sdr"},
                                  {"book.sdr", "./book.sdr"},
                                  {"book.sdr", "link.txt"},
                                  {"book.qdl", "hard.qdl"}}) {
      const CliRun run = runCli(kind + " " + in + " " + out, dir);
      EXPECT_EQ(run.status, 2) << kind << " " << in << " " << out;
      EXPECT_NE(run.errors.find(out), std::string::npos) << run.errors;
      EXPECT_NE(run.errors.find(std::string("input file ") + in), std::string::npos) << run.errors;
    }
    EXPECT_EQ(readBytes(dir.file("book.sdr")), kBook) << kind;
    EXPECT_EQ(readBytes(dir.file("book.qdl")), records) << kind;
  }
}

// What is amiss in IN is said once on stderr; the records go out all the same.
TEST(Cli, inputFaultsAreSaidOnceAndTheRecordsStillExported) {
  TempDir dir;
  writeBytes(dir.file("book.sdr"), kBook);
  ASSERT_EQ(runCli("export qdl book.sdr book.qdl", dir).status, 0);
  const std::string records = readBytes(dir.file("book.qdl"));
  writeBytes(dir.file("tail.qdl"), records + std::string(100, '\0'));
  std::string oversized = records;
  oversized[7] = static_cast<char>(200);
  writeBytes(dir.file("oversized.qdl"), oversized);
  writeBytes(dir.file("table.csv"), "Pt,N,E,Z\r\n1,100.0,200.0,10.0\r\n2,110.0,210.0,11.0\r\n");
  const struct {
    std::string in;
    std::string said;
  } cases[] = {
      {"tail.qdl", std::string("в конце файла 100 байт, не составляющих записи"_w)},
      {"oversized.qdl", std::string("в записи 1 длина поля больше допустимой"_w)},
      {"table.csv", std::string("ни одна его строка не является записью SDR"_w)},
      {"book.qdl", ""},
      {"book.sdr", ""},
  };
  for (const auto& c : cases) {
    const CliRun run = runCli("export sdr " + c.in + " out.sdr", dir);
    EXPECT_EQ(run.status, 0) << c.in;
    if (c.said.empty()) {
      EXPECT_EQ(run.errors, "") << c.in;
      continue;
    }
    const std::string& said = c.said;
    EXPECT_EQ(run.errors.rfind("quillmar-cli: " + c.in + ": " + said, 0), 0u) << c.in << ": " << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
  }
  EXPECT_EQ(readBytes(dir.file("out.sdr")), kBook.substr(0, kBook.size() - 1) + "\r\n");
}

TEST(Cli, helpAndVersionGoToStandardOutput) {
  TempDir dir;
  for (const std::string flag : {"--help", "-h"}) {
    EXPECT_EQ(shell("$CLI " + flag + " > out.txt 2>err.txt", dir), 0);
    EXPECT_NE(readBytes(dir.file("out.txt")).find("quillmar-cli export"), std::string::npos) << flag;
    EXPECT_EQ(readBytes(dir.file("err.txt")), "") << flag;
  }
  EXPECT_EQ(shell("$CLI --version > out.txt", dir), 0);
  EXPECT_EQ(readBytes(dir.file("out.txt")).rfind("quillmar-cli ", 0), 0u);
}

TEST(Cli, usageErrorsExitWithTwo) {
  TempDir dir;
  EXPECT_EQ(runCli("", dir).status, 2);
  EXPECT_EQ(runCli("export", dir).status, 2);
  EXPECT_EQ(runCli("export xml a b", dir).status, 2);
  EXPECT_EQ(runCli("export pos a", dir).status, 2);
  EXPECT_EQ(runCli("frobnicate", dir).status, 2);
}

}  // namespace
}  // namespace quillmar
