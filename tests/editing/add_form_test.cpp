// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/add_form.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "editing/widgets/parameter_table.h"
#include "editing/widgets/record_commands.h"
#include "records/cp1251.h"
#include "records/make_st.h"

namespace quillmar {
namespace {

using testing::offsetFromMainWindowCentre;
using testing::station3Line;
using testing::whileModal;

std::string spaces(std::size_t n) { return std::string(n, ' '); }

class AddFormTest : public ::testing::Test {
 protected:
  TAddForm form;

  void choose(const QString& kind, char version) {
    form.setVersion(version);
    form.kindBox()->setEditText(kind);
  }
  void setValue(int row, const QString& text) { form.editor()->setValueAt(row, text); }
  void ok() { form.okButton()->click(); }
};

// ---- what the dialog shows ----------------------------------------------------------

TEST_F(AddFormTest, looksAsDesigned) {
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Добавление"));
  EXPECT_EQ(form.size(), QSize(300, 430));
  EXPECT_EQ(form.editor()->columnWidth(0), 128);
  EXPECT_EQ(form.editor()->columnWidth(1), 123);
  EXPECT_EQ(form.editor()->horizontalHeaderItem(0)->text(), QStringLiteral("Параметр"));
  EXPECT_EQ(form.editor()->horizontalHeaderItem(1)->text(), QStringLiteral("Значение"));
  EXPECT_EQ(form.okButton()->text(), QString::fromUtf16(u"\u041E\u041A"));  // Cyrillic
  EXPECT_EQ(form.cancelButton()->text(), QStringLiteral("Отмена"));
  EXPECT_TRUE(form.kindBox()->isEditable());
  ASSERT_EQ(form.kindBox()->count(), 4);
  EXPECT_EQ(form.kindBox()->itemText(0), "STN");
  EXPECT_EQ(form.kindBox()->itemText(1), "TRGET");
  EXPECT_EQ(form.kindBox()->itemText(2), "POS");
  EXPECT_EQ(form.kindBox()->itemText(3), "OBS");
  EXPECT_TRUE(form.kindBox()->currentText().isEmpty());
  EXPECT_EQ(form.editor()->rowCount(), 0);
  EXPECT_TRUE(form.kindTypeCode().empty());
  EXPECT_TRUE(form.line().empty());
}

TEST_F(AddFormTest, choosingAKindShowsCodeRowsThenEmptyFieldRows) {
  choose("OBS", '3');
  ASSERT_EQ(form.editor()->rowCount(), 8);
  EXPECT_EQ(form.editor()->labelAt(0), "Type code");
  EXPECT_EQ(form.editor()->valueAt(0), "09");
  EXPECT_EQ(form.editor()->labelAt(1), "Derivation code");
  EXPECT_EQ(form.editor()->valueAt(1), "F1");
  EXPECT_EQ(form.editor()->labelAt(2), QStringLiteral("Исх. точка"));
  EXPECT_EQ(form.editor()->labelAt(6), QStringLiteral("Гориз. угол"));
  EXPECT_TRUE(form.editor()->valueAt(6).isEmpty());
  EXPECT_FALSE(form.editor()->item(2, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_EQ(form.kindTypeCode(), "09");
  EXPECT_EQ(form.kindDerivCode(), "F1");
}

TEST_F(AddFormTest, pickingAnEntryChoosesItsKind) {
  form.kindBox()->setCurrentIndex(2);
  EXPECT_EQ(form.kindTypeCode(), "08");
  EXPECT_EQ(form.editor()->rowCount(), 7);
}

TEST_F(AddFormTest, choosingAKindDiscardsTypedValues) {
  choose("POS", '3');
  setValue(2, "P1");
  form.kindBox()->setEditText("STN");
  form.kindBox()->setEditText("POS");
  EXPECT_TRUE(form.editor()->valueAt(2).isEmpty());
}

TEST_F(AddFormTest, unknownKindTextEmptiesEditorAndKeepsTheLastKind) {
  choose("TRGET", '3');
  form.kindBox()->setEditText("TRGETX");
  EXPECT_EQ(form.editor()->rowCount(), 0);
  EXPECT_EQ(form.kindTypeCode(), "03");
  EXPECT_EQ(form.kindDerivCode(), "NM");
  form.kindBox()->setEditText("stn");
  EXPECT_EQ(form.editor()->rowCount(), 0);
  EXPECT_EQ(form.kindTypeCode(), "03");
}

TEST_F(AddFormTest, typingAPrefixDoesNotCompleteToAKind) {
  form.show();
  form.activateWindow();
  form.kindBox()->setFocus();
  QApplication::processEvents();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, QStringLiteral("S"));
  QApplication::sendEvent(form.kindBox()->lineEdit(), &press);
  EXPECT_EQ(form.kindBox()->currentText(), "S");
  EXPECT_EQ(form.editor()->rowCount(), 0);
}

// ---- "ОК" assembles -----------------------------------------------------------------

TEST_F(AddFormTest, returnInTheKindBoxGoesToTheFirstFieldAndKeepsTheDialogOpen) {
  form.show();
  choose("STN", '3');
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form.kindBox()->lineEdit(), &press);
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.confirmed());
}

TEST_F(AddFormTest, stationWithOnlyAPointName) {
  choose("STN", '3');
  setValue(2, "P1");
  ok();
  EXPECT_TRUE(form.confirmed());
  EXPECT_EQ(form.line(), "02TS" + spaces(14) + "P1" + spaces(80) + "\r\n");
}

TEST_F(AddFormTest, codeRowsKeepTwoCharactersAndNeverChangeTheKind) {
  choose("OBS", '3');
  setValue(0, "091");
  setValue(1, "F2");
  ok();
  EXPECT_EQ(form.line().substr(0, 4), "09F2");
  EXPECT_EQ(form.kindTypeCode(), "09");
  EXPECT_EQ(form.kindDerivCode(), "F1");
}

TEST_F(AddFormTest, afterUnknownKindTextOkGivesSpacesOfTheLastKind) {
  choose("POS", '3');
  setValue(2, "P1");
  form.kindBox()->setEditText("XYZ");
  ok();
  EXPECT_EQ(form.line(), spaces(84) + "\r\n");
}

TEST_F(AddFormTest, textWindows1251CannotHoldIsRefused) {
  choose("STN", '3');
  form.show();
  setValue(7, QStringLiteral("\u263A"));
  ok();
  EXPECT_FALSE(form.confirmed());
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.statusLabel()->text().contains(QStringLiteral("Примечание")));
  setValue(7, QStringLiteral("Репер"));
  ok();
  EXPECT_TRUE(form.confirmed());
  EXPECT_EQ(form.line().substr(84, 16), CF("Репер"_w, 16));
}

