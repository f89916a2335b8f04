// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/parameter_table.h"

#include <QHeaderView>

#include "widgets/text_codec.h"

namespace quillmar {

ParameterTable::ParameterTable(int labelWidth, int valueWidth, QWidget* parent) : QTableWidget(0, 2, parent) {
  setHorizontalHeaderLabels({QStringLiteral("Параметр"), QStringLiteral("Значение")});
  verticalHeader()->hide();
  horizontalHeader()->setStretchLastSection(false);
  setColumnWidth(0, labelWidth);
  setColumnWidth(1, valueWidth);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  // Tab reaches the buttons; the arrows move between the cells.
  setTabKeyNavigation(false);
}

void ParameterTable::clearRows() { setRowCount(0); }

void ParameterTable::appendRow(std::string_view label, std::string_view value) {
  const int row = rowCount();
  insertRow(row);
  auto* labelItem = new QTableWidgetItem(cp1251ToQString(label));
  labelItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  setItem(row, 0, labelItem);
  setItem(row, 1, new QTableWidgetItem(cp1251ToQString(value)));
}

QString ParameterTable::labelAt(int row) const {
  const QTableWidgetItem* labelItem = item(row, 0);
  return labelItem ? labelItem->text() : QString();
}

void ParameterTable::setLabelAt(int row, const QString& label) {
  if (QTableWidgetItem* labelItem = item(row, 0)) labelItem->setText(label);
}

QString ParameterTable::valueAt(int row) const {
  const QTableWidgetItem* valueItem = item(row, 1);
  return valueItem ? valueItem->text() : QString();
}

void ParameterTable::setValueAt(int row, const QString& value) {
  if (QTableWidgetItem* valueItem = item(row, 1)) valueItem->setText(value);
}

int ParameterTable::firstRowLabelled(const QString& label) const {
  for (int row = 0; row < rowCount(); ++row) {
    if (labelAt(row) == label) return row;
  }
  return -1;
}

std::optional<std::string> ParameterTable::bytesAt(int row) const { return qStringToCp1251(valueAt(row)); }

ParameterTable::Values ParameterTable::valuesByLabel(std::size_t count) {
  Values values;
  for (std::size_t n = 0; n < count; ++n) {
    const int shownRow = static_cast<int>(n);
    const int row = shownRow < rowCount() ? firstRowLabelled(labelAt(shownRow)) : -1;
    if (row < 0) {
      values.bytes.emplace_back();
      continue;
    }
    std::optional<std::string> bytes = bytesAt(row);
    if (!bytes) {
      values.unencodableRow = row;
      return values;
    }
    values.bytes.push_back(std::move(*bytes));
  }
  return values;
}

void ParameterTable::commitOpenEditor() {
  if (state() != QAbstractItemView::EditingState) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void ParameterTable::focusFirstValue() {
  if (rowCount() > 0) setCurrentCell(0, 1);
  setFocus();
}

void ParameterTable::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const bool leaving = hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
  QTableWidget::closeEditor(editor, leaving ? QAbstractItemDelegate::NoHint : hint);
  if (leaving) focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
}

}  // namespace quillmar
