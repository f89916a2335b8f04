#pragma once
// What the edit and add dialogs share at the widget boundary: Windows-1251
// conversion and placement over the main window.

#include <QString>
#include <Qt>

#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace quillmar {

QString fromWindows1251(std::string_view bytes);

// The Windows-1251 bytes of `text`, or nothing when a character has no
// Windows-1251 byte: such text is refused, never stored as '?'.
std::optional<std::string> toWindows1251(const QString& text);

// Why a value of the row `label` was refused.
QString unencodableValueMessage(const QString& label);

// A dialog window with a caption and a close box, nothing else.
inline constexpr Qt::WindowFlags kCloseBoxOnly = Qt::Dialog | Qt::CustomizeWindowHint |
                                                 Qt::WindowTitleHint |
                                                 Qt::WindowCloseButtonHint;

// Moves `dialog` so that it stands centred over its parent's window.
void centreOnParentWindow(QWidget& dialog);

}  // namespace quillmar
