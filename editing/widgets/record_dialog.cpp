// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/record_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <span>
#include <utility>

#include "editing/field_rows.h"
#include "editing/number_fit.h"
#include "editing/widgets/dialog_support.h"
#include "editing/widgets/parameter_table.h"
#include "widgets/dialog_seam.h"
#include "widgets/text_codec.h"
#include "widgets/window_placement.h"

namespace quillmar {

RecordDialog::RecordDialog(QWidget* parent, const QString& title, const QString& okText,
                           const RecordDialogGeometry& geometry)
    : QDialog(parent, kCloseBoxOnly) {
  setWindowTitle(title);
  editor_ = new ParameterTable(geometry.labelColumn, geometry.valueColumn, this);
  statusLabel_ = new QLabel(this);
  statusLabel_->setWordWrap(true);
  statusLabel_->setStyleSheet(QStringLiteral("color: #b00000"));
  statusLabel_->hide();
  cancelButton_ = new QPushButton(QStringLiteral("Отмена"), this);
  okButton_ = new QPushButton(okText, this);
  // Return outside a cell being edited confirms; Return in a cell only ends its edit.
  okButton_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton_);
  buttons->addWidget(okButton_);
  layout_ = new QVBoxLayout(this);
  layout_->addWidget(editor_, 1);
  layout_->addWidget(statusLabel_);
  layout_->addLayout(buttons);
  setTabOrder(editor_, okButton_);
  setTabOrder(okButton_, cancelButton_);
  connect(cancelButton_, &QPushButton::clicked, this, &RecordDialog::cancelClicked);
  resize(geometry.width, geometry.height);
}

void RecordDialog::cancelClicked() { reject(); }

void RecordDialog::reject() {
  confirmed_ = false;
  QDialog::reject();
}

void RecordDialog::showStatus(const QString& text) {
  statusLabel_->setText(text);
  statusLabel_->show();
}

void RecordDialog::clearStatus() {
  statusLabel_->clear();
  statusLabel_->hide();
}

bool RecordDialog::valuesEncodable(int unencodableRow) {
  if (unencodableRow < 0) return true;
  showStatus(unencodableValueMessage(editor_->labelAt(unencodableRow)));
  editor_->setCurrentCell(unencodableRow, 1);
  return false;
}

void RecordDialog::confirm() {
  confirmed_ = true;
  accept();
}

void RecordDialog::showEvent(QShowEvent* event) {
  centreOnParentWindow(*this);
  QDialog::showEvent(event);
}

void RecordDialog::setCoordinateOrder(CoordinateOrder order) {
  coordinateOrder_ = order;
  const auto rows = rowsForLabels();
  if (editor_->rowCount() != codeRows_ + static_cast<int>(rows.size())) return;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    editor_->setLabelAt(codeRows_ + static_cast<int>(i), cp1251ToQString(ShownLabel(rows[i], order)));
  }
}

std::span<const FieldRow> RecordDialog::rowsForLabels() const {
  return FieldRows(typeCode_, HasLayout(version_) ? version_ : kVersionSdr3, derivCode_);
}

DialogSeam& RecordDialog::seam() {
  static QtDialogSeam messageBoxes;
  return seam_ != nullptr ? *seam_ : messageBoxes;
}

bool RecordDialog::assembleLine(bool typedCodes) {
  const std::size_t codeRows = typedCodes ? 2 : 0;
  const auto rows = FieldRows(typeCode_, version_, derivCode_);
  if (rows.empty()) return true;  // no kind chosen yet: nothing to assemble
  editor_->commitOpenEditor();
  const ParameterTable::Values values = editor_->valuesByLabel(rows.size() + codeRows);
  if (!valuesEncodable(values.unencodableRow)) return false;
  std::vector<std::string> fields(values.bytes.begin() + static_cast<std::ptrdiff_t>(codeRows), values.bytes.end());
  if (!fitNumbers(rows, fields)) return false;
  line_ = typedCodes ? AssembleLine(values.bytes[0], values.bytes[1], rows, fields)
                     : AssembleLine(typeCode_, derivCode_, rows, fields);
  return true;
}

bool RecordDialog::fitNumbers(std::span<const FieldRow> rows, std::vector<std::string>& values) {
  std::vector<std::pair<int, std::string>> roundings;  // table row, rounded value
  QStringList changes;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].number) continue;
    const int tableRow = codeRows_ + static_cast<int>(i);
    FittedNumber fitted = FitNumber(values[i], rows[i].width);
    if (fitted.fit == NumberFit::TooLong) {
      showStatus(tooLongNumberMessage(editor_->labelAt(tableRow), cp1251ToQString(values[i]), rows[i].width));
      editor_->setCurrentCell(tableRow, 1);
      return false;
    }
    if (fitted.fit == NumberFit::Rounded) {
      changes << roundingLine(editor_->labelAt(tableRow), cp1251ToQString(values[i]), cp1251ToQString(fitted.text));
      roundings.emplace_back(tableRow, fitted.text);
    }
    values[i] = std::move(fitted.text);
  }
  if (roundings.empty()) return true;
  if (!seam().confirmYesNo(this, roundingQuestion(changes))) {
    editor_->setCurrentCell(roundings.front().first, 1);
    return false;
  }
  for (const auto& [tableRow, text] : roundings) editor_->setValueAt(tableRow, cp1251ToQString(text));
  return true;
}

}  // namespace quillmar