TEST_F(AddFormTest, rowWithoutLayoutCannotBeConfirmed) {
  choose("STN", '3');
  ok();
  const std::string earlier = form.line();
  choose("STN", '0');
  form.clearConfirmed();
  EXPECT_FALSE(form.okButton()->isEnabled());
  EXPECT_FALSE(form.statusLabel()->text().isEmpty());
  form.okClicked();
  EXPECT_FALSE(form.confirmed());
  EXPECT_EQ(form.line(), earlier);
  form.setVersion('2');
  EXPECT_TRUE(form.okButton()->isEnabled());
}

TEST(AddFormPlacementTest, centredOnTheMainWindow) {
  EXPECT_LE(offsetFromMainWindowCentre<TAddForm>(QRect(50, 40, 812, 452)), 2);
}

// ---- the "Добавить" command ------------------------------------------------------------

class AddCommandTest : public ::testing::Test {
 protected:
  TAddForm form;
  RecordList list;
  CaptionState captions;

  void appendLine(const std::string& line, char version) {
    const SurveyRecord record = SurveyRecord::fromLine(line, version);
    list.append(MakeSt(captions, record), record);
  }
  void SetUp() override {
    appendLine("03NM1.500     \r\n", '2');
    appendLine(station3Line("A"), '3');
  }
  // As "Добавить" does: the dialog in the selected row's layout, then the
  // record inserted above that row.
  bool addAbove(std::size_t row) {
    const auto added = runAddDialog(form, list.record(row).version, CoordinateOrderAt(list, row), captions);
    if (!added) return false;
    list.insert(row, added->caption, added->record);
    return true;
  }
};

