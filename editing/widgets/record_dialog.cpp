// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/record_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <span>

#include "editing/field_rows.h"
#include "editing/widgets/dialog_support.h"
#include "editing/widgets/parameter_table.h"
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

bool RecordDialog::assembleLine(bool typedCodes) {
  const std::size_t codeRows = typedCodes ? 2 : 0;
  const auto rows = FieldRows(typeCode_, version_, derivCode_);
  if (rows.empty()) return true;  // no kind chosen yet: nothing to assemble
  editor_->commitOpenEditor();
  const ParameterTable::Values values = editor_->valuesByLabel(rows.size() + codeRows);
  if (!valuesEncodable(values.unencodableRow)) return false;
  const std::span<const std::string> fields(values.bytes.begin() + static_cast<std::ptrdiff_t>(codeRows),
                                            values.bytes.end());
  line_ = typedCodes ? AssembleLine(values.bytes[0], values.bytes[1], rows, fields)
                     : AssembleLine(typeCode_, derivCode_, rows, fields);
  return true;
}

}  // namespace quillmar
