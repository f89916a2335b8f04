#include "link/widgets/show_message.h"

#include <QApplication>
#include <QMessageBox>

namespace quillmar {

ShowMessage messageBoxShower() {
  return [](QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationName(), text);
  };
}

}  // namespace quillmar
