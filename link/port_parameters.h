// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which settings texts a transfer direction recognises, and what they set.
// A text that matches nothing (exactly, case-sensitively) leaves that port
// parameter as the port had it. Flow control and the pause after each
// uploaded line are not among the five texts: they are chosen apart from
// them (LinkPacing) and kept in the program's settings file.

#include <optional>
#include <string_view>

#include "link/comm_settings.h"

namespace quillmar {

enum class LinkDirection { Reception, Upload };

enum class StopBits { One, Two };
enum class Parity { None, Even, Odd, Mark };
enum class FlowControl { Hardware, Software };

struct PortParameters {
  std::optional<int> baudRate;
  std::optional<int> dataBits;
  std::optional<StopBits> stopBits;
  std::optional<Parity> parity;
  std::optional<FlowControl> flowControl;

  bool operator==(const PortParameters&) const = default;
};

// "Нет" leaves the port's flow control as it is; the other two replace it.
enum class FlowChoice { None, RtsCts, XonXoff };

struct LinkPacing {
  FlowChoice flow = FlowChoice::None;
  int linePauseMs = 0;  // after each uploaded line, kLinePauseMinMs..kLinePauseMaxMs

  bool operator==(const LinkPacing&) const = default;
};

inline constexpr int kLinePauseMinMs = 0;
inline constexpr int kLinePauseMaxMs = 1000;

// The word of a choice in quillmar.conf and on quillmar-cli's command line:
// "none", "rtscts", "xonxoff".
std::string_view flowChoiceWord(FlowChoice choice);
std::optional<FlowChoice> flowChoiceOfWord(std::string_view word);

// The pause of a number text, or nothing when it is not a whole number of
// milliseconds within the range.
std::optional<int> linePauseOfText(std::string_view text);

PortParameters recognisedParameters(const CommSettings& settings, LinkDirection direction,
                                    FlowChoice flow = FlowChoice::None);

}  // namespace quillmar
