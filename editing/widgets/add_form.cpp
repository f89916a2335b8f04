#include "editing/widgets/add_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>

#include "editing/field_rows.h"
#include "editing/widgets/dialog_support.h"
#include "editing/widgets/parameter_table.h"
#include "widgets/text_codec.h"

namespace quillmar {

namespace {
constexpr int kWidth = 300;
constexpr int kHeight = 430;
constexpr int kLabelColumn = 128;
constexpr int kValueColumn = 123;
constexpr int kFirstFieldRow = 2;  // after "Type code" and "Derivation code"

QString kindName(const RecordKind& kind) { return cp1251ToQString(kind.name); }
}  // namespace

TAddForm::TAddForm(QWidget* parent) : QDialog(parent, kCloseBoxOnly) {
  setWindowTitle(QStringLiteral("Добавление"));
  auto* kindLabel = new QLabel(QStringLiteral("Тип записи"), this);
  kindBox_ = new QComboBox(this);
  kindBox_->setEditable(true);
  kindBox_->setInsertPolicy(QComboBox::NoInsert);
  // Completion would turn a typed "S" into "STN" and choose a kind unasked.
  kindBox_->setCompleter(nullptr);
  for (const RecordKind& kind : RecordKinds()) kindBox_->addItem(kindName(kind));
  kindBox_->setCurrentIndex(-1);
  kindBox_->clearEditText();
  parts_ = addRecordDialogParts(*this, kLabelColumn, kValueColumn, QStringLiteral("ОК"));  // Cyrillic О and К
  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(kindLabel);
  kindRow->addWidget(kindBox_, 1);
  parts_.layout->insertLayout(0, kindRow);
  setTabOrder(kindBox_, parts_.editor);

  connect(kindBox_, &QComboBox::editTextChanged, this, &TAddForm::chooseKind);
  // Return after typing a kind goes on to its first field rather than adding a blank record.
  connect(kindBox_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    if (parts_.editor->rowCount() > kFirstFieldRow) parts_.editor->setCurrentCell(kFirstFieldRow, 1);
    parts_.editor->setFocus();
  });
  connect(parts_.okButton, &QPushButton::clicked, this, &TAddForm::okClicked);
  connect(parts_.cancelButton, &QPushButton::clicked, this, &TAddForm::cancelClicked);
  resize(kWidth, kHeight);
}

// Without a known layout no line can be assembled, and the line of an
// earlier "ОК" must not become this record: "ОК" stays unavailable.
void TAddForm::setVersion(char version) {
  version_ = version;
  const bool usable = HasLayout(version);
  parts_.okButton->setEnabled(usable);
  if (usable) {
    clearStatus(parts_);
  } else {
    showStatus(QStringLiteral("У выбранной строки нет формата SDR (версии 2 или 3): "
                              "запись не может быть добавлена здесь."));
  }
}

void TAddForm::chooseKind(const QString& text) {
  parts_.editor->clearRows();
  const std::optional<std::string> name = qStringToCp1251(text);
  const RecordKind* kind = name ? FindRecordKind(*name) : nullptr;
  if (kind == nullptr) return;
  kindTypeCode_ = std::string(kind->typeCode);
  kindDerivCode_ = std::string(kind->derivCode);
  parts_.editor->appendRow(kTypeCodeLabel, kind->typeCode);
  parts_.editor->appendRow(kDerivCodeLabel, kind->derivCode);
  for (std::string_view label : KindFieldLabels(*kind)) parts_.editor->appendRow(label, {});
}

bool TAddForm::assembleLine() {
  const auto rows = FieldRows(kindTypeCode_, version_, kindDerivCode_);
  if (rows.empty()) return true;  // no kind chosen yet: nothing to assemble
  parts_.editor->commitOpenEditor();
  const ParameterTable::Values values = parts_.editor->valuesByLabel(rows.size() + 2);
  if (values.unencodableRow >= 0) {
    showStatus(unencodableValueMessage(parts_.editor->labelAt(values.unencodableRow)));
    parts_.editor->setCurrentCell(values.unencodableRow, 1);
    return false;
  }
  const std::span<const std::string> fields(values.bytes.begin() + 2, values.bytes.end());
  line_ = AssembleLine(values.bytes[0], values.bytes[1], rows, fields);
  return true;
}

void TAddForm::okClicked() {
  if (!HasLayout(version_) || !assembleLine()) return;
  clearStatus(parts_);
  confirmed_ = true;
  accept();
}

void TAddForm::cancelClicked() { reject(); }

void TAddForm::reject() {
  confirmed_ = false;
  QDialog::reject();
}

void TAddForm::showStatus(const QString& text) {
  parts_.statusLabel->setText(text);
  parts_.statusLabel->show();
}

void TAddForm::showEvent(QShowEvent* event) {
  centreOnParentWindow(*this);
  QDialog::showEvent(event);
}

}  // namespace quillmar
