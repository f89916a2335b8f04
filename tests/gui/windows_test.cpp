// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as they are worked in by keyboard: document windows cascade,
// the "Окно" menu, the standard shortcuts, and Return in the edit dialog.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include "app/startup.h"
#include "document/child_form.h"
#include "document/record_list_model.h"
#include "editing/widgets/edit_form.h"
#include "editing/widgets/parameter_table.h"
#include "gui_fixture.h"
#include "widgets/dialog_seam.h"

namespace quillmar::test {
namespace {

using WindowsTest = GuiTest;

QAction* actionNamed(const QList<QMenu*>& menus, const QString& text) {
  for (const QMenu* menu : menus)
    for (QAction* action : menu->actions())
      if (action->text() == text) return action;
  return nullptr;
}

TEST_F(WindowsTest, newWindows_cascadeInsideTheFrame) {
  frame_->show();
  for (int i = 0; i < 3; ++i) frame_->New();
  const auto windows = frame_->mdiArea().subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(windows.size(), 3);
  const QRect area = frame_->mdiArea().viewport()->rect();
  for (int i = 1; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_GT(windows[i]->x(), windows[i - 1]->x());
    EXPECT_GT(windows[i]->y(), windows[i - 1]->y());
    EXPECT_TRUE(area.contains(windows[i]->geometry())) << "cut off by the frame";
  }
}

TEST_F(WindowsTest, windowMenu_listsTheDocumentsAndActivatesTheOneChosen) {
  frame_->show();
  TChildForm* first = frame_->New();
  frame_->New();
  QMenu& menu = frame_->windowMenu();
  emit menu.aboutToShow();
  QAction* entry = actionNamed({&menu}, QStringLiteral("&1 Новый1"));
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(entry->isChecked());
  entry->trigger();
  EXPECT_EQ(frame_->activeDocument(), first);
}

struct ShortcutCase {
  const char* command;
  QKeySequence::StandardKey key;
};

TEST_F(WindowsTest, fileCommands_carryThePlatformsStandardShortcuts) {
  TChildForm* document = frame_->New();
  const ShortcutCase cases[] = {
      {"Новый", QKeySequence::New},      {"Открыть", QKeySequence::Open},
      {"Сохранить", QKeySequence::Save}, {"Сохранить как", QKeySequence::SaveAs},
      {"Выход", QKeySequence::Quit},     {"Руководство пользователя", QKeySequence::HelpContents}};
  for (const auto& [command, key] : cases) {
    SCOPED_TRACE(command);
    for (const QList<QMenu*>& menus : {document->menus(), frame_->frameMenus()}) {
      const QAction* action = actionNamed(menus, QString::fromUtf8(command));
      if (action == nullptr) continue;  // the frame has no Save
      const QList<QKeySequence> standard = QKeySequence::keyBindings(key);
      if (standard.isEmpty())
        EXPECT_FALSE(action->shortcut().isEmpty());  // a stand-in key
      else
        EXPECT_EQ(action->shortcut(), standard.first());
    }
  }
}

TEST_F(WindowsTest, returnInACellThenReturnAgain_keepsTheTypedValue) {
  frame_->show();
  TChildForm* document = newDocumentWith(sampleFieldBook());
  QTreeView& list = document->listView();
  QApplication::setActiveWindow(frame_.get());
  list.setFocus();
  list.setCurrentIndex(document->recordModel().index(2));  // the station
  QTimer::singleShot(0, [this] {
    QApplication::setActiveWindow(shared_.editForm);
    ParameterTable& editor = *shared_.editForm->editor();
    editor.editItem(editor.item(0, 1));
    auto* cell = editor.findChild<QLineEdit*>();
    ASSERT_NE(cell, nullptr);
    cell->setText(QStringLiteral("P9"));
    QTest::keyClick(cell, Qt::Key_Return);  // ends the cell's edit only
    QApplication::processEvents();
    ASSERT_TRUE(shared_.editForm->isVisible());
    QTest::keyClick(&editor, Qt::Key_Return);  // confirms the dialog
  });
  QTest::keyClick(&list, Qt::Key_Return);  // Return on the row edits it
  EXPECT_TRUE(shared_.editForm->confirmed());
  EXPECT_EQ(document->recordModel().list().record(2).body.str().substr(4, 16), std::string(14, ' ') + "P9");
  EXPECT_TRUE(document->documentState().docModified);
}

TEST_F(WindowsTest, whileACommandRuns_noOtherStartsAndTheWindowStaysOpen) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  document->listView().setCurrentIndex(document->recordModel().index(1));
  QAction* save = actionNamed(document->menus(), QStringLiteral("Сохранить"));
  bool checked = false;
  seam_.whileAskingForAFile = [&] {
    if (checked) return;
    checked = true;
    EXPECT_TRUE(document->isBusy());
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(document->deleteAction().isEnabled());
    document->DeleteClick();  // asks nothing and deletes nothing
    document->ImportClick();  // no second file dialog
    EXPECT_FALSE(document->parentWidget()->close());
  };
  seam_.cancelSave();
  document->N13Click();  // "Экспорт"

