#include "editing/widgets/dialog_support.h"

#include <QRect>
#include <QWidget>

namespace quillmar {

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
