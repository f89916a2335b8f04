// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/row_commands.h"

#include <algorithm>
#include <utility>

#include "document/record_list_model.h"

namespace quillmar {

ReplaceRowCommand::ReplaceRowCommand(RecordListModel& model, int row, RecordList::RowRef before,
                                     RecordList::RowRef after)
    : RowCommand(QStringLiteral("Редактировать"), model), row_(row), before_(before), after_(after) {}

void ReplaceRowCommand::undo() { model_.replaceRow(row_, before_); }

void ReplaceRowCommand::redo() { model_.replaceRow(row_, after_); }

std::vector<RowRange> ReplaceRowCommand::rowsToSelect(bool) const { return {{row_, 1}}; }

InsertRowCommand::InsertRowCommand(RecordListModel& model, int row, RowContent added)
    : RowCommand(QStringLiteral("Добавить"), model), row_(row), added_(std::move(added)) {}

void InsertRowCommand::undo() { model_.removeRecords(row_, 1); }

void InsertRowCommand::redo() {
  if (stored_) return model_.insertRows(row_, {*stored_});
  model_.insertRecord(row_, added_.caption, added_.record);
  stored_ = model_.list().rowRef(static_cast<std::size_t>(row_));
}

// The row that was selected for the addition, wherever it stands now.
std::vector<RowRange> InsertRowCommand::rowsToSelect(bool undone) const { return {{undone ? row_ : row_ + 1, 1}}; }

InsertRowsCommand::InsertRowsCommand(const QString& text, RecordListModel& model, std::vector<RecordList::Placed> rows)
    : RowCommand(text, model), rows_(std::move(rows)) {
  at_.reserve(rows_.size());
  for (const RecordList::Placed& row : rows_) at_.push_back(row.at);
}

void InsertRowsCommand::undo() { model_.removePlaced(at_); }

void InsertRowsCommand::redo() { model_.insertPlaced(rows_); }

std::vector<RowRange> InsertRowsCommand::rowsToSelect(bool undone) const {
  if (undone) return {};
  std::vector<RowRange> ranges;
  for (const std::size_t row : at_) ranges.push_back({static_cast<int>(row), 1});
  return mergedRanges(std::move(ranges));
}

RemoveRowsCommand::RemoveRowsCommand(RecordListModel& model, std::vector<RowRange> ranges)
    : RowCommand(QStringLiteral("Удалить"), model), ranges_(std::move(ranges)) {}

void RemoveRowsCommand::undo() {
  auto taken = removed_.begin();
  for (const RowRange& range : ranges_) {
    model_.insertRows(range.first, {taken, taken + range.count});
    taken += range.count;
  }
}

void RemoveRowsCommand::redo() {
  // The rows are kept once, on the first removal; an undo puts the same rows back.
  if (removed_.empty()) {
    for (const RowRange& range : ranges_) {
      for (int row = range.first; row < range.first + range.count; ++row)
        removed_.push_back(model_.list().rowRef(static_cast<std::size_t>(row)));
    }
  }
  for (auto range = ranges_.rbegin(); range != ranges_.rend(); ++range)
    model_.removeRecords(range->first, range->count);
}

std::vector<RowRange> RemoveRowsCommand::rowsToSelect(bool undone) const {
  return undone ? ranges_ : std::vector<RowRange>{};
}

AppendRowsCommand::AppendRowsCommand(const QString& text, RecordListModel& model, int first, int count)
    : RowCommand(text, model), rows_{first, count} {}

AppendRowsCommand::~AppendRowsCommand() {
  if (setAside_) model_.forgetSetAside(rows_.count);
}

void AppendRowsCommand::undo() {
  model_.setAsideLast(rows_.count);
  setAside_ = true;
}

// The first redo comes with the push, when the rows are in the list already.
void AppendRowsCommand::redo() {
  if (!setAside_) return;
  model_.bringBack(rows_.count);
  setAside_ = false;
}

std::vector<RowRange> AppendRowsCommand::rowsToSelect(bool) const { return {}; }

std::vector<RowRange> mergedRanges(std::vector<RowRange> ranges) {
  std::sort(ranges.begin(), ranges.end(), [](const RowRange& a, const RowRange& b) { return a.first < b.first; });
  std::vector<RowRange> merged;
  for (const RowRange& range : ranges) {
    if (range.count <= 0) continue;
    if (!merged.empty() && range.first <= merged.back().first + merged.back().count) {
      RowRange& last = merged.back();
      last.count = std::max(last.count, range.first + range.count - last.first);
    } else {
      merged.push_back(range);
    }
  }
  return merged;
}

}  // namespace quillmar
