// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/coordinate_order.h"

#include <algorithm>

#include "records/record_layout.h"
#include "records/sdr_field.h"

namespace quillmar {

std::optional<CoordinateOrder> HeaderCoordinateOrder(const SurveyRecord& record) {
  const KindLayout& header = LayoutOf(KindId::Header);
  if (record.typeCode != header.typeCode) return std::nullopt;
  const FieldPlace code = PlaceOf(header, FieldId::CoordinateOrderCode, record.version);
  if (!code.exists()) return std::nullopt;
  switch (sdrCode(record.body.view(), code.start)) {
    case '1': return CoordinateOrder::NorthEast;
    case '2': return CoordinateOrder::EastNorth;
    default: return std::nullopt;
  }
}

CoordinateOrder CoordinateOrderAt(const RecordList& list, std::size_t row) {
  const std::string_view headerCode = LayoutOf(KindId::Header).typeCode;
  for (std::size_t i = std::min(row, list.size()); i-- > 0;) {
    if (list.typeCode(i) != headerCode) continue;
    if (const auto order = HeaderCoordinateOrder(list.record(i))) return *order;
  }
  return CoordinateOrder::NorthEast;
}

}  // namespace quillmar
