// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Large, realistic SDR field books for benchmarks and stress tests: set-ups
// of a station, backsight and target height followed by face-left and
// face-right observations and the coordinates of each target, with notes,
// atmosphere readings and levelling runs in between. Deterministic by seed.

#include <cstdint>
#include <string>

namespace quillmar::tools {

enum class Layout { Sdr3x, Sdr2x };

struct FieldBookOptions {
  Layout layout = Layout::Sdr3x;
  std::size_t records = 10000;
  std::uint64_t seed = 1;
  // The share of targets whose coordinates follow their observations; the
  // others are left for the computation of coordinates. At 1 the book is
  // what it always was.
  double recordedTargets = 1.0;
};

// The whole field book text, CR LF line ends, header record first.
std::string generateFieldBook(const FieldBookOptions& options);

}  // namespace quillmar::tools
