// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/add_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>

#include "editing/field_rows.h"
#include "editing/widgets/parameter_table.h"
#include "widgets/text_codec.h"

namespace quillmar {

namespace {
constexpr RecordDialogGeometry kGeometry{300, 430, 128, 123};
constexpr int kFirstFieldRow = 2;  // after "Type code" and "Derivation code"

QString kindName(const RecordKind& kind) { return cp1251ToQString(kind.name); }
}  // namespace

// "ОК" in Cyrillic letters.
TAddForm::TAddForm(QWidget* parent)
    : RecordDialog(parent, QStringLiteral("Добавление"), QStringLiteral("ОК"), kGeometry) {
  codeRows_ = kFirstFieldRow;
  auto* kindLabel = new QLabel(QStringLiteral("Тип записи"), this);
  kindBox_ = new QComboBox(this);
  kindBox_->setEditable(true);
  kindBox_->setInsertPolicy(QComboBox::NoInsert);
  // Completion would turn a typed "S" into "STN" and choose a kind unasked.
  kindBox_->setCompleter(nullptr);
  for (const RecordKind& kind : RecordKinds()) kindBox_->addItem(kindName(kind));
  kindBox_->setCurrentIndex(-1);
  kindBox_->clearEditText();
  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(kindLabel);
  kindRow->addWidget(kindBox_, 1);
  layout()->insertLayout(0, kindRow);
  setTabOrder(kindBox_, editor());

  connect(kindBox_, &QComboBox::editTextChanged, this, &TAddForm::chooseKind);
  // Return after typing a kind goes on to its first field rather than adding a blank record.
  kindBox_->installEventFilter(this);
  kindBox_->lineEdit()->installEventFilter(this);
  connect(okButton(), &QPushButton::clicked, this, &TAddForm::okClicked);
}

// The kind is chosen first, every time: Return then goes on to the rows
// rather than adding a copy of the last record with "ОК".
void TAddForm::showEvent(QShowEvent* event) {
  RecordDialog::showEvent(event);
  kindBox_->setFocus();
  kindBox_->lineEdit()->selectAll();
}

bool TAddForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return RecordDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return RecordDialog::eventFilter(watched, event);
  if (editor()->rowCount() > kFirstFieldRow) editor()->setCurrentCell(kFirstFieldRow, 1);
  editor()->setFocus();
  return true;
}

// Without a known layout no line can be assembled, and the line of an
// earlier "ОК" must not become this record: "ОК" stays unavailable.
void TAddForm::setVersion(char version) {
  version_ = version;
  const bool usable = HasLayout(version);
  okButton()->setEnabled(usable);
  if (usable) {
    clearStatus();
  } else {
    showStatus(
        QStringLiteral("У выбранной строки нет формата SDR (версии 2 или 3): "
                       "запись не может быть добавлена здесь."));
  }
}

void TAddForm::chooseKind(const QString& text) {
  editor()->clearRows();
  const std::optional<std::string> name = qStringToCp1251(text);
  const RecordKind* kind = name ? FindRecordKind(*name) : nullptr;
  if (kind == nullptr) return;
  typeCode_ = std::string(kind->typeCode);
  derivCode_ = std::string(kind->derivCode);
  editor()->appendRow(kTypeCodeLabel, kind->typeCode);
  editor()->appendRow(kDerivCodeLabel, kind->derivCode);
  for (std::string_view label : KindFieldLabels(*kind, coordinateOrder_)) editor()->appendRow(label, {});
}

void TAddForm::okClicked() {
  if (!HasLayout(version_) || !assembleLine(true)) return;
  clearStatus();
  confirm();
}

}  // namespace quillmar
