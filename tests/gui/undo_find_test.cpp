// SPDX-License-Identifier: GPL-3.0-or-later
// "Правка": undo and redo of every row command, byte for byte; several rows
// deleted at once; the find bar and going to a row.

#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>

#include "document/child_form.h"
#include "document/find_bar.h"
#include "document/record_list_model.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/edit_form.h"
#include "editing/widgets/parameter_table.h"
#include "gui_fixture.h"
#include "link/widgets/zagruz_form.h"
#include "records/record_file.h"

namespace quillmar::test {
namespace {

// Rows 0..6 of sampleFieldBook(): header, instrument, station ST1, target,
// position P1, observation ST1-P1, note.
class EditMenuTest : public GuiTest {
 protected:
  struct Rows {
    QByteArray file;
    std::vector<std::string> captions;
    bool operator==(const Rows&) const = default;
  };

  Rows rowsOf(TChildForm& document) {
    const RecordList& list = document.recordModel().list();
    writeRecordFile(path(QStringLiteral("rows.qdl")).toStdString(), list);
    Rows rows{readFile(QStringLiteral("rows.qdl")), {}};
    for (std::size_t row = 0; row < list.size(); ++row) rows.captions.emplace_back(list.caption(row));
    return rows;
  }
  static void select(TChildForm& document, std::initializer_list<int> rows, int current) {
    QTreeView& view = document.listView();
    view.selectionModel()->setCurrentIndex(view.model()->index(current, 0), QItemSelectionModel::NoUpdate);
    view.clearSelection();
    for (int row : rows) view.selectionModel()->select(view.model()->index(row, 0), QItemSelectionModel::Select);
  }
  static int currentRow(TChildForm& document) { return document.listView().currentIndex().row(); }
  static QAction& command(TChildForm& document, const QString& text) {
    for (QAction* action : document.menus()[1]->actions()) {
      if (action->text().startsWith(text)) return *action;
    }
    throw std::runtime_error("no such command");
  }
  static void whileModal(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }
  // Key presses carrying the text, as a keyboard of any layout sends them.
  static void type(QLineEdit& edit, const QString& text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QCoreApplication::sendEvent(&edit, &press);
    }
  }

  void receiveLines(TChildForm& document, const std::vector<std::string>& lines) {
    whileModal([this, lines] {
      program_.lineBuffer.clear();
      for (const std::string& line : lines) program_.lineBuffer.appendLine(line);
      program_.lineCount = lines.size();
      program_.receptionDone = true;
      shared_.zagruzForm->reject();
    });
    document.N11Click();
  }
};

struct RowCommandCase {
  const char* name;
  std::function<void(TChildForm&)> run;
};

TEST_F(EditMenuTest, everyRowCommand_isUndoneAndRedoneByteForByte) {
  const std::vector<RowCommandCase> cases{
      {"Редактировать",
       [this](TChildForm& document) {
         select(document, {2}, 2);
         whileModal([this] {
           shared_.editForm->editor()->setValueAt(0, QStringLiteral("ST12"));
           shared_.editForm->okButton()->click();
         });
         document.EditClick();
       }},
      {"Добавить",
       [this](TChildForm& document) {
         select(document, {3}, 3);
         whileModal([this] {
           shared_.addForm->kindBox()->setCurrentText(QStringLiteral("TRGET"));
           shared_.addForm->editor()->setValueAt(2, QStringLiteral("1.500"));
           shared_.addForm->okButton()->click();
         });
         document.AddClick();
       }},
      {"Удалить",
       [this](TChildForm& document) {
         select(document, {1, 2, 4, 6}, 2);
         seam_.yesNoAnswers << true;
         document.DeleteClick();
         EXPECT_EQ(seam_.questions.takeLast(), QStringLiteral("Удалить выделенные записи (4) ?"));
       }},
      {"Импорт",
       [this](TChildForm& document) {
         importLines(document, {"13NMmore", "08KI  P9"});
       }},
      {"Загрузить",
       [this](TChildForm& document) {
         receiveLines(document, {"\x02", "02TS  ST9", "\x03"});
       }},
  };
  for (const RowCommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    TChildForm* document = newDocumentWith(sampleFieldBook());
    const Rows before = rowsOf(*document);
    const int steps = document->undoStack().count();
    c.run(*document);
    const Rows after = rowsOf(*document);
    ASSERT_NE(after, before);
    ASSERT_EQ(document->undoStack().count(), steps + 1);
    EXPECT_EQ(document->undoAction().text(), QStringLiteral("Отменить «%1»").arg(c.name));

    document->undoAction().trigger();
    EXPECT_EQ(rowsOf(*document), before);
    EXPECT_EQ(document->recordModel().rowCount(), static_cast<int>(before.captions.size()));
    EXPECT_TRUE(document->documentState().docModified);
    document->redoAction().trigger();
    EXPECT_EQ(rowsOf(*document), after);
    document->undoAction().trigger();
    EXPECT_EQ(rowsOf(*document), before);
    document->closeWithoutQuery();
  }
}

TEST_F(EditMenuTest, undoneAppendsComeBackInOrder_untilANewCommandDropsThem) {
  TChildForm* document = newDocumentWith({"13NMa"});
  importLines(*document, {"13NMb"});
  importLines(*document, {"13NMc"});
  const Rows ab = [&] {
    document->undoStack().undo();
    return rowsOf(*document);
  }();
  document->undoStack().undo();
  document->undoStack().redo();
  EXPECT_EQ(rowsOf(*document), ab);
  document->undoStack().undo();
  importLines(*document, {"13NMd"});
  EXPECT_FALSE(document->undoStack().canRedo());
  EXPECT_EQ(document->recordModel().list().setAsideCount(), 0u);
  const RecordList& list = document->recordModel().list();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.record(1).body.view(), "13NMd\r\n");
  document->closeWithoutQuery();
}

