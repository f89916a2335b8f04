// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/dialog_support.h"

namespace quillmar {

QString unencodableValueMessage(const QString& label) {
  return QStringLiteral(
             "Значение «%1» содержит знаки, которых нет в кодировке Windows-1251. "
             "Исправьте его.")
      .arg(label);
}

QString tooLongNumberMessage(const QString& label, const QString& value, std::size_t width) {
  return QStringLiteral(
             "Значение «%1» (%2) не помещается в поле шириной %3 знаков, даже округлённое: "
             "обрезанное, оно стало бы другим числом. Исправьте его.")
      .arg(label, value)
      .arg(width);
}

QString roundingLine(const QString& label, const QString& value, const QString& rounded) {
  return QStringLiteral("%1: %2 → %3").arg(label, value, rounded);
}

QString roundingQuestion(const QStringList& roundingLines) {
  return QStringLiteral("Не помещаются в свои поля, лишние знаки после точки будут отброшены с округлением:\n") +
         roundingLines.join(QLatin1Char('\n')) + QStringLiteral("\n\nОкруглить?");
}

}  // namespace quillmar
