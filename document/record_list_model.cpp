#include "document/record_list_model.h"

#include <algorithm>

#include "document/text_codec.h"

namespace quillmar {

RecordListModel::RecordListModel(RecordList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shownRows_(static_cast<int>(list.size())) {}

int RecordListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shownRows_ || index.column() != 0) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role != Qt::DisplayRole) return {};
  return readableCaption(list_.caption(row));
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
  list_.insert(static_cast<std::size_t>(row), caption, record);
  ++shownRows_;
  endInsertRows();
}

void RecordListModel::insertRecords(int row, const RecordList& from, std::size_t first, int count) {
  if (count <= 0) return;
  announceAppendedRows();
  beginInsertRows({}, row, row + count - 1);
  list_.insert(static_cast<std::size_t>(row), from, first, static_cast<std::size_t>(count));
  shownRows_ += count;
  endInsertRows();
}

void RecordListModel::removeRecords(int first, int count) {
  if (count <= 0) return;
  announceAppendedRows();
  beginRemoveRows({}, first, first + count - 1);
  list_.remove(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
  shownRows_ -= count;
  endRemoveRows();
}

void RecordListModel::replaceRecord(int row, std::string_view caption, const SurveyRecord& record) {
  const auto index = static_cast<std::size_t>(row);
  list_.record(index) = record;
  list_.setCaption(index, caption);
  refreshRow(row);
}

void RecordListModel::setAsideLast(int count) {
  announceAppendedRows();
  if (count <= 0 || count > shownRows_) return;
  beginRemoveRows({}, shownRows_ - count, shownRows_ - 1);
  list_.setAside(static_cast<std::size_t>(count));
  shownRows_ -= count;
  endRemoveRows();
}

void RecordListModel::bringBack(int count) {
  count = std::min(count, static_cast<int>(list_.setAsideCount()));
  if (count <= 0) return;
  announceAppendedRows();
  beginInsertRows({}, shownRows_, shownRows_ + count - 1);
  list_.bringBack(static_cast<std::size_t>(count));
  shownRows_ += count;
  endInsertRows();
}

void RecordListModel::forgetSetAside(int count) {
  if (count > 0) list_.forgetSetAside(static_cast<std::size_t>(count));
}

void RecordListModel::refreshRow(int row) {
  const QModelIndex changed = index(row);
  emit dataChanged(changed, changed);
}

}  // namespace quillmar
