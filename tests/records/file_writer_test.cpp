// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>

#include "records/file_writer.h"
#include "records/io_error.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/temp_dir.h"

namespace quillmar {
namespace {

using testing::FileSizeLimit;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::size_t entriesIn(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

mode_t permissionsOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// What a whole write leaves: the file with "new" in it, 0640, alone in its folder.
void expectNewFileAlone(const TempDir& dir, const std::string& path) {
  EXPECT_EQ(readBytes(path), "new");
  EXPECT_EQ(permissionsOf(path), 0640u);
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(FileWriter, replacesTheFileAndKeepsItsPermissions) {
  TempDir dir;
  const std::string path = dir.file("doc.qdl");
  writeBytes(path, "old contents");
  chmod(path.c_str(), 0640);
  writeWholeFile(path, "new");
  expectNewFileAlone(dir, path);
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

TEST(FileWriter, linksAreFollowedAsAPlainOpenWould) {
  TempDir dir;
  std::filesystem::create_symlink("made-by-save.qdl", dir.file("dangling.qdl"));
  writeWholeFile(dir.file("dangling.qdl"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("dangling.qdl")));
  EXPECT_EQ(readBytes(dir.file("made-by-save.qdl")), "new");

  std::filesystem::create_symlink("loop-b", dir.file("loop-a"));
  std::filesystem::create_symlink("loop-a", dir.file("loop-b"));
  try {
    writeWholeFile(dir.file("loop-a"), "x");
    FAIL();
  } catch (const IoError& e) {
    EXPECT_EQ(describeWithReason(e), "I/O error 1040 (Too many levels of symbolic links)");
  }
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("loop-a")));
}

TEST(FileWriter, newFileTakesTheUsualModeAndAnyNameTheFileSystemTakes) {
  TempDir dir;
  const mode_t mask = umask(027);
  const std::string longest = dir.file(std::string(255, 'n'));
  writeWholeFile(longest, "new");
  umask(mask);
  expectNewFileAlone(dir, longest);
}

TEST(FileWriter, replacedFileKeepsOwnerGroupAndExtendedAttributes) {
  TempDir dir;
  const std::string path = dir.file("doc.qdl");
  writeBytes(path, "old");
  if (setxattr(path.c_str(), "user.origin", "field", 5, 0) != 0) GTEST_SKIP() << "no user attributes here";
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
  }
  writeWholeFile(path, "new");
  char value[16] = {};
  EXPECT_EQ(getxattr(path.c_str(), "user.origin", value, sizeof value), 5);
  EXPECT_STREQ(value, "field");
  struct stat st {};
  stat(path.c_str(), &st);
  if (root) {
    EXPECT_EQ(st.st_uid * 10000 + st.st_gid, 4321u * 10000 + 4322u);
  }
}

TEST(FileWriter, hardLinkedFileKeepsItsLinksAndFailedOrAbandonedWritesLeaveItAsItWas) {
  TempDir dir;
  const std::string path = dir.file("doc.qdl");
  const std::string other = dir.file("other-name.qdl");
  writeBytes(path, "old");
  std::filesystem::create_hard_link(path, other);
  writeWholeFile(path, "new");
  EXPECT_EQ(readBytes(other), "new");
  {
    FileSizeLimit limit(4096);
    EXPECT_THROW(writeWholeFile(path, std::string(3 << 20, 'x')), IoError);
  }
  {
    FileWriter interrupted(path);
    interrupted.write(std::string(2 << 20, 'y'));
    abandonWriteInProgress();  // what the command-line tool's signal handler does
    EXPECT_EQ(readBytes(other), "new");
  }
  EXPECT_EQ(readBytes(other), "new");
  EXPECT_EQ(std::filesystem::hard_link_count(path), 2u);
  EXPECT_EQ(entriesIn(dir.path()), 2u);
}

}  // namespace
}  // namespace quillmar
