// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SDR3x records of the small books of the GIS tests.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "records/record_layout.h"

namespace quillmar::gis {

// A record of `kind` with each value at its place in the SDR3x layout.
inline std::string recordLine(KindId kind, std::string_view codes,
                              std::initializer_list<std::pair<FieldId, std::string>> values) {
  std::string text(120, ' ');
  text.replace(0, 4, codes);
  for (const auto& [id, value] : values) {
    const FieldPlace place = PlaceOf(LayoutOf(kind), id, kVersionSdr3);
    const bool name = id == FieldId::PointName || id == FieldId::FromPoint || id == FieldId::ToPoint;
    text.replace(place.start - 1 + (name ? place.width - value.size() : 0), value.size(), value);
  }
  return text;
}

}  // namespace quillmar::gis
