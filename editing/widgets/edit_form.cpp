#include "editing/widgets/edit_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/text_codec.h"
#include "editing/field_rows.h"
#include "editing/widgets/dialog_support.h"
#include "editing/widgets/parameter_table.h"

namespace quillmar {

namespace {
constexpr int kWidth = 341;
constexpr int kHeight = 415;
constexpr int kLabelColumn = 150;
constexpr int kValueColumn = 157;
}  // namespace

TEditForm::TEditForm(QWidget* parent) : QDialog(parent, kCloseBoxOnly) {
  setWindowTitle(QStringLiteral("Редактирование"));
  recordTypeLabel_ = new QLabel(QStringLiteral("Тип записи"), this);
  editor_ = new ParameterTable(kLabelColumn, kValueColumn, this);
  statusLabel_ = new QLabel(this);
  statusLabel_->setWordWrap(true);
  statusLabel_->setStyleSheet(QStringLiteral("color: #b00000"));
  statusLabel_->hide();
  cancelButton_ = new QPushButton(QStringLiteral("Отмена"), this);
  okButton_ = new QPushButton(QStringLiteral("Ok"), this);
  // Return outside a cell being edited confirms; Return in a cell only ends its edit.
  okButton_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton_);
  buttons->addWidget(okButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(recordTypeLabel_);
  layout->addWidget(editor_, 1);
  layout->addWidget(statusLabel_);
  layout->addLayout(buttons);
  setTabOrder(editor_, okButton_);
  setTabOrder(okButton_, cancelButton_);

  connect(okButton_, &QPushButton::clicked, this, &TEditForm::okClicked);
  connect(cancelButton_, &QPushButton::clicked, this, &TEditForm::cancelClicked);
  resize(kWidth, kHeight);
}

void TEditForm::Visio(std::string line, std::string typeCode, std::string derivCode,
                      char version) {
  fill(std::move(line), std::move(typeCode), std::move(derivCode), version);
  exec();
}

void TEditForm::fill(std::string line, std::string typeCode, std::string derivCode,
                     char version) {
  confirmed_ = false;
  statusLabel_->clear();
  statusLabel_->hide();
  editor_->clearRows();
  const auto rows = FieldRows(typeCode, version, derivCode);
  // Without rows the label keeps the text of the last record that had some.
  if (!rows.empty()) {
    recordTypeLabel_->setText(cp1251ToQString(RecordTypeLabel(typeCode, derivCode, version)));
    for (const FieldRow& row : rows) editor_->appendRow(row.label, EditableValue(line, row));
  }
  editor_->focusFirstValue();
  line_ = std::move(line);
  typeCode_ = std::move(typeCode);
  derivCode_ = std::move(derivCode);
  version_ = version;
}

// A record without rows (an unknown layout or observation kind) keeps its
// line exactly: there is nothing to assemble it from.
bool TEditForm::assembleLine() {
  const auto rows = FieldRows(typeCode_, version_, derivCode_);
  if (rows.empty()) return true;
  editor_->commitOpenEditor();
  const ParameterTable::Values values = editor_->valuesByLabel(rows.size());
  if (values.unencodableRow >= 0) {
    statusLabel_->setText(unencodableValueMessage(editor_->labelAt(values.unencodableRow)));
    statusLabel_->show();
    editor_->setCurrentCell(values.unencodableRow, 1);
    return false;
  }
  line_ = AssembleLine(typeCode_, derivCode_, rows, values.bytes);
  return true;
}

void TEditForm::okClicked() {
  if (!assembleLine()) return;
  confirmed_ = true;
  accept();
}

void TEditForm::cancelClicked() { reject(); }

void TEditForm::reject() {
  confirmed_ = false;
  QDialog::reject();
}

void TEditForm::showEvent(QShowEvent* event) {
  centreOnParentWindow(*this);
  QDialog::showEvent(event);
}

}  // namespace quillmar
