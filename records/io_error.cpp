// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/io_error.h"

#include <cerrno>
#include <cstring>

namespace quillmar {

std::string ioErrorText(int code) {
  switch (code) {
    case io_code::kFileNotFound: return "File not found";
    case io_code::kInvalidFilename: return "Invalid filename";
    case io_code::kTooManyOpenFiles: return "Too many open files";
    case io_code::kAccessDenied: return "File access denied";
    case io_code::kReadBeyondEnd: return "Read beyond end of file";
    case io_code::kDiskFull: return "Disk full";
    case io_code::kInvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

std::string IoError::systemReason() const { return errno_ == 0 ? std::string() : std::strerror(errno_); }

std::string describeWithReason(const IoError& error) {
  const std::string reason = error.systemReason();
  return reason.empty() ? error.what() : std::string(error.what()) + " (" + reason + ")";
}

int ioCodeFromErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return io_code::kFileNotFound;
    case ENAMETOOLONG: return io_code::kInvalidFilename;
    case EMFILE:
    case ENFILE: return io_code::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY: return io_code::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return io_code::kDiskFull;
    case EIO:
      return 21;  // the device is not ready: a pulled stick or cable
    // Offset so that an unexpected errno never reads as one of the codes above.
    default: return 1000 + err;
  }
}

}  // namespace quillmar
