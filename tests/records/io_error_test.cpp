// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/io_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace quillmar {
namespace {

// What a failed system call shows: its errno, the code, the code's text.
TEST(IoError, eachErrnoShowsItsText) {
  const struct {
    int err;
    int code;
    const char* text;
  } cases[] = {
      {ENOENT, 2, "File not found"},      {ENOTDIR, 2, "File not found"},     {ENAMETOOLONG, 3, "Invalid filename"},
      {EMFILE, 4, "Too many open files"}, {ENFILE, 4, "Too many open files"}, {EACCES, 5, "File access denied"},
      {EPERM, 5, "File access denied"},   {EISDIR, 5, "File access denied"},  {EROFS, 5, "File access denied"},
      {ETXTBSY, 5, "File access denied"}, {ENOSPC, 101, "Disk full"},         {EDQUOT, 101, "Disk full"},
      {EFBIG, 101, "Disk full"},          {EIO, 21, "I/O error 21"},          {EBUSY, 1000 + EBUSY, nullptr},
  };
  for (const auto& c : cases) {
    const IoError error = IoError::fromErrno(c.err);
    EXPECT_EQ(error.code(), c.code) << c.err;
    const std::string text = c.text != nullptr ? c.text : "I/O error " + std::to_string(c.code);
    EXPECT_EQ(error.what(), text) << c.err;
  }
}

TEST(IoError, codesWithoutErrnoShowTheirText) {
  EXPECT_STREQ(IoError(io_code::kReadBeyondEnd).what(), "Read beyond end of file");
  EXPECT_STREQ(IoError(io_code::kInvalidNumericInput).what(), "Invalid numeric input");
  EXPECT_STREQ(IoError(io_code::kFileNotOpen).what(), "I/O error 103");
}

}  // namespace
}  // namespace quillmar