TEST_F(AddCommandTest, insertsAtTheFirstRowWithThatRowsVersion) {
  whileModal([this] {
    form.kindBox()->setEditText("TRGET");
    form.editor()->setValueAt(2, "1.750");
    form.okButton()->click();
  });
  ASSERT_TRUE(addAbove(0));
  ASSERT_EQ(list.size(), 3u);
  const SurveyRecord& added = list.record(0);
  EXPECT_EQ(added.body.view(), "03NM1.750     \r\n");
  EXPECT_EQ(added.typeCode.view(), "03");
  EXPECT_EQ(added.derivCode.view(), "NM");
  EXPECT_EQ(added.version, '2');
  CaptionState fresh;
  EXPECT_EQ(list.caption(0), MakeSt(fresh, added));
  EXPECT_EQ(list.record(1).body.view(), "03NM1.500     \r\n");
}

TEST_F(AddCommandTest, insertsDirectlyAboveTheSelectedRow) {
  whileModal([this] {
    form.kindBox()->setEditText("STN");
    form.okButton()->click();
  });
  ASSERT_TRUE(addAbove(1));
  EXPECT_EQ(list.record(1).typeCode.view(), "02");
  EXPECT_EQ(list.record(1).version, '3');
  EXPECT_EQ(list.record(1).body.view().size(), 102u);
  EXPECT_EQ(list.record(2).body.view(), station3Line("A"));
}

TEST_F(AddCommandTest, cancelAndCloseBoxAddNothing) {
  whileModal([this] {
    form.kindBox()->setEditText("STN");
    form.cancelButton()->click();
  });
  EXPECT_FALSE(addAbove(1));
  whileModal([this] { form.close(); });
  EXPECT_FALSE(addAbove(1));
  EXPECT_EQ(list.size(), 2u);
}

TEST_F(AddCommandTest, secondUseReopensWithTheLastKindAndValues) {
  whileModal([this] {
    form.kindBox()->setEditText("POS");
    form.editor()->setValueAt(2, "P7");
    form.editor()->setValueAt(3, "100.5");
    form.okButton()->click();
  });
  ASSERT_TRUE(addAbove(1));
  EXPECT_EQ(list.record(1).body.view(), "08XD" + spaces(14) + "P7" + CF("100.5", 16) + spaces(48) + "\r\n");

  QString shownKind;
  QString shownPoint;
  whileModal([&] {
    shownKind = form.kindBox()->currentText();
    shownPoint = form.editor()->valueAt(2);
    form.okButton()->click();
  });
  ASSERT_TRUE(addAbove(0));
  EXPECT_EQ(shownKind, "POS");
  EXPECT_EQ(shownPoint, "P7");
  EXPECT_EQ(list.record(0).body.view(), "08XD  P7100.5     " + spaces(36) + "\r\n");
  EXPECT_EQ(list.record(0).version, '2');
}

TEST_F(AddCommandTest, rowWithoutLayoutNeverReceivesAnEarlierLine) {
  appendLine("02TSsomething\r\n", '0');
  whileModal([this] {
    form.kindBox()->setEditText("STN");
    form.okButton()->click();
  });
  ASSERT_TRUE(addAbove(0));
  const std::size_t before = list.size();
  whileModal([this] {
    EXPECT_FALSE(form.okButton()->isEnabled());
    form.okClicked();
    form.close();
  });
  EXPECT_FALSE(addAbove(before - 1));
  EXPECT_EQ(list.size(), before);
  EXPECT_FALSE(addedRow(form, '0', captions));
}

TEST_F(AddCommandTest, okBeforeAnyKindInsertsAnEmptyRecord) {
  whileModal([this] { form.okButton()->click(); });
  ASSERT_TRUE(addAbove(1));
  EXPECT_TRUE(list.record(1).body.view().empty());
  EXPECT_TRUE(list.record(1).typeCode.view().empty());
  EXPECT_TRUE(list.caption(1).empty());
  EXPECT_EQ(list.record(1).version, '3');
}

}  // namespace
}  // namespace quillmar
