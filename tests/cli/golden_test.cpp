// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/temp_dir.h"

// Each book of examples/ beside the exports it must give, as
// tests/golden/<book>/<kind>.<extension>; any change of a layout, a caption
// or a writer shows up here as a changed byte.

namespace quillmar {
namespace {

using testing::readBytes;
using testing::TempDir;

struct Output {
  const char* kind;
  const char* file;
};

constexpr Output kOutputs[] = {
    {"captions", "captions.txt"}, {"obs", "obs.txt"}, {"pos", "pos.txt"}, {"sdr", "sdr.sdr"}, {"qdl", "qdl.qdl"},
};

class GoldenBook : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenBook, exportsEqualTheirExpectedFiles) {
  const std::string book = GetParam();
  const std::string input = std::string(QUILLMAR_SOURCE_DIR) + "/examples/" + book + ".sdr";
  const std::string expected = std::string(QUILLMAR_SOURCE_DIR) + "/tests/golden/" + book + "/";
  TempDir dir;
  for (const Output& output : kOutputs) {
    const std::string written = dir.file(output.file);
    const std::string command = std::string(QUILLMAR_CLI) + " export " + output.kind + " " + input + " " + written;
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    const std::string wanted = readBytes(expected + output.file);
    ASSERT_FALSE(wanted.empty()) << expected + output.file;
    EXPECT_EQ(readBytes(written), wanted) << book << " " << output.kind;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenBook, ::testing::Values("traverse-sdr33", "level-and-triangulation-sdr20"));

}  // namespace
}  // namespace quillmar
