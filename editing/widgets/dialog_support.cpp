#include "editing/widgets/dialog_support.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QVBoxLayout>
#include <QWidget>

#include "editing/widgets/parameter_table.h"

namespace quillmar {

RecordDialogParts addRecordDialogParts(QDialog& dialog, int labelColumn, int valueColumn, const QString& okText) {
  RecordDialogParts parts;
  parts.editor = new ParameterTable(labelColumn, valueColumn, &dialog);
  parts.statusLabel = new QLabel(&dialog);
  parts.statusLabel->setWordWrap(true);
  parts.statusLabel->setStyleSheet(QStringLiteral("color: #b00000"));
  parts.statusLabel->hide();
  parts.cancelButton = new QPushButton(QStringLiteral("Отмена"), &dialog);
  parts.okButton = new QPushButton(okText, &dialog);
  // Return outside a cell being edited confirms; Return in a cell only ends its edit.
  parts.okButton->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(parts.cancelButton);
  buttons->addWidget(parts.okButton);
  parts.layout = new QVBoxLayout(&dialog);
  parts.layout->addWidget(parts.editor, 1);
  parts.layout->addWidget(parts.statusLabel);
  parts.layout->addLayout(buttons);
  QWidget::setTabOrder(parts.editor, parts.okButton);
  QWidget::setTabOrder(parts.okButton, parts.cancelButton);
  return parts;
}

void clearStatus(const RecordDialogParts& parts) {
  parts.statusLabel->clear();
  parts.statusLabel->hide();
}

QString unencodableValueMessage(const QString& label) {
  return QStringLiteral("Значение «%1» содержит знаки, которых нет в кодировке Windows-1251. "
                        "Исправьте его.")
      .arg(label);
}

void centreOnParentWindow(QWidget& dialog) {
  const QWidget* parent = dialog.parentWidget();
  if (parent == nullptr) return;
  const QRect host = parent->window()->frameGeometry();
  const QRect own = dialog.frameGeometry();
  dialog.move(host.center() - QPoint(own.width() / 2, own.height() / 2));
}

}  // namespace quillmar
