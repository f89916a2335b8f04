// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the edit and add dialogs share besides RecordDialog: the message for
// a value Windows-1251 cannot hold and their window flags.

#include <QString>
#include <Qt>

namespace quillmar {

// Why a value of the row `label` was refused.
QString unencodableValueMessage(const QString& label);

// A dialog window with a caption and a close box, nothing else.
inline constexpr Qt::WindowFlags kCloseBoxOnly =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

}  // namespace quillmar
