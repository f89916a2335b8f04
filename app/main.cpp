// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QSettings>
#include <QStringList>
#include <QTimer>

#include "app/main_form.h"
#include "app/startup.h"
#include "document/program_state.h"
#include "document/recent_files.h"
#include "document/shared_windows.h"
#include "widgets/command_icons.h"
#include "widgets/dialog_seam.h"

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
  quillmar::RecentFiles recentFiles(quillmar::RecentFiles::userSettings());
  shared.recentFiles = &recentFiles;
  const auto frame = quillmar::createLongLivedWindows(program, shared, seam);
  frame->show();
  // Files named on the command line (Qt has taken its own options out),
  // once the frame is up.
  const QStringList files = QApplication::arguments().mid(1);
  QTimer::singleShot(0, frame.get(), [&frame, files] { frame->OpenPaths(files); });
  return quillmar::runUntilFrameCloses(*frame);
}
