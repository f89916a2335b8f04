// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "records/io_error.h"

namespace quillmar {

InputFile::InputFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (fd_ < 0) throw IoError::fromErrno(errno);
}

InputFile::~InputFile() { ::close(fd_); }

std::size_t InputFile::readSome(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw IoError::fromErrno(errno);
  }
}

std::size_t InputFile::readFull(char* buffer, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const std::size_t n = readSome(buffer + got, size - got);
    if (n == 0) break;
    got += n;
  }
  return got;
}

}  // namespace quillmar
