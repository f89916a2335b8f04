// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File failures carry the run-time's error code; the windows and the
// command-line tool show its text ("File not found", "Disk full", ...).

#include <stdexcept>
#include <string>

namespace quillmar {

namespace io_code {
inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFilename = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kFileNotOpen = 103;
inline constexpr int kReadBeyondEnd = 100;
inline constexpr int kDiskFull = 101;
inline constexpr int kInvalidNumericInput = 106;
}  // namespace io_code

// The message text for a code, in the program's own (English) words.
std::string ioErrorText(int code);

// The code for a failed system call's errno.
int ioCodeFromErrno(int err);

class IoError : public std::runtime_error {
 public:
  explicit IoError(int code, int systemErrno = 0)
      : std::runtime_error(ioErrorText(code)), code_(code), errno_(systemErrno) {}
  int code() const { return code_; }
  // The system's own words for the failure ("File exists"), or empty when
  // the failure did not come from a system call.
  std::string systemReason() const;

  static IoError fromErrno(int err) { return IoError(ioCodeFromErrno(err), err); }

 private:
  int code_;
  int errno_;
};

// "File access denied (Permission denied)": the run-time text followed by
// the system's reason, for messages that a person reads in a terminal.
std::string describeWithReason(const IoError& error);

}  // namespace quillmar
