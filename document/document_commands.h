// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of a document window on its rows: "Редактировать",
// "Добавить", "Удалить", undo and redo of them and of the rows that
// "Импорт" and "Загрузить" append, and going to a row by its number.

#include <QString>

class QUndoStack;
class QWidget;

namespace quillmar {

class DialogSeam;
class DocumentList;
class RecordListModel;
class RowCommand;
struct DocumentState;
struct ProgramState;
struct SharedWindows;

class DocumentCommands {
 public:
  DocumentCommands(QWidget& window, DocumentList& list, RecordListModel& model, QUndoStack& undoStack,
                   DocumentState& state, ProgramState& program, SharedWindows& shared, DialogSeam& seam);

  // The edit dialog on the selected record.
  void Edit();
  // The add dialog inserts a record above the selected row.
  void Add();
  // Asks first; true when rows were deleted.
  bool Delete();
  void Undo();
  void Redo();
  void GoToRow();
  // Makes the rows appended from `first` on one undo step named `command`.
  void recordAppendedRows(const QString& command, int first);
  // Takes a step that has already put its rows in place, and selects them.
  void recordInsertedRows(RowCommand* step);

 private:
  void afterHistoryStep(bool undone);

  QWidget& window_;
  DocumentList& list_;
  RecordListModel& model_;
  QUndoStack& undoStack_;
  DocumentState& state_;
  ProgramState& program_;
  SharedWindows& shared_;
  DialogSeam& seam_;
};

}  // namespace quillmar
