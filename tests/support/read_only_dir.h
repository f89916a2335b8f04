// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Makes a directory refuse new files, for root too: permission bits stop
// other users, the immutable attribute stops root (where the file system
// has it).

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillmar::testing {

class ReadOnlyDir {
 public:
  explicit ReadOnlyDir(std::string path) : path_(std::move(path)) {
    ::chmod(path_.c_str(), 0555);
    if (::geteuid() == 0) immutable_ = std::system(("chattr +i '" + path_ + "' 2>/dev/null").c_str()) == 0;
  }
  ~ReadOnlyDir() {
    // Left immutable, the directory would outlive its test's temporary folder.
    if (immutable_ && std::system(("chattr -i '" + path_ + "'").c_str()) != 0)
      std::fprintf(stderr, "cannot make %s mutable again\n", path_.c_str());
    ::chmod(path_.c_str(), 0755);
  }
  ReadOnlyDir(const ReadOnlyDir&) = delete;
  ReadOnlyDir& operator=(const ReadOnlyDir&) = delete;

  // False when nothing here can stop this process from writing.
  bool effective() const { return ::geteuid() != 0 || immutable_; }

 private:
  std::string path_;
  bool immutable_ = false;
};

}  // namespace quillmar::testing
