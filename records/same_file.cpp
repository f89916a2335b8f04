// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/same_file.h"

#include <sys/stat.h>

namespace quillmar {

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace quillmar
