// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_parameters.h"

#include <array>
#include <charconv>

namespace quillmar {
namespace {

enum class Setting { Baud, DataBits, StopBits, Parity };

struct RecognisedText {
  Setting setting;
  std::string_view text;
  int value;  // baud rate, data bits, StopBits or Parity
  bool reception;
  bool upload;
};

constexpr std::array<RecognisedText, 19> kRecognisedTexts{{
    {Setting::Baud, "300", 300, true, true},
    {Setting::Baud, "600", 600, true, true},
    {Setting::Baud, "1200", 1200, true, true},
    {Setting::Baud, "2400", 2400, true, true},
    {Setting::Baud, "4800", 4800, true, true},
    {Setting::Baud, "9600", 9600, true, true},
    {Setting::Baud, "19200", 19200, true, true},
    {Setting::Baud, "38400", 38400, true, true},
    {Setting::Baud, "57600", 57600, true, true},
    {Setting::Baud, "115200", 115200, true, true},
    {Setting::DataBits, "8", 8, true, true},
    {Setting::DataBits, "7", 7, true, true},
    {Setting::Parity, "NOPARITY", static_cast<int>(Parity::None), true, true},
    {Setting::Parity, "EVENPARITY", static_cast<int>(Parity::Even), true, true},
    {Setting::Parity, "ODDPARITY", static_cast<int>(Parity::Odd), true, true},
    {Setting::Parity, "MARKPARITY", static_cast<int>(Parity::Mark), true, true},
    // Typed only; reception takes it as no parity, as the instruments send.
    {Setting::Parity, "PARITY", static_cast<int>(Parity::None), true, false},
    {Setting::StopBits, "ONESTOPBIT", static_cast<int>(StopBits::One), true, true},
    // Both ways: whoever chooses two stop bits expects them on upload too.
    {Setting::StopBits, "TWOSTOPBIT", static_cast<int>(StopBits::Two), true, true},
}};

std::optional<int> lookUp(Setting setting, std::string_view text, LinkDirection direction) {
  for (const RecognisedText& entry : kRecognisedTexts) {
    const bool known = direction == LinkDirection::Reception ? entry.reception : entry.upload;
    if (known && entry.setting == setting && entry.text == text) return entry.value;
  }
  return std::nullopt;
}

constexpr std::array<std::pair<FlowChoice, std::string_view>, 3> kFlowWords{{
    {FlowChoice::None, "none"},
    {FlowChoice::RtsCts, "rtscts"},
    {FlowChoice::XonXoff, "xonxoff"},
}};

}  // namespace

std::string_view flowChoiceWord(FlowChoice choice) {
  for (const auto& [each, word] : kFlowWords) {
    if (each == choice) return word;
  }
  return {};
}

std::optional<FlowChoice> flowChoiceOfWord(std::string_view word) {
  for (const auto& [choice, each] : kFlowWords) {
    if (each == word) return choice;
  }
  return std::nullopt;
}

std::optional<int> linePauseOfText(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < kLinePauseMinMs || value > kLinePauseMaxMs) return std::nullopt;
  return value;
}

PortParameters recognisedParameters(const CommSettings& settings, LinkDirection direction, FlowChoice flow) {
  PortParameters parameters;
  parameters.baudRate = lookUp(Setting::Baud, settings.baudText, direction);
  parameters.dataBits = lookUp(Setting::DataBits, settings.byteSizeText, direction);
  if (const auto stop = lookUp(Setting::StopBits, settings.stopBitText, direction)) {
    parameters.stopBits = static_cast<StopBits>(*stop);
  }
  if (const auto parity = lookUp(Setting::Parity, settings.parityText, direction)) {
    parameters.parity = static_cast<Parity>(*parity);
  }
  switch (flow) {
    case FlowChoice::None: break;
    case FlowChoice::RtsCts: parameters.flowControl = FlowControl::Hardware; break;
    case FlowChoice::XonXoff: parameters.flowControl = FlowControl::Software; break;
  }
  return parameters;
}

}  // namespace quillmar
