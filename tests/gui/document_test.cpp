// SPDX-License-Identifier: GPL-3.0-or-later
// The document window: popup enabling, delete, the close question and the
// layout of its list.

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTreeView>

#include "document/child_form.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"
#include "help/intern_form.h"

namespace quillmar::test {
namespace {

class DocumentTest : public GuiTest {
 protected:
  static void select(TChildForm& document, int row) {
    QTreeView& view = document.listView();
    view.selectionModel()->select(view.model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
  }
  static QString enabled(TChildForm& document) {
    QString flags;
    flags += document.editAction().isEnabled() ? 'E' : '-';
    flags += document.deleteAction().isEnabled() ? 'D' : '-';
    flags += document.addAction().isEnabled() ? 'A' : '-';
    return flags;
  }
  static bool closeWindow(TChildForm& document) { return document.parentWidget()->close(); }
};

struct SelectCase {
  std::string line;
  const char* expected;  // Редактировать, Удалить, Добавить
};

TEST_F(DocumentTest, popup_isEnabledByTheSelectedRowsTypeCode) {
  const std::vector<SelectCase> cases{
      {"00NMSDR33 V04-04.02", "-DA"}, {"01NM:SET600", "-DA"}, {"02TS  ST1", "EDA"},
      {"03NM1.600", "EDA"},           {"08KI  P1", "EDA"},    {"09F1  ST1", "EDA"},
      {"09MC  ST1", "EDA"},           {"10NMJOB1", "-DA"},    {"13NMnote", "-DA"},
      {"2 not a station", "-DA"},     {"8", "-DA"},           {"9", "-DA"},
  };
  std::vector<std::string> lines;
  for (const auto& c : cases) lines.push_back(c.line);
  TChildForm* document = newDocumentWith(lines);
  ASSERT_EQ(document->recordModel().rowCount(), static_cast<int>(cases.size()));
  EXPECT_EQ(enabled(*document), "---");

  for (std::size_t row = 0; row < cases.size(); ++row) {
    SCOPED_TRACE(cases[row].line);
    select(*document, static_cast<int>(row));
    EXPECT_EQ(enabled(*document), cases[row].expected);
  }
  document->listView().clearSelection();
  EXPECT_EQ(enabled(*document), "---");
}

TEST_F(DocumentTest, emptyDocument_hasNoPopupCommands) {
  TChildForm* document = frame_->New();
  EXPECT_EQ(enabled(*document), "---");
}

TEST_F(DocumentTest, deleteConfirmed_removesTheRowAndLeavesNothingSelected) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  select(*document, 5);
  seam_.yesNoAnswers << true;

  document->deleteAction().trigger();

  EXPECT_EQ(seam_.questions, QStringList({"Удалить запись ?"}));
  EXPECT_EQ(document->recordModel().rowCount(), 6);
  EXPECT_EQ(document->recordModel().list().record(5).typeCode.view(), "13");
  EXPECT_TRUE(document->listView().selectionModel()->selectedRows().isEmpty());
  EXPECT_EQ(enabled(*document), "---");
  EXPECT_TRUE(document->documentState().docModified);

  select(*document, 2);
  EXPECT_EQ(enabled(*document), "EDA");
}

TEST_F(DocumentTest, deleteRefused_changesNothing) {
  TChildForm* document = frame_->New();
  importLines(*document, sampleFieldBook());
  const bool modifiedBefore = document->documentState().docModified;
  select(*document, 3);
  seam_.yesNoAnswers << false;

  document->deleteAction().trigger();

  EXPECT_EQ(document->recordModel().rowCount(), 7);
  EXPECT_EQ(document->documentState().docModified, modifiedBefore);
  EXPECT_EQ(enabled(*document), "EDA");
}

TEST_F(DocumentTest, deletingTheOnlyRow_leavesAnEmptyList) {
  TChildForm* document = newDocumentWith({"09F1  ST1"});
  select(*document, 0);
  seam_.yesNoAnswers << true;
  document->deleteAction().trigger();
  EXPECT_EQ(document->recordModel().rowCount(), 0);
  EXPECT_EQ(enabled(*document), "---");
}

TEST_F(DocumentTest, closeQuestion_namesTheDocumentAndCancelKeepsItOpen) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.yesNoCancelAnswers << Answer::Cancel << Answer::No;

