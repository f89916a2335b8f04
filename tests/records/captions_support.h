// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Record lines and a fresh CaptionState for the caption tests.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "records/make_st.h"
#include "tests/support/record_fields.h"

namespace quillmar::testing {

constexpr std::string_view kCrLf = "\r\n";

inline std::string cat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

// A line of the given length: type and derivation code, blanks, CR LF.
inline std::string blankLine(std::string_view codes, std::size_t textLength) {
  return left(codes, textLength) + std::string(kCrLf);
}

class Captions : public ::testing::Test {
 protected:
  std::string caption(std::string_view line, char version) {
    return MakeSt(state, SurveyRecord::fromLine(line, version));
  }
  std::string sdr3(std::string_view line) { return caption(line, kVersionSdr3); }
  std::string sdr2(std::string_view line) { return caption(line, kVersionSdr2); }

  // A header whose units codes (positions 41-45) are `codes`.
  std::string header(std::string_view codes, char version = kVersionSdr3) {
    return caption(cat({"00NM", left("SDR33 V04-04.02", 16), "0042", left("06-Jan-04 13:45", 16), codes, kCrLf}),
                   version);
  }

  CaptionState state;
};

}  // namespace quillmar::testing
