// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings that header ("00"), instrument ("01") and SDR3x job ("10")
// records leave behind for later captions. One per program run, shared by
// every document; all texts start empty and nothing resets them.

#include <string_view>

namespace quillmar {

struct CaptionState {
  // Each text points at one of the program's static Windows-1251 literals.
  std::string_view angleUnit;
  std::string_view distanceUnit;
  std::string_view pressureUnit;
  std::string_view temperatureUnit;
  std::string_view coordinateOrder;
  std::string_view instrumentModel;
  std::string_view edmMounting;
  std::string_view verticalAngleZero;
  std::string_view pointIdType;
  std::string_view includeElevation;
  std::string_view atmosCorrection;
  std::string_view crCorrection;
  std::string_view refractionConstant;
  std::string_view seaLevelCorrection;
};

}  // namespace quillmar
