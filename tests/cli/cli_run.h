// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// quillmar-cli run through the shell, as a user would, for the command-line tests.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace quillmar::testing {

// The exit status of a shell command; -1 when a signal ended it.
inline int shellStatus(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

struct CliRun {
  int status = -1;
  std::string errors;  // what it wrote on stderr
};

// Runs quillmar-cli with `args` (shell words) in `dir`. Its stderr is caught
// in a file there, gone again when it returns.
inline CliRun runCli(const std::string& args, const TempDir& dir) {
  const std::string errFile = dir.file("stderr.txt");
  CliRun run;
  run.status = shellStatus("cd '" + dir.path().string() + "' && " + QUILLMAR_CLI + " " + args + " 2>'" + errFile + "'");
  run.errors = readBytes(errFile);
  std::filesystem::remove(errFile);
  return run;
}

}  // namespace quillmar::testing
