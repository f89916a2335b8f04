// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/widgets/results_table.h"

#include <QColor>

#include <algorithm>
#include <limits>
#include <utility>

namespace quillmar::survey {

ResultsTable::ResultsTable(std::vector<Column> columns, std::function<std::size_t()> count,
                           std::function<std::uint32_t(std::size_t)> recordRow, QObject* parent)
    : QAbstractTableModel(parent),
      columns_(std::move(columns)),
      count_(std::move(count)),
      recordRow_(std::move(recordRow)) {
  reset();
}

int ResultsTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ResultsTable::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ResultsTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= columnCount()) return {};
  const Column& column = columns_[static_cast<std::size_t>(index.column())];
  const auto row = static_cast<std::size_t>(index.row());
  if (role == Qt::DisplayRole) return column.text(row);
  if (role == Qt::BackgroundRole && marked_ && marked_(row)) return QColor(255, 214, 196);
  if (role == Qt::CheckStateRole && column.checked) {
    const auto state = column.checked(row);
    if (state) return *state ? Qt::Checked : Qt::Unchecked;
  }
  if (role == Qt::TextAlignmentRole)
    return static_cast<int>(Qt::AlignVCenter | (column.number ? Qt::AlignRight : Qt::AlignLeft));
  return {};
}

QVariant ResultsTable::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount()) return {};
  return columns_[static_cast<std::size_t>(section)].title;
}

Qt::ItemFlags ResultsTable::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  const Column& column = columns_[static_cast<std::size_t>(index.column())];
  return column.check ? flags | Qt::ItemIsUserCheckable : flags;
}

bool ResultsTable::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::CheckStateRole || index.row() >= rows_) return false;
  const Column& column = columns_[static_cast<std::size_t>(index.column())];
  if (!column.check) return false;
  column.check(static_cast<std::size_t>(index.row()), value.toInt() == Qt::Checked);
  return true;
}

void ResultsTable::reset() {
  beginResetModel();
  // A view counts its rows in int.
  rows_ = static_cast<int>(std::min<std::size_t>(count_(), std::numeric_limits<int>::max()));
  endResetModel();
}

}  // namespace quillmar::survey
