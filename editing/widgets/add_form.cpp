#include "editing/widgets/add_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/text_codec.h"
#include "editing/field_rows.h"
#include "editing/widgets/dialog_support.h"
#include "editing/widgets/parameter_table.h"

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
  editor_ = new ParameterTable(kLabelColumn, kValueColumn, this);
  statusLabel_ = new QLabel(this);
  statusLabel_->setWordWrap(true);
  statusLabel_->setStyleSheet(QStringLiteral("color: #b00000"));
  statusLabel_->hide();
  cancelButton_ = new QPushButton(QStringLiteral("Отмена"), this);
  okButton_ = new QPushButton(QStringLiteral("ОК"), this);  // Cyrillic О and К
  okButton_->setDefault(true);

  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(kindLabel);
  kindRow->addWidget(kindBox_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton_);
  buttons->addWidget(okButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(kindRow);
  layout->addWidget(editor_, 1);
  layout->addWidget(statusLabel_);
  layout->addLayout(buttons);
  setTabOrder(kindBox_, editor_);
  setTabOrder(editor_, okButton_);
  setTabOrder(okButton_, cancelButton_);

  connect(kindBox_, &QComboBox::editTextChanged, this, &TAddForm::chooseKind);
  // Return after typing a kind goes on to its first field rather than adding a blank record.
  connect(kindBox_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    if (editor_->rowCount() > kFirstFieldRow) editor_->setCurrentCell(kFirstFieldRow, 1);
    editor_->setFocus();
  });
  connect(okButton_, &QPushButton::clicked, this, &TAddForm::okClicked);
  connect(cancelButton_, &QPushButton::clicked, this, &TAddForm::cancelClicked);
  resize(kWidth, kHeight);
}

// Without a known layout no line can be assembled, and the line of an
// earlier "ОК" must not become this record: "ОК" stays unavailable.
void TAddForm::setVersion(char version) {
  version_ = version;
  const bool usable = HasLayout(version);
  okButton_->setEnabled(usable);
  if (usable) {
    statusLabel_->clear();
    statusLabel_->hide();
  } else {
    showStatus(QStringLiteral("У выбранной строки нет формата SDR (версии 2 или 3): "
                              "запись не может быть добавлена здесь."));
  }
}

void TAddForm::chooseKind(const QString& text) {
  editor_->clearRows();
  const RecordKind* kind = nullptr;
  for (const RecordKind& candidate : RecordKinds()) {
    if (kindName(candidate) == text) kind = &candidate;
  }
  if (kind == nullptr) return;
  kindTypeCode_ = std::string(kind->typeCode);
  kindDerivCode_ = std::string(kind->derivCode);
  editor_->appendRow(kTypeCodeLabel, kind->typeCode);
  editor_->appendRow(kDerivCodeLabel, kind->derivCode);
  for (std::string_view label : KindFieldLabels(*kind)) editor_->appendRow(label, {});
}

bool TAddForm::assembleLine() {
  const auto rows = FieldRows(kindTypeCode_, version_, kindDerivCode_);
  if (rows.empty()) return true;  // no kind chosen yet: nothing to assemble
  editor_->commitOpenEditor();
  const ParameterTable::Values values = editor_->valuesByLabel(rows.size() + 2);
  if (values.unencodableRow >= 0) {
    showStatus(unencodableValueMessage(editor_->labelAt(values.unencodableRow)));
    editor_->setCurrentCell(values.unencodableRow, 1);
    return false;
  }
  const std::span<const std::string> fields(values.bytes.begin() + 2, values.bytes.end());
  line_ = AssembleLine(values.bytes[0], values.bytes[1], rows, fields);
  return true;
}

void TAddForm::okClicked() {
  if (!HasLayout(version_) || !assembleLine()) return;
  statusLabel_->clear();
  statusLabel_->hide();
  confirmed_ = true;
  accept();
}

void TAddForm::cancelClicked() { reject(); }

void TAddForm::reject() {
  confirmed_ = false;
  QDialog::reject();
}

void TAddForm::showStatus(const QString& text) {
  statusLabel_->setText(text);
  statusLabel_->show();
}

void TAddForm::showEvent(QShowEvent* event) {
  centreOnParentWindow(*this);
  QDialog::showEvent(event);
}

}  // namespace quillmar
