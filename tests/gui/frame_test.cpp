// SPDX-License-Identifier: GPL-3.0-or-later
// The frame window: document numbering, Open, the exit sequence, menus,
// tool bar, splash window and the command pictures.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include "app/splash_form.h"
#include "app/startup.h"
#include "document/child_form.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"
#include "widgets/command_icons.h"

namespace quillmar::test {
namespace {

QStringList captionsOf(const QList<TChildForm*>& documents) {
  QStringList captions;
  for (const TChildForm* document : documents) captions << document->windowTitle();
  return captions;
}

// As shown: the mark of the Alt letter is no part of the text.
QStringList menuTitles(const QMenuBar& bar) {
  QStringList titles;
  for (const QAction* action : bar.actions()) titles << QString(action->text()).remove(QLatin1Char('&'));
  return titles;
}

QStringList itemTexts(const QMenu& menu) {
  QStringList texts;
  for (const QAction* action : menu.actions()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  return texts;
}

using FrameTest = GuiTest;

TEST_F(FrameTest, newDocuments_areNumberedOnward_evenAfterOneCloses) {
  for (int i = 0; i < 3; ++i) frame_->New();
  EXPECT_EQ(captionsOf(frame_->documents()), QStringList({"Новый1", "Новый2", "Новый3"}));

  ASSERT_TRUE(frame_->documents().first()->parentWidget()->close());
  deleteClosedWindows();
  frame_->New();

  EXPECT_EQ(captionsOf(frame_->documents()), QStringList({"Новый2", "Новый3", "Новый4"}));
  EXPECT_TRUE(seam_.questions.isEmpty());
}

TEST_F(FrameTest, openCancelled_leavesAnExtraEmptyWindowCalledChildForm) {
  frame_->New();
  seam_.openNames << QString();

  TChildForm* opened = frame_->Open();

  EXPECT_EQ(seam_.openFilters, QStringList({"Файлы *.qdl|*.qdl"}));
  EXPECT_EQ(frame_->documents().size(), 2);
  EXPECT_EQ(opened->windowTitle(), "ChildForm");
  EXPECT_TRUE(opened->documentState().docName.isEmpty());
  EXPECT_FALSE(opened->documentState().docStarted);
  EXPECT_FALSE(opened->documentState().docUntitled);
  EXPECT_EQ(opened->recordModel().rowCount(), 0);
}

struct ExitCase {
  const char* name;
  QList<Answer> answers;
  bool programEnds;
  bool firstSaved;
  bool secondSaved;
};

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.name; }

class ExitSequenceTest : public GuiTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(ExitSequenceTest, asksEachModifiedDocumentInTurn) {
  const ExitCase& c = GetParam();
  TChildForm* first = newDocumentWith(sampleFieldBook());
  TChildForm* second = newDocumentWith(sampleFieldBook());
  seam_.yesNoCancelAnswers = c.answers;
  // A Yes saves a new document through the save dialog.
  const auto answered = [&c](int i, Answer a) { return c.answers.size() > i && c.answers[i] == a; };
  if (answered(0, Answer::Yes)) seam_.answerSave(path("first.qdl"));
  if (answered(1, Answer::Yes)) seam_.answerSave(path("second.qdl"));

  const bool closed = frame_->close();

