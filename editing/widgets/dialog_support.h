// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the edit and add dialogs share besides RecordDialog: the message for
// a value Windows-1251 cannot hold and their window flags.

#include <QString>
#include <QStringList>
#include <Qt>

#include <cstddef>

namespace quillmar {

// Why a value of the row `label` was refused.
QString unencodableValueMessage(const QString& label);

// Why a number was refused: even rounded it does not fit its field.
QString tooLongNumberMessage(const QString& label, const QString& value, std::size_t width);
// "E: 1234.567891 → 1234.56789", one line of the question before rounding.
QString roundingLine(const QString& label, const QString& value, const QString& rounded);
QString roundingQuestion(const QStringList& roundingLines);

// A dialog window with a caption and a close box, nothing else.
inline constexpr Qt::WindowFlags kCloseBoxOnly =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

}  // namespace quillmar
