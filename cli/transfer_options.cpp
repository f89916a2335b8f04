// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/transfer_options.h"

#include <algorithm>

namespace quillmar::cli {
namespace {

// Empty when the option is taken, otherwise why not.
std::string setOption(TransferOptions& options, const std::string& flag, const std::string& value,
                      LinkDirection direction) {
  const std::string refused = "unknown " + flag + " value: " + value;
  if (flag == "--baud") {
    options.settings.baudText = value;
  } else if (flag == "--bits") {
    options.settings.byteSizeText = value;
  } else if (flag == "--stop") {
    options.settings.stopBitText = value;
  } else if (flag == "--parity") {
    options.settings.parityText = value;
  } else if (flag == "--flow") {
    const auto flow = flowChoiceOfWord(value);
    if (!flow) return refused;
    options.pacing.flow = *flow;
  } else if (flag == "--line-pause" && direction == LinkDirection::Upload) {
    const auto pause = linePauseOfText(value);
    if (!pause) return refused;
    options.pacing.linePauseMs = *pause;
  } else if (flag == "--timeout") {
    options.timeout = timeoutOfText(value);
    if (!options.timeout) return refused;
    options.timeoutText = value;
  } else {
    return "unknown option: " + flag;
  }
  return {};
}

// A setting text that the direction does not recognise would leave the
// port's own setting in force.
std::string unknownSettingText(const TransferOptions& options, LinkDirection direction) {
  const PortParameters recognised = recognisedParameters(options.settings, direction);
  const std::pair<bool, std::string> checks[] = {
      {recognised.baudRate.has_value(), "--baud value: " + options.settings.baudText},
      {recognised.dataBits.has_value(), "--bits value: " + options.settings.byteSizeText},
      {recognised.stopBits.has_value(), "--stop value: " + options.settings.stopBitText},
      {recognised.parity.has_value(), "--parity value: " + options.settings.parityText},
  };
  for (const auto& [known, what] : checks) {
    if (!known) return "unknown " + what;
  }
  return {};
}

}  // namespace

std::variant<TransferOptions, std::string> parseTransferOptions(const std::vector<std::string>& args,
                                                                LinkDirection direction) {
  if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--")) {
    return std::string(args.size() < 2 ? "PORT and a file are needed" : "PORT and the file come first");
  }
  TransferOptions options;
  options.port = args[0];
  options.path = args[1];
  options.settings.portText = args[0];
  std::vector<std::string> seen;
  for (std::size_t i = 2; i < args.size(); i += 2) {
    const std::string& flag = args[i];
    if (i + 1 >= args.size()) return flag + " needs a value";
    if (std::find(seen.begin(), seen.end(), flag) != seen.end()) return flag + " is given twice";
    seen.push_back(flag);
    if (std::string why = setOption(options, flag, args[i + 1], direction); !why.empty()) return why;
  }
  if (std::string why = unknownSettingText(options, direction); !why.empty()) return why;
  return options;
}

}  // namespace quillmar::cli