  EXPECT_FALSE(closeWindow(*document));
  EXPECT_TRUE(closeWindow(*document));

  EXPECT_EQ(seam_.questions, QStringList({"Сохранить изменения в Новый1", "Сохранить изменения в Новый1"}));
  deleteClosedWindows();
  EXPECT_TRUE(frame_->documents().isEmpty());
}

TEST_F(DocumentTest, closeQuestion_afterASaveStillAsksWithThePath) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.answerSave(path("book.qdl"));
  document->Save();
  seam_.yesNoCancelAnswers << Answer::No;

  EXPECT_TRUE(closeWindow(*document));
  EXPECT_EQ(seam_.questions, QStringList({"Сохранить изменения в " + path("book.qdl")}));
}

// Yes in a window whose open dialog was cancelled asks for a file rather
// than closing with its rows unsaved.
TEST_F(DocumentTest, closeQuestion_yesWithoutAFile_asksForOneAndKeepsTheWindowIfCancelled) {
  seam_.openNames << QString();
  TChildForm* document = frame_->Open();
  importLines(*document, sampleFieldBook());
  ASSERT_TRUE(document->documentState().docModified);

  seam_.yesNoCancelAnswers << Answer::Yes;
  seam_.cancelSave();
  EXPECT_FALSE(closeWindow(*document));
  EXPECT_EQ(seam_.questions, QStringList({"Сохранить изменения в "}));
  ASSERT_EQ(seam_.saveRequests.size(), 1);
  EXPECT_EQ(seam_.saveRequests[0].filter, "Файлы *.qdl |*.qdl");

  seam_.yesNoCancelAnswers << Answer::Yes;
  seam_.answerSave(path("kept.qdl"));
  EXPECT_TRUE(closeWindow(*document));
  EXPECT_EQ(readFile("kept.qdl").size(), 178 * 7);
}

TEST_F(DocumentTest, closeQuestion_yesWithAFailingSave_keepsTheWindowOpen) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  seam_.yesNoCancelAnswers << Answer::Yes;
  seam_.answerSave(path("no-such-folder/book.qdl"));

  EXPECT_FALSE(closeWindow(*document));
  EXPECT_EQ(seam_.errors, QStringList({"File not found"}));
  deleteClosedWindows();
  EXPECT_EQ(frame_->documents().size(), 1);
}

TEST_F(DocumentTest, list_fillsItsWindowAndScrollsToTheEndOfTheLongestCaption) {
  frame_->show();
  TChildForm* document = newDocumentWith({"00NMSDR33 V04-04.02", "13NM" + std::string(150, 'x'), "13NMshort"});
  document->parentWidget()->resize(400, 250);
  const QTreeView& view = document->listView();
  EXPECT_EQ(view.geometry(), document->rect());
  EXPECT_TRUE(view.isHeaderHidden());
  EXPECT_TRUE(view.uniformRowHeights());

  const int longest = view.sizeHintForIndex(document->recordModel().index(1)).width();
  EXPECT_GT(longest, view.viewport()->width());
  EXPECT_GE(view.header()->sectionSize(0), longest);
}

TEST_F(DocumentTest, helpCommand_showsTheOneHelpWindow) {
  TChildForm* document = frame_->New();
  QAction* help = document->menus().last()->actions().first();
  ASSERT_EQ(help->text(), "Руководство пользователя");
  help->trigger();
  frame_->frameMenus().last()->actions().first()->trigger();
  EXPECT_EQ(frame_->findChildren<TInternForm*>().size(), 1);
  EXPECT_TRUE(shared_.internForm->isVisible());
}

}  // namespace
}  // namespace quillmar::test
