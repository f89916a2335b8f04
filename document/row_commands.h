// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The undo steps of a document's rows. A step keeps the rows it took out or
// replaced as the list stores them (RecordList::RowRef), so undo gives them
// back exactly: records byte for byte, and captions made from the same
// CaptionState as before. Undo never moves the program's CaptionState.

#include <QUndoCommand>

#include <optional>
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

// A new row: its caption and record.
struct RowContent {
  std::string caption;
  SurveyRecord record;
};

// A step on the rows of one model.
class RowCommand : public QUndoCommand {
 public:
  RowCommand(const QString& text, RecordListModel& model) : QUndoCommand(text), model_(model) {}
  // The rows to select once the step has been undone or redone.
  virtual std::vector<RowRange> rowsToSelect(bool undone) const = 0;

 protected:
  RecordListModel& model_;
};

// "Редактировать": a row's record and caption replaced.
class ReplaceRowCommand final : public RowCommand {
 public:
  ReplaceRowCommand(RecordListModel& model, int row, RecordList::RowRef before, RecordList::RowRef after);
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  int row_;
  RecordList::RowRef before_;
  RecordList::RowRef after_;
};

// "Добавить": a row inserted above the selected one.
class InsertRowCommand final : public RowCommand {
 public:
  InsertRowCommand(RecordListModel& model, int row, RowContent added);
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  int row_;
  RowContent added_;
  std::optional<RecordList::RowRef> stored_;  // once inserted
};

// Rows inserted at scattered places in one step ("Вставить координаты").
class InsertRowsCommand final : public RowCommand {
 public:
  // `rows` made by RecordList::makeRow, ascending by the row each ends at.
  InsertRowsCommand(const QString& text, RecordListModel& model, std::vector<RecordList::Placed> rows);
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  std::vector<RecordList::Placed> rows_;
  std::vector<std::size_t> at_;
};

// "Удалить": any number of rows, given as ascending ranges that do not touch.
class RemoveRowsCommand final : public RowCommand {
 public:
  RemoveRowsCommand(RecordListModel& model, std::vector<RowRange> ranges);
  void undo() override;
  void redo() override;
  std::vector<RowRange> rowsToSelect(bool undone) const override;

 private:
  std::vector<RowRange> ranges_;
  std::vector<RecordList::RowRef> removed_;  // the rows of all ranges, in order
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
  RowRange rows_;
  bool setAside_ = false;
};

// Rows of a selection as ascending ranges that do not touch.
std::vector<RowRange> mergedRanges(std::vector<RowRange> ranges);

}  // namespace quillmar
