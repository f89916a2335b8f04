#pragma once
// The undo steps of a document's rows. Each step keeps what it needs to give
// the rows back exactly: records byte for byte and the caption text stored
// with each row. Undo never builds a caption again, so CaptionState is left
// as the commands left it.

#include <QUndoCommand>

#include <string>
#include <vector>

#include "records/record_list.h"

namespace quillmar {

class RecordListModel;

struct RowRange {
  int first = 0;
  int count = 0;
  bool operator==(const RowRange&) const = default;
};

// A row as the list holds it.
struct RowContent {
  std::string caption;
  SurveyRecord record;
};
RowContent rowContent(const RecordList& list, int row);

class RowCommand : public QUndoCommand {
 public:
  using QUndoCommand::QUndoCommand;
  // The rows to select once the step has been undone or redone.
  virtual std::vector<RowRange> rowsToSelect(bool undone) const = 0;
};

// "Редактировать": a row's record and caption replaced.
class ReplaceRowCommand final : public RowCommand {
 public:
  ReplaceRowCommand(RecordListModel& model, int row, RowContent before, RowContent after);
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  RecordListModel& model_;
  int row_;
  RowContent before_;
  RowContent after_;
};

// "Добавить": a row inserted above the selected one.
class InsertRowCommand final : public RowCommand {
 public:
  InsertRowCommand(RecordListModel& model, int row, RowContent added);
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  RecordListModel& model_;
  int row_;
  RowContent added_;
};

// "Удалить": any number of rows, given as ascending ranges that do not touch.
class RemoveRowsCommand final : public RowCommand {
 public:
  RemoveRowsCommand(RecordListModel& model, std::vector<RowRange> ranges);
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  RecordListModel& model_;
  std::vector<RowRange> ranges_;
  RecordList removed_;  // the rows of all ranges, in order
};

// "Импорт" and "Загрузить": the rows they appended, kept as their range.
// Undo sets them aside in the list itself and redo brings them back, so the
// step costs neither a copy nor time in proportion to the rows.
class AppendRowsCommand final : public RowCommand {
 public:
  // The rows first .. first + count have been appended already.
  AppendRowsCommand(const QString& text, RecordListModel& model, int first, int count);
  ~AppendRowsCommand() override;
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  RecordListModel& model_;
  RowRange rows_;
  bool setAside_ = false;
};

// Rows of a selection as ascending ranges that do not touch.
std::vector<RowRange> mergedRanges(std::vector<RowRange> ranges);

}  // namespace quillmar
