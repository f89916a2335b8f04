// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/edit_form.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/field_rows.h"
#include "editing/widgets/parameter_table.h"
#include "widgets/text_codec.h"

namespace quillmar {

TEditForm::TEditForm(QWidget* parent)
    : RecordDialog(parent, QStringLiteral("Редактирование"), QStringLiteral("Ok"), {341, 415, 150, 157}) {
  recordTypeLabel_ = new QLabel(QStringLiteral("Тип записи"), this);
  layout()->insertWidget(0, recordTypeLabel_);
  connect(okButton(), &QPushButton::clicked, this, &TEditForm::okClicked);
}

void TEditForm::Visio(std::string line, std::string typeCode, std::string derivCode, char version) {
  fill(std::move(line), std::move(typeCode), std::move(derivCode), version);
  exec();
}

void TEditForm::fill(std::string line, std::string typeCode, std::string derivCode, char version) {
  confirmed_ = false;
  clearStatus();
  editor()->clearRows();
  const auto rows = FieldRows(typeCode, version, derivCode);
  // Without rows the label keeps the text of the last record that had some.
  if (!rows.empty()) {
    recordTypeLabel_->setText(cp1251ToQString(RecordTypeLabel(typeCode, derivCode, version)));
    for (const FieldRow& row : rows) editor()->appendRow(ShownLabel(row, coordinateOrder_), EditableValue(line, row));
  }
  editor()->focusFirstValue();
  line_ = std::move(line);
  typeCode_ = std::move(typeCode);
  derivCode_ = std::move(derivCode);
  version_ = version;
}

// A record without rows (an unknown layout or observation kind) keeps its
// line exactly: there is nothing to assemble it from.
void TEditForm::okClicked() {
  if (!assembleLine(false)) return;
  confirm();
}

}  // namespace quillmar
