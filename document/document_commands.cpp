// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/document_commands.h"

#include <QTreeView>
#include <QUndoStack>

#include <algorithm>
#include <vector>

#include "document/document_list.h"
#include "document/document_state.h"
#include "document/find_bar.h"
#include "document/program_state.h"
#include "document/record_list_model.h"
#include "document/row_commands.h"
#include "document/shared_windows.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/edit_form.h"
#include "editing/widgets/record_commands.h"
#include "records/coordinate_order.h"
#include "widgets/dialog_seam.h"

namespace quillmar {

DocumentCommands::DocumentCommands(QWidget& window, DocumentList& list, RecordListModel& model, QUndoStack& undoStack,
                                   DocumentState& state, ProgramState& program, SharedWindows& shared, DialogSeam& seam)
    : window_(window),
      list_(list),
      model_(model),
      undoStack_(undoStack),
      state_(state),
      program_(program),
      shared_(shared),
      seam_(seam) {}

void DocumentCommands::Edit() {
  const int row = list_.selectedRow();
  if (row < 0 || shared_.editForm == nullptr) return;
  const auto index = static_cast<std::size_t>(row);
  const RecordList::RowRef before = model_.list().rowRef(index);
  shared_.editForm->setSeam(seam_);
  if (!runEditCommand(*shared_.editForm, model_.listForAppending(), index, program_.captions)) return;
  undoStack_.push(new ReplaceRowCommand(model_, row, before, model_.list().rowRef(index)));
  state_.docModified = true;
}

void DocumentCommands::Add() {
  const int row = list_.selectedRow();
  if (row < 0 || shared_.addForm == nullptr) return;
  state_.docModified = true;  // as soon as the command starts, added or not
  const auto index = static_cast<std::size_t>(row);
  shared_.addForm->setSeam(seam_);
  const auto added = runAddDialog(*shared_.addForm, model_.list().version(index),
                                  CoordinateOrderAt(model_.list(), index), program_.captions);
  if (!added) return;
  undoStack_.push(new InsertRowCommand(model_, row, RowContent{added->caption, added->record}));
  // The row that was selected moved down by one and stays selected.
  list_.view().setCurrentIndex(model_.index(row + 1));
}

bool DocumentCommands::Delete() {
  const std::vector<RowRange> ranges = list_.selectedRanges();
  int rows = 0;
  for (const RowRange& range : ranges) rows += range.count;
  if (rows == 0) return false;
  const QString question =
      rows == 1 ? QStringLiteral("Удалить запись ?") : QStringLiteral("Удалить выделенные записи (%1) ?").arg(rows);
  if (!seam_.confirmYesNo(&window_, question)) return false;
  undoStack_.push(new RemoveRowsCommand(model_, ranges));
  list_.view().clearSelection();
  state_.docModified = true;
  return true;
}

void DocumentCommands::recordAppendedRows(const QString& command, int first) {
  const int count = static_cast<int>(model_.list().size()) - first;
  if (count > 0) undoStack_.push(new AppendRowsCommand(command, model_, first, count));
}

void DocumentCommands::recordInsertedRows(RowCommand* step) {
  undoStack_.push(step);
  state_.docModified = true;
  list_.selectRows(step->rowsToSelect(false));
}

void DocumentCommands::Undo() {
  if (!undoStack_.canUndo()) return;
  undoStack_.undo();
  afterHistoryStep(true);
}

void DocumentCommands::Redo() {
  if (!undoStack_.canRedo()) return;
  undoStack_.redo();
  afterHistoryStep(false);
}

void DocumentCommands::afterHistoryStep(bool undone) {
  state_.docModified = true;
  const int step = undone ? undoStack_.index() : undoStack_.index() - 1;
  const auto* command = static_cast<const RowCommand*>(undoStack_.command(step));
  list_.selectRows(command->rowsToSelect(undone));
}

void DocumentCommands::GoToRow() {
  const int rows = model_.rowCount();
  if (rows == 0) return;
  QTreeView& view = list_.view();
  const QModelIndex current = view.currentIndex();
  const auto row = seam_.askRowNumber(&window_, current.isValid() ? current.row() + 1 : 1, rows);
  if (!row) return;
  showRow(view, std::clamp(*row, 1, rows) - 1);
  view.setFocus(Qt::OtherFocusReason);
}

}  // namespace quillmar
