#pragma once
// Which settings texts a transfer direction recognises, and what they set.
// A text that matches nothing (exactly, case-sensitively) leaves that port
// parameter as the port had it.

#include <optional>

#include "link/comm_settings.h"

namespace quillmar {

enum class LinkDirection { Reception, Upload };

enum class StopBits { One, Two };
enum class Parity { None };

struct PortParameters {
  std::optional<int> baudRate;
  std::optional<int> dataBits;
  std::optional<StopBits> stopBits;
  std::optional<Parity> parity;

  bool operator==(const PortParameters&) const = default;
};

PortParameters recognisedParameters(const CommSettings& settings, LinkDirection direction);

}  // namespace quillmar
