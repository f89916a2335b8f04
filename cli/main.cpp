// quillmar-cli: converts and transfers field books from scripts, on the same
// core as the desktop program.

#include <iostream>
#include <string>
#include <vector>

#include "cli/export_command.h"
#include "cli/transfer_commands.h"

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  quillmar-cli export captions|obs|pos|sdr|qdl IN OUT\n"
    "  quillmar-cli receive PORT OUT [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT] [--timeout SEC]\n"
    "  quillmar-cli send PORT IN [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "export") return quillmar::cli::runExport(args);
  if (command == "receive") return quillmar::cli::runReceive(args);
  if (command == "send") return quillmar::cli::runSend(args);
  std::cerr << kUsage;
  return 2;
}
