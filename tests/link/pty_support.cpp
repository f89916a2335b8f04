// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace quillmar::test {
namespace {

constexpr speed_t kUnopenedSpeed = B50;

class PortSide {
 public:
  explicit PortSide(const PtyPair& pty) : fd_(::open(pty.portPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + pty.portPath());
  }
  ~PortSide() { ::close(fd_); }
  PortSide(const PortSide&) = delete;
  PortSide& operator=(const PortSide&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

termios portSettings(const PtyPair& pty) {
  termios settings{};
  ::tcgetattr(pty.instrumentFd(), &settings);
  return settings;
}

void setPortSettings(const PtyPair& pty, const termios& settings) {
  PortSide side(pty);
  ::tcsetattr(side.fd(), TCSANOW, &settings);
}

void markUnopened(const PtyPair& pty) {
  termios settings = portSettings(pty);
  ::cfsetspeed(&settings, kUnopenedSpeed);
  setPortSettings(pty, settings);
}

bool waitUntilConfigured(const PtyPair& pty) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    const termios settings = portSettings(pty);
    if (::cfgetospeed(&settings) != kUnopenedSpeed) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

void sendFromInstrument(const PtyPair& pty, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(pty.instrumentFd(), bytes.data(), bytes.size());
    if (n <= 0) throw std::runtime_error("the instrument cannot send");
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string unreadPortBytes(const PtyPair& pty) {
  PortSide side(pty);
  std::string bytes;
  char chunk[256];
  for (ssize_t n; (n = ::read(side.fd(), chunk, sizeof chunk)) > 0;) bytes.append(chunk, static_cast<std::size_t>(n));
  return bytes;
}

}  // namespace quillmar::test
