// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/instrument/instrument.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "records/text_lines.h"

namespace quillmar::instrument {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kEndLine = "\x03\r\n";

bool writeFully(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      ::poll(&p, 1, 100);
      continue;
    }
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Waits for input; false on silence for `timeout` or a failed link.
bool waitReadable(int fd, std::chrono::milliseconds timeout) {
  pollfd p{fd, POLLIN, 0};
  for (;;) {
    const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0 && (p.revents & POLLIN) != 0;
  }
}

// Appends what can be read now; false when the link has failed.
bool readAvailable(int fd, std::string& out) {
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out.append(chunk, static_cast<std::size_t>(n));
    return true;
  }
}

class PacedWriter {
 public:
  PacedWriter(int fd, int baud) : fd_(fd), baud_(baud), start_(Clock::now()) {}

  bool write(std::string_view bytes) {
    if (baud_ <= 0) return writeFully(fd_, bytes);
    // About 10 ms worth of bytes per write keeps the bytes of a line well
    // inside one burst.
    const std::size_t slice = std::max<std::size_t>(1, static_cast<std::size_t>(baud_) / 1000);
    while (!bytes.empty()) {
      const std::string_view piece = bytes.substr(0, slice);
      if (!writeFully(fd_, piece)) return false;
      bytes.remove_prefix(piece.size());
      sent_ += piece.size();
      std::this_thread::sleep_until(start_ + paused_ + byteTimes(sent_));
    }
    return true;
  }

  void pause(std::chrono::milliseconds length) {
    std::this_thread::sleep_for(length);
    paused_ += length;
  }

 private:
  std::chrono::microseconds byteTimes(std::size_t count) const {
    return std::chrono::microseconds(static_cast<long long>(count) * 10'000'000LL / baud_);
  }

  int fd_;
  int baud_;
  Clock::time_point start_;
  std::chrono::microseconds paused_{0};
  std::size_t sent_ = 0;
};

}  // namespace

std::string framedFieldBook(std::string_view sdrText) {
  std::string out = "\x02\r\n";
  forEachTextLineIn(sdrText, [&out](std::string_view line) {
    if (line.empty()) return;
    out.append(line);
    out.append("\r\n");
  });
  out.append(kEndLine);
  return out;
}

bool sendPaced(int fd, std::string_view bytes, const Pacing& pacing) {
  PacedWriter writer(fd, pacing.baud);
  std::size_t lines = 0;
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    const std::string_view line = bytes.substr(0, lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (!writer.write(line)) return false;
    bytes.remove_prefix(line.size());
    ++lines;
    if (pacing.pauseAfterLines > 0 && lines % pacing.pauseAfterLines == 0 && !bytes.empty()) {
      writer.pause(pacing.pause);
    }
  }
  return true;
}

Capture captureUntilEtx(int fd, std::chrono::milliseconds timeout) {
  Capture capture;
  while (waitReadable(fd, timeout)) {
    const std::size_t searchFrom = capture.bytes.size() < 2 ? 0 : capture.bytes.size() - 2;
    if (!readAvailable(fd, capture.bytes)) break;
    const std::size_t end = capture.bytes.find(kEndLine, searchFrom);
    if (end != std::string::npos) {
      capture.bytes.resize(end + kEndLine.size());
      capture.complete = true;
      break;
    }
  }
  return capture;
}

std::string readUntilQuiet(int fd, std::chrono::milliseconds quiet) {
  std::string bytes;
  while (waitReadable(fd, quiet) && readAvailable(fd, bytes)) {
  }
  return bytes;
}

}  // namespace quillmar::instrument
