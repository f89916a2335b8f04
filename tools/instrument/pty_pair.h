// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A pseudo-terminal pair in raw mode: the program opens the port path (the
// slave side), the instrument's side is the master. The slave stays open
// here as well, so the master keeps working while the program opens and
// closes the port.

#include <string>

namespace quillmar::instrument {

class PtyPair {
 public:
  PtyPair();  // throws std::system_error
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& portPath() const { return portPath_; }
  int instrumentFd() const { return master_; }

  // The instrument goes away: the program's port reports a lost device.
  void closeInstrumentSide();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string portPath_;
};

}  // namespace quillmar::instrument
