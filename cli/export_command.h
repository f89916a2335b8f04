// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillmar::cli {

// quillmar-cli export KIND IN OUT; returns the exit status.
int runExport(const std::vector<std::string>& args);

}  // namespace quillmar::cli
