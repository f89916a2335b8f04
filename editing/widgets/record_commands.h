// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Редактировать" and "Добавить" commands without the document window:
// they run the shared dialog and apply its result to the list. The caller
// sets DocModified and tells its model and selection what changed.

#include <cstddef>
#include <optional>
#include <string>

#include "records/caption_state.h"
#include "records/coordinate_order.h"
#include "records/record_list.h"

namespace quillmar {

class TAddForm;
class TEditForm;

// Edits the record of `row`, its coordinate rows labelled by the order in
// force there. Returns true when the dialog was confirmed: the
// record's Body and the row's caption are then replaced (the caller sets
// DocModified). TypeCode, DerivCode and Version never change.
bool runEditCommand(TEditForm& form, RecordList& list, std::size_t row, CaptionState& captions);
// The second half of runEditCommand, after the dialog has closed.
bool applyEdit(const TEditForm& form, RecordList& list, std::size_t row, CaptionState& captions);

// A record that the add dialog confirmed, with its caption.
struct AddedRow {
  std::string caption;
  SurveyRecord record;
};

// Runs the add dialog for a row whose Version is `version`, in a part of the
// book whose coordinate order is `order`; the record it made, or nothing when
// it was cancelled or had no layout to build a line in.
std::optional<AddedRow> runAddDialog(TAddForm& form, char version, CoordinateOrder order, CaptionState& captions);
// The record of the dialog's last confirmation, as runAddDialog returns it.
std::optional<AddedRow> addedRow(const TAddForm& form, char version, CaptionState& captions);

}  // namespace quillmar
