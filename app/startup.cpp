// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/main_form.h"
#include "app/splash_form.h"
#include "document/program_state.h"
#include "document/shared_windows.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/edit_form.h"
#include "help/intern_form.h"
#include "link/widgets/comm_set_dialog.h"
#include "link/widgets/zagruz_form.h"
#include "widgets/dialog_seam.h"
#include "widgets/user_settings.h"

namespace quillmar {

std::unique_ptr<TMainForm> createLongLivedWindows(ProgramState& program, SharedWindows& shared, DialogSeam& seam) {
  // The order is fixed: frame, port settings, reception, splash, edit, add, help.
  auto frame = std::make_unique<TMainForm>(program, shared, seam);
  shared.commSet = new TCommSet(frame.get(), QString::fromLatin1(kCommSetFileName), seam, userSettings());
  shared.zagruzForm =
      new TZagruzForm(frame.get(), *shared.commSet,
                      ReceptionTarget{program.lineBuffer, program.lineCount, program.receptionDone}, seam);
  frame->setSplashForm(new TSplashForm(frame.get()));
  shared.editForm = new TEditForm(frame.get());
  shared.addForm = new TAddForm(frame.get());
  shared.internForm = new TInternForm(frame.get());
  return frame;
}

int runUntilFrameCloses(TMainForm& frame) {
  QApplication::setQuitOnLastWindowClosed(false);
  // Queued: the frame finishes its close before the loop ends.
  const QMetaObject::Connection ending = QObject::connect(
      &frame, &TMainForm::frameClosed, qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  const int result = QApplication::exec();
  QObject::disconnect(ending);
  return result;
}

bool installToolkitTranslations(QApplication& app) {
  auto* toolkit = new QTranslator(&app);
  // The program speaks Russian under any locale, its file dialogs and standard buttons too.
  if (!toolkit->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete toolkit;
    return false;
  }
  return QApplication::installTranslator(toolkit);
}

}  // namespace quillmar
