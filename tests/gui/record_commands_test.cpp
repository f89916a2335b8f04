// SPDX-License-Identifier: GPL-3.0-or-later
// "Редактировать" and "Добавить" from the document window: the dialogs
// change the list through the model, and the document is marked modified.

#include <QComboBox>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "document/child_form.h"
#include "document/record_list_model.h"
#include "editing/field_rows.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/edit_form.h"
#include "editing/widgets/parameter_table.h"
#include "gui_fixture.h"
#include "records/record_file.h"

namespace quillmar::test {
namespace {

const std::string kStation = "02TS" + TF("P1", 16) + CF("1000.000", 16) + CF("2000.000", 16) + CF("15.250", 16) +
                             CF("1.560", 16) + CF("first", 16);

class RecordCommandsTest : public GuiTest {
 protected:
  // An opened record file, so that the document starts unmodified.
  TChildForm* bookWithStation() {
    TChildForm* imported = newDocumentWith({"00NMSDR33  V04-04.02    06-FEB-21 08:36 111111", kStation, "13NMnote"});
    writeRecordFile(path(QStringLiteral("book.qdl")).toStdString(), imported->recordModel().list());
    imported->closeWithoutQuery();
    seam_.openNames << path(QStringLiteral("book.qdl"));
    TChildForm* opened = frame_->Open();
    EXPECT_FALSE(opened->documentState().docModified);
    return opened;
  }
  static void select(TChildForm& document, int row) {
    QTreeView& view = document.listView();
    view.selectionModel()->select(view.model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
  }
  static int selectedRow(TChildForm& document) {
    const auto rows = document.listView().selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }
  static std::string body(TChildForm& document, int row) {
    return document.recordModel().list().record(static_cast<std::size_t>(row)).body.str();
  }
  static void whileModal(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }
};

TEST_F(RecordCommandsTest, confirmedEdit_replacesTheLineAndCaptionAndMarksTheDocument) {
  TChildForm* document = bookWithStation();
  document->closeWithoutQuery();
  select(*document, 1);
  const QString captionBefore = document->recordModel().data(document->recordModel().index(1)).toString();
  whileModal([this] {
    shared_.editForm->editor()->setValueAt(0, QStringLiteral("P12"));
    shared_.editForm->okButton()->click();
  });
  document->EditClick();
  EXPECT_EQ(body(*document, 1).substr(0, 20), "02TS" + TF("P12", 16));
  EXPECT_EQ(body(*document, 1).size(), 102u);
  EXPECT_NE(document->recordModel().data(document->recordModel().index(1)).toString(), captionBefore);
  EXPECT_TRUE(document->documentState().docModified);
}

TEST_F(RecordCommandsTest, cancelledEdit_changesNothing) {
  TChildForm* document = bookWithStation();
  select(*document, 1);
  whileModal([this] {
    shared_.editForm->editor()->setValueAt(0, QStringLiteral("P12"));
    shared_.editForm->cancelButton()->click();
  });
  document->EditClick();
  EXPECT_EQ(body(*document, 1), kStation + "\r\n");
  EXPECT_FALSE(document->documentState().docModified);
}

TEST_F(RecordCommandsTest, add_insertsAboveTheSelectedRowWhichStaysSelected) {
  TChildForm* document = bookWithStation();
  document->closeWithoutQuery();
  select(*document, 0);
  whileModal([this] {
    shared_.addForm->kindBox()->setCurrentText(QStringLiteral("TRGET"));
    shared_.addForm->editor()->setValueAt(2, QStringLiteral("1.500"));
    shared_.addForm->okButton()->click();
  });
  document->AddClick();
  ASSERT_EQ(document->recordModel().rowCount(), 4);
  const SurveyRecord& added = document->recordModel().list().record(0);
  EXPECT_EQ(added.typeCode.view(), "03");
  EXPECT_EQ(added.derivCode.view(), "NM");
  EXPECT_EQ(added.version, '3');
  EXPECT_EQ(added.body.view(), "03NM" + CF("1.500", 16) + "\r\n");
  EXPECT_EQ(body(*document, 1).substr(0, 4), "00NM");
  EXPECT_EQ(selectedRow(*document), 1);
  EXPECT_TRUE(document->documentState().docModified);
}

// Insert, then Return: the kind box has the keys, so Return goes on to the
// rows and no copy of the last record is added behind the user's back.
TEST_F(RecordCommandsTest, addOpensAtTheKindBoxEveryTime_soReturnAddsNothing) {
  TChildForm* document = bookWithStation();
  document->closeWithoutQuery();
  select(*document, 0);
  whileModal([this] {
    shared_.addForm->kindBox()->setCurrentText(QStringLiteral("POS"));
    shared_.addForm->okButton()->setFocus();  // as a click on it leaves it
    shared_.addForm->okButton()->click();
  });
  document->AddClick();
  ASSERT_EQ(document->recordModel().rowCount(), 4);

  bool stayedOpen = false;
  whileModal([this, &stayedOpen] {
    QWidget* focus = shared_.addForm->focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(focus == shared_.addForm->kindBox() || shared_.addForm->kindBox()->isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_Return);
    stayedOpen = shared_.addForm->isVisible();
    shared_.addForm->cancelButton()->click();
  });
  document->AddClick();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(document->recordModel().rowCount(), 4);
}

TEST_F(RecordCommandsTest, cancelledAdd_addsNothingButMarksTheDocument) {
  TChildForm* document = bookWithStation();
  document->closeWithoutQuery();
  select(*document, 2);
  whileModal([this] { shared_.addForm->cancelButton()->click(); });
  document->AddClick();
  EXPECT_EQ(document->recordModel().rowCount(), 3);
  EXPECT_TRUE(document->documentState().docModified);
}

}  // namespace
}  // namespace quillmar::test
