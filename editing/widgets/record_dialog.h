// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the edit and add dialogs have in common: below their own first row
// the parameter table, a status line that says why OK is refused, "Отмена"
// beside the OK button; the confirmed flag and the line OK assembled.

#include <QDialog>
#include <QString>

#include <span>
#include <string>
#include <vector>

#include "records/coordinate_order.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace quillmar {

class DialogSeam;
class ParameterTable;
struct FieldRow;

// Window size and the widths of the table's two columns.
struct RecordDialogGeometry {
  int width;
  int height;
  int labelColumn;
  int valueColumn;
};

class RecordDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(RecordDialog)

 public:
  bool confirmed() const { return confirmed_; }
  // Windows-1251 bytes of the line that OK assembled (the edit dialog: the
  // record's line until then).
  const std::string& line() const { return line_; }

  ParameterTable* editor() const { return editor_; }
  QPushButton* okButton() const { return okButton_; }
  QPushButton* cancelButton() const { return cancelButton_; }
  // Says why OK cannot be used or was refused; empty otherwise.
  QLabel* statusLabel() const { return statusLabel_; }

  // Where the question before rounding a value goes; the real message boxes
  // until this is called.
  void setSeam(DialogSeam& seam) { seam_ = &seam; }
  // The order of the book where the record stands or goes: the rows of the
  // two plane coordinates are labelled by it.
  void setCoordinateOrder(CoordinateOrder order);

 public slots:
  void cancelClicked();
  void reject() override;

 protected:
  RecordDialog(QWidget* parent, const QString& title, const QString& okText, const RecordDialogGeometry& geometry);
  ~RecordDialog() override = default;

  // The dialog's first row goes in above the table.
  QVBoxLayout* layout() const { return layout_; }
  void showStatus(const QString& text);
  void clearStatus();
  // Whether the table's values can be stored; otherwise says which cannot and goes to it.
  bool valuesEncodable(int unencodableRow);
  void confirm();
  void showEvent(QShowEvent* event) override;

  // Assembles line_ from the table's field rows of the kind below. With
  // `typedCodes` the table's first two rows hold the type and derivation
  // codes as typed, and the line takes those. False when a value cannot be
  // stored, or a number would be rounded and the operator said No.
  bool assembleLine(bool typedCodes);
  // The kind's rows, whatever the layout (their labels are the same in both).
  std::span<const FieldRow> rowsForLabels() const;

  // Rows of the table above the field rows: the add dialog's two code rows.
  int codeRows_ = 0;
  CoordinateOrder coordinateOrder_ = CoordinateOrder::NorthEast;

  bool confirmed_ = false;
  std::string line_;
  // The record kind whose field rows the table shows, and the SDR layout.
  std::string typeCode_;
  std::string derivCode_;
  char version_ = '0';

 private:
  // Numbers that do not fit their fields: refused, or rounded once the operator agrees.
  bool fitNumbers(std::span<const FieldRow> rows, std::vector<std::string>& values);
  DialogSeam& seam();

  DialogSeam* seam_ = nullptr;
  ParameterTable* editor_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QVBoxLayout* layout_ = nullptr;
};

}  // namespace quillmar
