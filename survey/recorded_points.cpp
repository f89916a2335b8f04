// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/detail_names.h"

namespace quillmar::survey::detail {

void RecordedPoints::read(const RecordList& list, std::size_t rows) {
  std::vector<Named> named = namedIn(list, rows);
  // Sized once for all the names: no growing, and each slot is asked for a few points ahead.
  index_ = NameTable(named.size());
  coordinates_.reserve(named.size());
  for (std::size_t i = 0; i < named.size(); ++i) {
    if (i + kAhead < named.size()) index_.prefetch(named[i + kAhead].name);
    const auto next = static_cast<std::uint32_t>(coordinates_.size());
    const std::uint32_t entry = index_.insert(named[i].name, next);
    if (entry == next)
      coordinates_.push_back(named[i].at);
    else
      coordinates_[entry] = named[i].at;  // the last of a name wins
  }
}

std::vector<RecordedPoints::Named> RecordedPoints::namedIn(const RecordList& list, std::size_t rows) {
  std::vector<Named> named;
  CoordinateOrder order = CoordinateOrder::NorthEast;
  for (std::size_t row = 0; row < rows; ++row) {
    const Kind kind = kindOf(list.typeCode(row));
    if (kind == Kind::Observation || kind == Kind::Reduced) ++observations_;
    if (kind != Kind::Header && kind != Kind::Station && kind != Kind::Position) continue;
    const std::string_view line = list.body(row);
    const Places& places = placesOf(list.version(row));
    if (kind == Kind::Header) {
      if (const auto code = orderOf(codeAt(line, places.order))) order = *code;
      continue;
    }
    const bool station = kind == Kind::Station;
    const std::string_view name = trimmed(FieldText(line, station ? places.stationName : places.positionName));
    const auto at = station ? coordinatesOf(line, places.station1, places.station2, places.station3, order)
                            : coordinatesOf(line, places.position1, places.position2, places.position3, order);
    if (at && !name.empty()) named.push_back({name, *at});
  }
  return named;
}

}  // namespace quillmar::survey::detail
