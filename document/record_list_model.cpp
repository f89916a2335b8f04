// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/record_list_model.h"

#include <algorithm>

#include "widgets/text_codec.h"

namespace quillmar {

RecordListModel::RecordListModel(RecordList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shownRows_(static_cast<int>(list.size())) {}

int RecordListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shownRows_ || index.column() != 0) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role != Qt::DisplayRole) return {};
  ShownCaption& shown = shown_[row % shown_.size()];
  if (shown.row != index.row()) {
    shown.text = readableCaption(list_.caption(row));
    shown.row = index.row();
  }
  return shown.text;
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void RecordListModel::announceAppendedRows() {
  const int total = static_cast<int>(list_.size());
  if (total <= shownRows_) return;
  beginInsertRows({}, shownRows_, total - 1);
  shownRows_ = total;
  endInsertRows();
}

void RecordListModel::discardUnannouncedRows() {
  if (shownRows_ == 0) {
    list_.clear();
    return;
  }
  while (list_.size() > static_cast<std::size_t>(shownRows_)) list_.remove(list_.size() - 1);
}

void RecordListModel::insertRecord(int row, std::string_view caption, const SurveyRecord& record) {
  announceAppendedRows();
  beginInsertRows({}, row, row);
  forgetCaptions();
  list_.insert(static_cast<std::size_t>(row), caption, record);
  ++shownRows_;
  endInsertRows();
}

void RecordListModel::insertRows(int row, const std::vector<RecordList::RowRef>& rows) {
  if (rows.empty()) return;
  announceAppendedRows();
  beginInsertRows({}, row, row + static_cast<int>(rows.size()) - 1);
  forgetCaptions();
  list_.insert(static_cast<std::size_t>(row), rows);
  shownRows_ += static_cast<int>(rows.size());
  endInsertRows();
}

void RecordListModel::removeRecords(int first, int count) {
  if (count <= 0) return;
  announceAppendedRows();
  beginRemoveRows({}, first, first + count - 1);
  forgetCaptions();
  list_.remove(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
  shownRows_ -= count;
  endRemoveRows();
}

namespace {
// Up to this many the views hear of each row, and keep their selection and place.
constexpr std::size_t kRowsAnnouncedEach = 256;
}  // namespace

void RecordListModel::insertPlaced(const std::vector<RecordList::Placed>& rows) {
  if (rows.empty()) return;
  announceAppendedRows();
  if (rows.size() <= kRowsAnnouncedEach) {
    for (const RecordList::Placed& placed : rows) insertRows(static_cast<int>(placed.at), {placed.row});
    return;
  }
  beginResetModel();
  forgetCaptions();
  list_.insert(rows);
  shownRows_ += static_cast<int>(rows.size());
  endResetModel();
}

void RecordListModel::removePlaced(const std::vector<std::size_t>& rows) {
  if (rows.empty()) return;
  announceAppendedRows();
  if (rows.size() <= kRowsAnnouncedEach) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) removeRecords(static_cast<int>(*row), 1);
    return;
  }
  beginResetModel();
  forgetCaptions();
  list_.remove(rows);
  shownRows_ -= static_cast<int>(rows.size());
  endResetModel();
}

void RecordListModel::replaceRow(int row, RecordList::RowRef stored) {
  list_.replace(static_cast<std::size_t>(row), stored);
  refreshRow(row);
}

void RecordListModel::setAsideLast(int count) {
  announceAppendedRows();
  if (count <= 0 || count > shownRows_) return;
  beginRemoveRows({}, shownRows_ - count, shownRows_ - 1);
  forgetCaptions();
  list_.setAside(static_cast<std::size_t>(count));
  shownRows_ -= count;
  endRemoveRows();
}

void RecordListModel::bringBack(int count) {
  count = std::min(count, static_cast<int>(list_.setAsideCount()));
  if (count <= 0) return;
  announceAppendedRows();
  beginInsertRows({}, shownRows_, shownRows_ + count - 1);
  forgetCaptions();
  list_.bringBack(static_cast<std::size_t>(count));
  shownRows_ += count;
  endInsertRows();
}

void RecordListModel::forgetSetAside(int count) {
  if (count > 0) list_.forgetSetAside(static_cast<std::size_t>(count));
}

void RecordListModel::refreshRow(int row) {
  forgetCaptions();
  const QModelIndex changed = index(row);
  emit dataChanged(changed, changed);
}

void RecordListModel::forgetCaptions() {
  for (ShownCaption& shown : shown_) shown.row = -1;
}

}  // namespace quillmar
