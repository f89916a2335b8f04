// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/instrument/pty_pair.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace quillmar::instrument {

PtyPair::PtyPair() {
  char name[256] = {};
  if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
    throw std::system_error(errno, std::generic_category(), "openpty");
  }
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
  termios tio{};
  ::tcgetattr(slave_, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slave_, TCSANOW, &tio);
  portPath_ = name;
}

PtyPair::~PtyPair() {
  closeInstrumentSide();
  if (slave_ >= 0) ::close(slave_);
}

void PtyPair::closeInstrumentSide() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

}  // namespace quillmar::instrument
