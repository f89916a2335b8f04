// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/dialog_support.h"

namespace quillmar {

QString unencodableValueMessage(const QString& label) {
  return QStringLiteral(
             "Значение «%1» содержит знаки, которых нет в кодировке Windows-1251. "
             "Исправьте его.")
      .arg(label);
}

}  // namespace quillmar
