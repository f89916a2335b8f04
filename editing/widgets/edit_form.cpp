#include "editing/widgets/edit_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/field_rows.h"
#include "editing/widgets/dialog_support.h"
#include "editing/widgets/parameter_table.h"
#include "widgets/text_codec.h"

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
  parts_ = addRecordDialogParts(*this, kLabelColumn, kValueColumn, QStringLiteral("Ok"));
  parts_.layout->insertWidget(0, recordTypeLabel_);

  connect(parts_.okButton, &QPushButton::clicked, this, &TEditForm::okClicked);
  connect(parts_.cancelButton, &QPushButton::clicked, this, &TEditForm::cancelClicked);
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
  clearStatus(parts_);
  parts_.editor->clearRows();
  const auto rows = FieldRows(typeCode, version, derivCode);
  // Without rows the label keeps the text of the last record that had some.
  if (!rows.empty()) {
    recordTypeLabel_->setText(cp1251ToQString(RecordTypeLabel(typeCode, derivCode, version)));
    for (const FieldRow& row : rows) parts_.editor->appendRow(row.label, EditableValue(line, row));
  }
  parts_.editor->focusFirstValue();
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
  parts_.editor->commitOpenEditor();
  const ParameterTable::Values values = parts_.editor->valuesByLabel(rows.size());
  if (values.unencodableRow >= 0) {
    parts_.statusLabel->setText(unencodableValueMessage(parts_.editor->labelAt(values.unencodableRow)));
    parts_.statusLabel->show();
    parts_.editor->setCurrentCell(values.unencodableRow, 1);
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
