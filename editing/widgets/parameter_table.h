// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two-column parameter editor of the edit and add dialogs: read-only
// labels in "Параметр", free-text values in "Значение". Values come in and go
// out as Windows-1251 bytes (every byte has a character, so an untouched value
// goes back unchanged).

#include <QTableWidget>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

class ParameterTable final : public QTableWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ParameterTable)

 public:
  ParameterTable(int labelWidth, int valueWidth, QWidget* parent = nullptr);

  void clearRows();
  void appendRow(std::string_view label, std::string_view value);

  QString labelAt(int row) const;
  void setLabelAt(int row, const QString& label);
  QString valueAt(int row) const;
  void setValueAt(int row, const QString& value);

  // Values for the first `count` rows of a layout, each taken by label: the
  // n-th value is that of the first row carrying the n-th row's label, and
  // empty where the editor has fewer rows.
  struct Values {
    std::vector<std::string> bytes;
    int unencodableRow = -1;  // a row whose text Windows-1251 cannot hold
  };
  Values valuesByLabel(std::size_t count);

  // Ends an edit in progress so that its text counts.
  void commitOpenEditor();
  // The first value cell becomes current, ready for typing.
  void focusFirstValue();

 protected:
  // Tab leaves an edited cell for the dialog's next control.
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  int firstRowLabelled(const QString& label) const;
  std::optional<std::string> bytesAt(int row) const;
};

}  // namespace quillmar
