// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillmar::cli {

// quillmar-cli adjust IN OUT [options]; returns the exit status.
int runAdjust(const std::vector<std::string>& args);

}  // namespace quillmar::cli