  EXPECT_TRUE(checked);
  EXPECT_TRUE(seam_.questions.isEmpty());
  EXPECT_EQ(seam_.saveRequests.size(), 1);
  EXPECT_EQ(document->recordModel().rowCount(), static_cast<int>(sampleFieldBook().size()));
  EXPECT_FALSE(document->isBusy());
  EXPECT_TRUE(save->isEnabled());
  EXPECT_TRUE(document->deleteAction().isEnabled());
}

struct DoubtfulOpenCase {
  const char* name;
  Answer answer;
  int rows;       // rows in the window afterwards
  bool imported;  // the window holds the field book's records
};

TEST_F(WindowsTest, openingAFieldBook_asksFirstAndNeverSavesOverIt) {
  const QByteArray fieldBook = sdrText(sampleFieldBook());
  const DoubtfulOpenCase cases[] = {
      {"import instead", Answer::Yes, static_cast<int>(sampleFieldBook().size()), true},
      {"open as records all the same", Answer::No, -1, false},
      {"do not open", Answer::Cancel, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(QStringLiteral("book.sdr"), fieldBook);
    seam_.openNames << path(QStringLiteral("book.sdr"));
    seam_.yesNoCancelAnswers << c.answer;
    TChildForm* document = frame_->Open();
    ASSERT_EQ(seam_.questions.size(), 1);
    EXPECT_TRUE(seam_.questions.takeFirst().contains(QStringLiteral("не похож на файл записей")));
    if (c.rows >= 0) {
      EXPECT_EQ(document->recordModel().rowCount(), c.rows);
    }
    if (c.imported) {
      EXPECT_EQ(document->windowTitle(), path(QStringLiteral("book.qdl")));
      EXPECT_EQ(document->recordModel().list().record(0).body.str().substr(0, 4), "00NM");
    }
    if (c.answer != Answer::Cancel) {
      seam_.cancelSave();
      EXPECT_EQ(document->Save(), SaveResult::Cancelled);
      EXPECT_EQ(seam_.saveRequests.size(), 1);
      seam_.saveRequests.clear();
    }
    EXPECT_EQ(readFile(QStringLiteral("book.sdr")), fieldBook);
    EXPECT_FALSE(fileExists(QStringLiteral("book.qdl")));
    closeDocument(*document);  // else the next case finds the file open in it
  }
}

// The program is Russian under any locale: the toolkit's dialogs too.
TEST(ToolkitTranslations, anEnglishLocaleStillGetsTheToolkitsRussianTexts) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  auto& app = *qApp;
  EXPECT_TRUE(installToolkitTranslations(app));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), "Открыть");

  // The confirmation box keeps its title; its buttons speak Russian.
  QString title;
  QStringList buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    for (const QAbstractButton* button : box->buttons()) buttons << button->text().remove(QLatin1Char('&'));
    box->button(QMessageBox::No)->click();
  });
  QtDialogSeam seam;
  EXPECT_FALSE(seam.confirmYesNo(nullptr, QStringLiteral("Удалить запись ?")));
  EXPECT_EQ(title, "Confirm");
  buttons.sort();
  EXPECT_EQ(buttons, QStringList({"Да", "Нет"}));

  qDeleteAll(app.findChildren<QTranslator*>());
  QLocale::setDefault(previous);
}

}  // namespace
}  // namespace quillmar::test
