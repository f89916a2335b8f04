#include "link/port_parameters.h"

#include <array>
#include <string_view>

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

constexpr std::array<RecognisedText, 12> kRecognisedTexts{{
    {Setting::Baud, "1200", 1200, true, true},
    {Setting::Baud, "2400", 2400, true, true},
    {Setting::Baud, "4800", 4800, true, true},
    {Setting::Baud, "9600", 9600, true, true},
    {Setting::Baud, "19200", 19200, true, true},
    {Setting::Baud, "38400", 38400, true, true},
    {Setting::DataBits, "8", 8, true, true},
    {Setting::DataBits, "7", 7, true, true},
    {Setting::Parity, "NOPARITY", static_cast<int>(Parity::None), true, true},
    // Typed only; reception takes it as no parity, as the instruments send.
    {Setting::Parity, "PARITY", static_cast<int>(Parity::None), true, false},
    {Setting::StopBits, "ONESTOPBIT", static_cast<int>(StopBits::One), true, true},
    // Typed only, and only reception knows it.
    {Setting::StopBits, "TWOSTOPBIT", static_cast<int>(StopBits::Two), true, false},
}};

std::optional<int> lookUp(Setting setting, std::string_view text, LinkDirection direction) {
  for (const RecognisedText& entry : kRecognisedTexts) {
    const bool known = direction == LinkDirection::Reception ? entry.reception : entry.upload;
    if (known && entry.setting == setting && entry.text == text) return entry.value;
  }
  return std::nullopt;
}

}  // namespace

PortParameters recognisedParameters(const CommSettings& settings, LinkDirection direction) {
  PortParameters parameters;
  parameters.baudRate = lookUp(Setting::Baud, settings.baudText, direction);
  parameters.dataBits = lookUp(Setting::DataBits, settings.byteSizeText, direction);
  if (const auto stop = lookUp(Setting::StopBits, settings.stopBitText, direction)) {
    parameters.stopBits = static_cast<StopBits>(*stop);
  }
  if (const auto parity = lookUp(Setting::Parity, settings.parityText, direction)) {
    parameters.parity = static_cast<Parity>(*parity);
  }
  return parameters;
}

}  // namespace quillmar
