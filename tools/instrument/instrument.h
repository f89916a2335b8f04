// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an instrument does on the link: it sends a field book framed by
// STX CR LF and ETX CR LF at the pace of its baud rate, and it takes an
// uploaded field book up to its ETX.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillmar::instrument {

// The non-empty lines of an SDR text, each ending in CR LF, framed.
std::string framedFieldBook(std::string_view sdrText);

struct Pacing {
  int baud = 0;                     // 0: as fast as the link takes it
  std::size_t pauseAfterLines = 0;  // 0: no pauses
  std::chrono::milliseconds pause{0};
};

// Writes all bytes; a byte takes 10 bit times (start, 8 data, stop).
// Returns false when the link fails.
bool sendPaced(int fd, std::string_view bytes, const Pacing& pacing);

struct Capture {
  std::string bytes;
  bool complete = false;  // ETX and its CR LF arrived
};

// Reads until ETX followed by CR LF, until `timeout` passes without a byte,
// or until the link fails.
Capture captureUntilEtx(int fd, std::chrono::milliseconds timeout);

// Everything that arrives until `quiet` passes without a byte.
std::string readUntilQuiet(int fd, std::chrono::milliseconds quiet);

}  // namespace quillmar::instrument
