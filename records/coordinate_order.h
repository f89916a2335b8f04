// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which plane coordinate comes first in the point records of a book: a header
// record ("00") names the order for the records after it, up to the next
// header that names one.

#include <cstddef>
#include <optional>

#include "records/book_conventions.h"
#include "records/record_list.h"
#include "records/survey_record.h"

namespace quillmar {

// What a header says ('1' north first, '2' east first); nothing for another
// record, or for a header whose code leaves the order as it was.
inline std::optional<CoordinateOrder> HeaderCoordinateOrder(const SurveyRecord& record) {
  return HeaderCoordinateOrder(record.typeCode.view(), record.version, record.body.view());
}

// The order in force for a record at `row`: that of the last header before
// it that names one; north first when none does.
CoordinateOrder CoordinateOrderAt(const RecordList& list, std::size_t row);

}  // namespace quillmar
