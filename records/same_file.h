// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether two names lead to one file: the same device and inode once symbolic
// links are followed, so that a hard link, a link or another spelling of the
// input's name is caught as well as the name itself.

#include <string>

namespace quillmar {

// False when either name leads to no file (nothing exists to be written over).
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace quillmar
