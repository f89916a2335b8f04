// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/coordinate_order.h"

#include <algorithm>

#include "records/record_layout.h"

namespace quillmar {

CoordinateOrder CoordinateOrderAt(const RecordList& list, std::size_t row) {
  const std::string_view headerCode = LayoutOf(KindId::Header).typeCode;
  for (std::size_t i = std::min(row, list.size()); i-- > 0;) {
    if (list.typeCode(i) != headerCode) continue;
    if (const auto order = HeaderCoordinateOrder(list.typeCode(i), list.version(i), list.body(i))) return *order;
  }
  return CoordinateOrder::NorthEast;
}

}  // namespace quillmar
