// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/record_commands.h"

#include <string>

#include "editing/field_rows.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/edit_form.h"
#include "records/make_st.h"

namespace quillmar {

bool runEditCommand(TEditForm& form, RecordList& list, std::size_t row, CaptionState& captions) {
  if (row >= list.size()) return false;
  const SurveyRecord record = list.record(row);
  form.setCoordinateOrder(CoordinateOrderAt(list, row));
  form.Visio(record.body.str(), record.typeCode.str(), record.derivCode.str(), record.version);
  return applyEdit(form, list, row, captions);
}

bool applyEdit(const TEditForm& form, RecordList& list, std::size_t row, CaptionState& captions) {
  if (!form.confirmed() || row >= list.size()) return false;
  SurveyRecord record = list.record(row);
  record.body.assign(form.line());
  list.replace(row, record, captions);
  return true;
}

std::optional<AddedRow> runAddDialog(TAddForm& form, char version, CoordinateOrder order, CaptionState& captions) {
  form.setVersion(version);
  form.setCoordinateOrder(order);
  form.clearConfirmed();
  form.exec();
  return addedRow(form, version, captions);
}

std::optional<AddedRow> addedRow(const TAddForm& form, char version, CaptionState& captions) {
  // Without a layout the dialog has no line of its own for this record.
  if (!form.confirmed() || !HasLayout(version)) return std::nullopt;
  AddedRow added;
  added.record.typeCode.assign(form.kindTypeCode());
  added.record.derivCode.assign(form.kindDerivCode());
  added.record.version = version;
  added.record.body.assign(form.line());
  added.caption = MakeSt(captions, added.record);
  return added;
}

}  // namespace quillmar