  EXPECT_EQ(closed, c.programEnds);
  QStringList expectedQuestions{"Сохранить изменения в Новый1"};
  if (c.answers.size() > 1) expectedQuestions << "Сохранить изменения в Новый2";
  EXPECT_EQ(seam_.questions, expectedQuestions);
  EXPECT_EQ(fileExists("first.qdl"), c.firstSaved);
  EXPECT_EQ(fileExists("second.qdl"), c.secondSaved);
  if (c.firstSaved) {
    EXPECT_EQ(readFile("first.qdl").size(), 178 * 7);
  }
  deleteClosedWindows();
  if (c.programEnds) {
    EXPECT_TRUE(frame_->documents().isEmpty());
  } else {
    EXPECT_EQ(frame_->documents(), QList<TChildForm*>({first, second}));
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, ExitSequenceTest,
                         testing::Values(ExitCase{"CancelFirst", {Answer::Cancel}, false, false, false},
                                         ExitCase{"YesThenCancel", {Answer::Yes, Answer::Cancel}, false, true, false},
                                         ExitCase{"NoThenCancel", {Answer::No, Answer::Cancel}, false, false, false},
                                         ExitCase{"YesThenNo", {Answer::Yes, Answer::No}, true, true, false},
                                         ExitCase{"NoThenNo", {Answer::No, Answer::No}, true, false, false},
                                         ExitCase{"YesThenYes", {Answer::Yes, Answer::Yes}, true, true, true}),
                         [](const testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

TEST_F(FrameTest, exit_withNothingModified_endsWithoutAQuestion) {
  frame_->New();
  frame_->New();
  EXPECT_TRUE(frame_->close());
  EXPECT_TRUE(seam_.questions.isEmpty());
}

TEST_F(FrameTest, exit_withASaveThatFails_keepsTheProgramRunning) {
  newDocumentWith(sampleFieldBook());
  seam_.yesNoCancelAnswers << Answer::Yes;
  seam_.answerSave(path("missing-folder/book.qdl"));

  EXPECT_FALSE(frame_->close());
  EXPECT_EQ(seam_.errors, QStringList({"File not found"}));
  EXPECT_EQ(frame_->documents().size(), 1);
}

TEST_F(FrameTest, exitCommandOfADocument_closesTheFrame) {
  TChildForm* document = frame_->New();
  QAction* exit = document->menus().first()->actions().last();
  ASSERT_EQ(exit->text(), "Выход");
  exit->trigger();
  deleteClosedWindows();
  EXPECT_TRUE(frame_->documents().isEmpty());
}

TEST_F(FrameTest, frame_hasItsCaptionSizeToolBarAndEmptyStatusBar) {
  frame_->show();
  EXPECT_EQ(frame_->windowTitle(), "Quillmar");
  EXPECT_EQ(frame_->size(), QSize(812, 452));
  EXPECT_EQ(frame_->toolBar().height(), 29);
  const QList<QAction*> buttons = frame_->toolBar().actions();
  ASSERT_EQ(buttons.size(), 2);
  EXPECT_EQ(buttons[0]->toolTip(), "Новый файл");
  EXPECT_EQ(buttons[1]->toolTip(), "Открыть");
  EXPECT_TRUE(frame_->statusBar()->currentMessage().isEmpty());

  buttons[0]->trigger();
  EXPECT_EQ(captionsOf(frame_->documents()), QStringList({"Новый1"}));
}

TEST_F(FrameTest, menuBar_isTheFramesUntilADocumentIsActive) {
  frame_->show();
  EXPECT_EQ(menuTitles(*frame_->menuBar()), QStringList({"Файл", "Окно", "Справка"}));
  EXPECT_EQ(itemTexts(*frame_->frameMenus()[0]), QStringList({"Новый", "Открыть", "-", "Выход"}));
  EXPECT_EQ(itemTexts(*frame_->frameMenus()[1]), QStringList({"Руководство пользователя"}));

  TChildForm* document = frame_->New();
  frame_->mdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
  EXPECT_EQ(menuTitles(*frame_->menuBar()),
            QStringList({"Файл", "Правка", "Коммуникация", "Вид", "Вычисления", "Окно", "Справка"}));
  EXPECT_EQ(itemTexts(*document->menus()[0]),
            QStringList({"Новый", "Открыть", "Сохранить", "Сохранить как", "-", "Импорт", "Экспорт", "-", "Выход"}));
  EXPECT_EQ(itemTexts(*document->menus()[1]), QStringList({"Отменить", "Повторить", "-", "Найти...", "Найти далее",
                                                           "Найти ранее", "Перейти к строке..."}));
  EXPECT_EQ(itemTexts(*document->menus()[2]), QStringList({"Загрузить", "Выгрузить"}));
  EXPECT_EQ(itemTexts(document->popupMenu()), QStringList({"Редактировать", "Удалить", "Добавить"}));

  ASSERT_TRUE(document->parentWidget()->close());
  deleteClosedWindows();
  EXPECT_EQ(menuTitles(*frame_->menuBar()), QStringList({"Файл", "Окно", "Справка"}));
}

TEST_F(FrameTest, splash_isShownOnceAboveTheFrameWithItsOwnCloseBox) {
  auto* splash = frame_->findChild<TSplashForm*>();
  ASSERT_NE(splash, nullptr);
  EXPECT_FALSE(splash->isVisible());

  frame_->show();
  QCoreApplication::processEvents();
  EXPECT_TRUE(splash->isVisible());
  // Above its frame only, so that every dialog opened later stacks above it.
  EXPECT_FALSE(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(splash->windowHandle()->transientParent(), frame_->windowHandle());
  EXPECT_TRUE(splash->windowTitle().isEmpty());
  EXPECT_EQ(splash->size(), QSize(700, 387));
  EXPECT_EQ(splash->picture().size(), QSize(700, 387));

  splash->closeBox()->click();
  EXPECT_FALSE(splash->isVisible());
  frame_->hide();
  frame_->show();
  QCoreApplication::processEvents();
  EXPECT_FALSE(splash->isVisible());
  EXPECT_EQ(frame_->findChildren<TSplashForm*>().size(), 1);
}

// The splash does not take the keyboard from the frame: Esc there hides it.
TEST_F(FrameTest, escape_hidesTheSplashAsItsCloseBoxDoes_andIsNobodysKeyAfterwards) {
  frame_->show();
  QApplication::setActiveWindow(frame_.get());
  QCoreApplication::processEvents();
  auto* splash = frame_->findChild<TSplashForm*>();
  ASSERT_TRUE(splash->isVisible());

  QTest::keyClick(frame_.get(), Qt::Key_Escape);
  EXPECT_FALSE(splash->isVisible());
  EXPECT_TRUE(frame_->isVisible());

  for (const QAction* action : frame_->actions()) EXPECT_FALSE(action->isEnabled()) << "Esc stays taken";
}

TEST_F(FrameTest, desktopCloseOfTheSplash_hidesTheSplashAlone) {
  newDocumentWith(sampleFieldBook());
  frame_->show();
  QCoreApplication::processEvents();
  auto* splash = frame_->findChild<TSplashForm*>();
  ASSERT_TRUE(splash->isVisible());
  // Alt+F4, the window menu or the window manager's close, as the window gets it.
  QCloseEvent request;
  QCoreApplication::sendEvent(splash->windowHandle(), &request);
  QCoreApplication::processEvents();

  EXPECT_FALSE(splash->isVisible());
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_EQ(frame_->documents().size(), 1);
  EXPECT_TRUE(seam_.questions.isEmpty());
  EXPECT_FALSE(splash->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
}

struct FrameCloseCase {
  const char* name;
  QList<Answer> answers;
  int loopResult;  // kStillRunning when the frame stays
};
constexpr int kStillRunning = 7;

void PrintTo(const FrameCloseCase& c, std::ostream* out) { *out << c.name; }

class FrameCloseTest : public GuiTest, public testing::WithParamInterface<FrameCloseCase> {};

TEST_P(FrameCloseTest, theLoopEndsExactlyWhenTheFrameCloses) {
  const FrameCloseCase& c = GetParam();
  if (!c.answers.isEmpty()) newDocumentWith(sampleFieldBook());
  seam_.yesNoCancelAnswers = c.answers;
  frame_->show();
  QTimer::singleShot(0, frame_.get(), [this] { frame_->close(); });
  QTimer::singleShot(300, qApp, [] { QCoreApplication::exit(kStillRunning); });

  EXPECT_EQ(runUntilFrameCloses(*frame_), c.loopResult);
  EXPECT_EQ(frame_->isVisible(), c.loopResult == kStillRunning);
  // The splash is still up when the frame goes: it keeps nothing alive.
  EXPECT_EQ(frame_->findChild<TSplashForm*>()->isVisible(), true);
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameCloseTest,
                         testing::Values(FrameCloseCase{"NoDocument", {}, 0},
                                         FrameCloseCase{"ModifiedAnsweredNo", {Answer::No}, 0},
                                         FrameCloseCase{"ModifiedAnsweredCancel", {Answer::Cancel}, kStillRunning}),
                         [](const testing::TestParamInfo<FrameCloseCase>& info) { return info.param.name; });

QImage pictureOf(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

TEST(CommandIcons, aCommandHasTheSamePictureInBothSetsAndEachPictureIsItsOwn) {
  const QList<QIcon> frame = frameIcons();
  const QList<QIcon> document = documentIcons();
  ASSERT_EQ(frame.size(), 10);
  ASSERT_EQ(document.size(), 13);
  for (int i = 0; i < document.size(); ++i) {
    SCOPED_TRACE(i);
    const QImage picture = pictureOf(document[i]);
    EXPECT_EQ(picture.size(), QSize(16, 16));
    if (i < frame.size()) {
      EXPECT_EQ(pictureOf(frame[i]), picture);
    }
    for (int j = 0; j < i; ++j) EXPECT_NE(pictureOf(document[j]), picture) << "same as " << j;
  }
}

}  // namespace
}  // namespace quillmar::test
