#pragma once
// How the link windows show a message box; tests answer it by script, the
// program shows it through its dialog seam.

#include <QString>

#include <functional>

class QWidget;

namespace quillmar {

using ShowMessage = std::function<void(QWidget* parent, const QString& text)>;

// A plain QMessageBox.
ShowMessage messageBoxShower();

}  // namespace quillmar
