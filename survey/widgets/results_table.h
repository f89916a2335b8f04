// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One table of the results window as a model over the computed results:
// cells are made when a view asks for them, so a million solutions cost the
// view nothing until it is scrolled to.

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace quillmar::survey {

class ResultsTable final : public QAbstractTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ResultsTable)

 public:
  struct Column {
    QString title;
    std::function<QString(std::size_t)> text;
    bool number = false;  // right-aligned
    // A check box in the cell, where `checked` gives a state; a click on it
    // goes to `check`.
    std::function<std::optional<bool>(std::size_t)> checked = {};
    std::function<void(std::size_t, bool)> check = {};
  };
  // `count` gives the rows, `recordRow` the list row that row stands for.
  ResultsTable(std::vector<Column> columns, std::function<std::size_t()> count,
               std::function<std::uint32_t(std::size_t)> recordRow, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // The row of the document's list that a row of the table stands for.
  std::uint32_t recordRow(int row) const { return recordRow_(static_cast<std::size_t>(row)); }
  bool isNumber(int column) const { return columns_[static_cast<std::size_t>(column)].number; }
  // After the results were computed again.
  void reset();
  // Rows shown with a warning background.
  void setMarked(std::function<bool(std::size_t)> marked) { marked_ = std::move(marked); }

 private:
  std::vector<Column> columns_;
  std::function<std::size_t()> count_;
  std::function<std::uint32_t(std::size_t)> recordRow_;
  std::function<bool(std::size_t)> marked_;
  int rows_ = 0;
};

}  // namespace quillmar::survey
