#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "records/file_writer.h"
#include "records/io_error.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::FileSizeLimit;
using testing::writeBytes;

std::size_t entriesIn(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(FileWriter, replacesTheFileAndKeepsItsPermissions) {
  TempDir dir;
  const std::string path = dir.file("doc.qdl");
  writeBytes(path, "old contents");
  chmod(path.c_str(), 0640);
  writeWholeFile(path, "new");
  EXPECT_EQ(readBytes(path), "new");
  struct stat st {};
  stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(FileWriter, failedWriteKeepsThePreviousFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.file("doc.qdl");
  writeBytes(path, "precious field work");
  {
    FileSizeLimit limit(4096);
    try {
      writeWholeFile(path, std::string(3 << 20, 'x'));
      FAIL();
    } catch (const IoError& e) {
      EXPECT_EQ(e.code(), 101);
      EXPECT_STREQ(e.what(), "Disk full");
    }
  }
  EXPECT_EQ(readBytes(path), "precious field work");
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(FileWriter, uncommittedWriterLeavesNothingBehind) {
  TempDir dir;
  {
    FileWriter out(dir.file("new.txt"));
    out.write("half");
  }
  EXPECT_EQ(entriesIn(dir.path()), 0u);
}

TEST(FileWriter, deviceTargetIsWrittenInPlace) {
  try {
    writeWholeFile("/dev/full", "x");
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 101);
  }
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(FileWriter, badTargetsReportTheirCause) {
  TempDir dir;
  const struct {
    std::string path;
    int code;
  } cases[] = {
      {dir.file("no-such-dir/out.txt"), 2},
      {dir.path().string(), 5},
      {dir.file(std::string(300, 'n')), 3},
  };
  for (const auto& c : cases) {
    try {
      writeWholeFile(c.path, "x");
      ADD_FAILURE() << c.path;
    } catch (const IoError& e) {
      EXPECT_EQ(e.code(), c.code) << c.path;
    }
  }
}

TEST(FileWriter, readOnlyDirectoryIsAccessDeniedAndKeepsTheFile) {
  TempDir dir;
  const std::string path = dir.file("doc.qdl");
  writeBytes(path, "kept");
  testing::ReadOnlyDir readOnly(dir.path().string());
  if (!readOnly.effective()) GTEST_SKIP() << "this file system cannot stop root";
  try {
    writeWholeFile(path, "new");
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(e.code(), 5);
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_EQ(readBytes(path), "kept");
}

TEST(FileWriter, savingThroughASymlinkReplacesItsTarget) {
  TempDir dir;
  writeBytes(dir.file("real.qdl"), "old");
  std::filesystem::create_symlink(dir.file("real.qdl"), dir.file("link.qdl"));
  writeWholeFile(dir.file("link.qdl"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.qdl")));
  EXPECT_EQ(readBytes(dir.file("real.qdl")), "new");
}

}  // namespace
}  // namespace quillmar
