// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file opened for reading by its descriptor, closed with the object. Every
// failure throws IoError with the system's error code.

#include <cstddef>
#include <string>

namespace quillmar {

class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  int fd() const { return fd_; }

  // One read of up to `size` bytes; 0 at the end.
  std::size_t readSome(char* buffer, std::size_t size);
  // As many bytes as are there, up to `size`; fewer only at the end.
  std::size_t readFull(char* buffer, std::size_t size);

 private:
  int fd_;
};

}  // namespace quillmar
