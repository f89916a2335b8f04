// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: one window, navigated to help.htm of the current
// directory, laid out from its outer size.

#include <QDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include "gui_fixture.h"
#include "help/intern_form.h"

namespace quillmar::test {
namespace {

using HelpTest = GuiTest;

TEST_F(HelpTest, showManual_loadsHelpOfTheCurrentDirectory) {
  writeFile("help.htm", "<html><body><h1>Manual page</h1></body></html>");
  TInternForm& help = *shared_.internForm;
  EXPECT_FALSE(help.isVisible());

  help.ShowManual();

  EXPECT_TRUE(help.isVisible());
  EXPECT_EQ(help.windowTitle(), "Справка");
  EXPECT_EQ(help.WebBrowser1().source(), QUrl::fromLocalFile(path("help.htm")));
  EXPECT_TRUE(help.WebBrowser1().toPlainText().contains("Manual page"));
}

TEST_F(HelpTest, showManualTwice_reusesTheWindowAndReadsTheFileAgain) {
  writeFile("help.htm", "<p>first</p>");
  shared_.internForm->ShowManual();
  writeFile("help.htm", "<p>second</p>");
  shared_.internForm->ShowManual();

  EXPECT_EQ(frame_->findChildren<TInternForm*>().size(), 1);
  EXPECT_TRUE(shared_.internForm->WebBrowser1().toPlainText().contains("second"));
}

TEST_F(HelpTest, missingHelpFile_stillOpensTheWindow) {
  shared_.internForm->ShowManual();
  EXPECT_TRUE(shared_.internForm->isVisible());
  EXPECT_TRUE(shared_.internForm->WebBrowser1().toPlainText().contains("help.htm"));
}

TEST_F(HelpTest, escape_closesTheHelpWindow) {
  writeFile("help.htm", "<p>page</p>");
  TInternForm& help = *shared_.internForm;
  help.ShowManual();
  help.WebBrowser1().setFocus();

  QTest::keyClick(&help.WebBrowser1(), Qt::Key_Escape);

  EXPECT_FALSE(help.isVisible());
}

// The rule measures the window from outside, its borders and caption included.
TEST_F(HelpTest, viewer_followsTheWindowsOuterSize) {
  TInternForm& help = *shared_.internForm;
  help.ShowManual();
  const QSize decorations = help.frameGeometry().size() - help.size();
  EXPECT_EQ(help.size(), QSize(696, 480));
  EXPECT_EQ(help.WebBrowser1().geometry(), QRect(QPoint(8, 16), help.frameGeometry().size() - QSize(20, 50)));

  help.resize(QSize(800, 600) - decorations);

  ASSERT_EQ(help.frameGeometry().size(), QSize(800, 600));
  EXPECT_EQ(help.WebBrowser1().geometry(), QRect(8, 16, 780, 550));
}

}  // namespace
}  // namespace quillmar::test