TEST_F(EditMenuTest, editAndAdd_workOnTheCurrentRowOfASelection) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  select(*document, {0, 1, 2, 3}, 3);
  EXPECT_TRUE(document->editAction().isEnabled());  // the target, not the header
  select(*document, {0, 1, 2, 3}, 1);
  EXPECT_FALSE(document->editAction().isEnabled());
  EXPECT_TRUE(document->deleteAction().isEnabled());
  whileModal([this] {
    shared_.addForm->kindBox()->setCurrentText(QStringLiteral("POS"));
    shared_.addForm->okButton()->click();
  });
  document->AddClick();
  EXPECT_EQ(document->recordModel().list().record(1).typeCode.view(), "08");
  document->closeWithoutQuery();
}

TEST_F(EditMenuTest, findBar_findsCyrillicAndLatinInAnyCaseAndWraps) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  document->closeWithoutQuery();
  command(*document, QStringLiteral("Найти...")).trigger();
  FindBar& bar = document->findBar();
  ASSERT_FALSE(bar.isHidden());

  type(bar.textEdit(), QStringLiteral("кООРДИНАТЫ"));
  EXPECT_EQ(currentRow(*document), 4);
  QTest::keyClick(&bar.textEdit(), Qt::Key_Return);
  EXPECT_EQ(currentRow(*document), 4);
  EXPECT_EQ(bar.statusText(), QStringLiteral("продолжено с начала"));

  bar.textEdit().clear();
  type(bar.textEdit(), QStringLiteral("st1"));
  EXPECT_EQ(currentRow(*document), 5);  // from the current row on
  command(*document, QStringLiteral("Найти далее")).trigger();
  EXPECT_EQ(currentRow(*document), 2);
  EXPECT_EQ(bar.statusText(), QStringLiteral("продолжено с начала"));
  command(*document, QStringLiteral("Найти далее")).trigger();
  EXPECT_EQ(currentRow(*document), 5);
  EXPECT_EQ(bar.statusText(), QString());
  command(*document, QStringLiteral("Найти ранее")).trigger();
  EXPECT_EQ(currentRow(*document), 2);
  EXPECT_EQ(document->listView().selectionModel()->selectedRows().size(), 1);

  bar.kindBox().setCurrentIndex(4);  // observations
  command(*document, QStringLiteral("Найти ранее")).trigger();
  EXPECT_EQ(currentRow(*document), 5);
  EXPECT_EQ(bar.statusText(), QStringLiteral("продолжено с конца"));

  type(bar.textEdit(), QStringLiteral("Z"));
  EXPECT_EQ(bar.statusText(), QStringLiteral("не найдено"));
  EXPECT_EQ(currentRow(*document), 5);
}

TEST_F(EditMenuTest, goToRow_makesTheRowCurrent) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  document->closeWithoutQuery();
  seam_.rowNumbers << 6 << 0;
  command(*document, QStringLiteral("Перейти к строке")).trigger();
  EXPECT_EQ(currentRow(*document), 5);
  command(*document, QStringLiteral("Перейти к строке")).trigger();
  EXPECT_EQ(currentRow(*document), 5);
  EXPECT_EQ(seam_.questions, QStringList({"row of 7", "row of 7"}));
}

}  // namespace
}  // namespace quillmar::test
