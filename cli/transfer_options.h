// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of quillmar-cli receive and send. Unlike the settings
// dialog, the command line refuses a setting text it does not know: a script
// that asks for 12345 baud must not run at the port's own speed.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "link/comm_settings.h"
#include "link/port_parameters.h"
#include "link/transfer_watch.h"

namespace quillmar::cli {

struct TransferOptions {
  std::string port;
  std::string path;
  CommSettings settings = creationCommSettings();
  LinkPacing pacing;
  std::optional<TransferClock::duration> timeout;
  std::string timeoutText;  // as given, for messages
};

// The options, or why they are refused (a usage error).
std::variant<TransferOptions, std::string> parseTransferOptions(const std::vector<std::string>& args,
                                                                LinkDirection direction);

}  // namespace quillmar::cli
