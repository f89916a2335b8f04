#include <QApplication>

#include "app/command_icons.h"
#include "app/main_form.h"
#include "app/startup.h"
#include "document/dialog_seam.h"
#include "document/program_state.h"
#include "document/shared_windows.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillmar"));
  QApplication::setWindowIcon(quillmar::applicationIcon());
  // Lets the desktop match the windows to quillmar.desktop and its icon.
  QApplication::setDesktopFileName(QStringLiteral("quillmar"));
  quillmar::installToolkitTranslations(app);

  quillmar::ProgramState program;
  quillmar::SharedWindows shared;
  quillmar::QtDialogSeam seam;
  const auto frame = quillmar::createLongLivedWindows(program, shared, seam);
  frame->show();
  return QApplication::exec();
}
