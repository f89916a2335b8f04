// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/widgets/edit_form.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/parameter_table.h"
#include "editing/widgets/record_commands.h"
#include "records/make_st.h"

namespace quillmar {
namespace {

using testing::observation3Line;
using testing::offsetFromMainWindowCentre;
using testing::station3Line;
using testing::whileModal;

std::string spaces(std::size_t n) { return std::string(n, ' '); }

class EditFormTest : public ::testing::Test {
 protected:
  TEditForm form;

  void fillStation() { form.fill(station3Line(), "02", "TS", '3'); }
  void setValue(int row, const QString& text) { form.editor()->setValueAt(row, text); }
};

// ---- what the dialog shows ------------------------------------------------------

TEST_F(EditFormTest, looksAsDesigned) {
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Редактирование"));
  EXPECT_EQ(form.size(), QSize(341, 415));
  EXPECT_EQ(form.recordTypeLabel()->text(), QStringLiteral("Тип записи"));
  EXPECT_EQ(form.editor()->columnCount(), 2);
  EXPECT_EQ(form.editor()->horizontalHeaderItem(0)->text(), QStringLiteral("Параметр"));
  EXPECT_EQ(form.editor()->horizontalHeaderItem(1)->text(), QStringLiteral("Значение"));
  EXPECT_EQ(form.editor()->columnWidth(0), 150);
  EXPECT_EQ(form.editor()->columnWidth(1), 157);
  EXPECT_EQ(form.cancelButton()->text(), QStringLiteral("Отмена"));
  EXPECT_EQ(form.okButton()->text(), QStringLiteral("Ok"));
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(EditFormTest, showsRowsWithUntrimmedValuesAndReadOnlyLabels) {
  fillStation();
  ASSERT_EQ(form.editor()->rowCount(), 6);
  EXPECT_EQ(form.editor()->labelAt(0), QStringLiteral("Точка"));
  EXPECT_EQ(form.editor()->valueAt(0), QString::fromStdString(spaces(14) + "P1"));
  EXPECT_EQ(form.editor()->labelAt(4), QStringLiteral("Высота прибора"));
  EXPECT_EQ(form.editor()->valueAt(1), QString::fromStdString("1000.000" + spaces(8)));
  EXPECT_FALSE(form.editor()->item(0, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(form.editor()->item(0, 1)->flags() & Qt::ItemIsEditable);
}

TEST_F(EditFormTest, labelNamesCodesAndVersion) {
  form.fill(observation3Line("F1"), "09", "F1", '3');
  EXPECT_EQ(form.recordTypeLabel()->text(), QStringLiteral("Тип записи 09  F1  v3"));
}

TEST_F(EditFormTest, azimuthObservationShowsAzimuthRow) {
  form.fill(observation3Line("MC"), "09", "MC", '3');
  EXPECT_EQ(form.editor()->labelAt(4), QStringLiteral("Гориз. азимут"));
  for (const char* deriv : {"F1", "F2", "MD"}) {
    form.fill(observation3Line(deriv), "09", deriv, '3');
    EXPECT_EQ(form.editor()->labelAt(4), QStringLiteral("Гориз. угол")) << deriv;
  }
}

TEST_F(EditFormTest, version2TargetShowsOneTenCharacterRow) {
  form.fill("03NM1.500     rest\r\n", "03", "NM", '2');
  ASSERT_EQ(form.editor()->rowCount(), 1);
  EXPECT_EQ(form.editor()->labelAt(0), QStringLiteral("Высота марки"));
  EXPECT_EQ(form.editor()->valueAt(0), QStringLiteral("1.500     "));
}

TEST_F(EditFormTest, recordWithoutRowsKeepsTheLastLabelAndAnEmptyEditor) {
  fillStation();
  form.fill(observation3Line("XX"), "09", "XX", '3');
  EXPECT_EQ(form.editor()->rowCount(), 0);
  EXPECT_EQ(form.recordTypeLabel()->text(), QStringLiteral("Тип записи 02  TS  v3"));
}

TEST_F(EditFormTest, rowsAreRebuiltOnEveryFill) {
  fillStation();
  setValue(0, "CHANGED");
  fillStation();
  EXPECT_EQ(form.editor()->valueAt(0), QString::fromStdString(spaces(14) + "P1"));
}

// ---- "Ok" assembles ---------------------------------------------------------------

TEST_F(EditFormTest, changedPointNameIsRightAligned) {
  fillStation();
  setValue(0, "P12");
  form.okButton()->click();
  EXPECT_EQ(form.line().substr(4, 16), spaces(13) + "P12");
  EXPECT_EQ(form.line().size(), 102u);
}

// Texts keep their first characters; numbers are never cut (record_values_test.cpp).
TEST_F(EditFormTest, longTextIsCutToItsField) {
  fillStation();
  setValue(5, "ABCDEFGHIJKLMNOPQRST");
  form.okButton()->click();
  EXPECT_EQ(form.line().substr(84, 16), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(form.line().substr(0, 84), station3Line().substr(0, 84));
}

TEST_F(EditFormTest, textStillBeingTypedCountsOnOk) {
  fillStation();
  form.show();
  form.editor()->setCurrentCell(0, 1);
  form.editor()->editItem(form.editor()->item(0, 1));
  auto* typing = qobject_cast<QLineEdit*>(form.editor()->indexWidget(form.editor()->currentIndex()));
  ASSERT_NE(typing, nullptr);
  typing->setText("P12");
  form.okButton()->click();
  EXPECT_EQ(form.line().substr(4, 16), spaces(13) + "P12");
}

TEST_F(EditFormTest, textWindows1251CannotHoldIsRefused) {
  fillStation();
  form.show();
  setValue(0, QStringLiteral("P\u4E2D"));
  form.okButton()->click();
  EXPECT_FALSE(form.confirmed());
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.line(), station3Line());
  EXPECT_TRUE(form.statusLabel()->text().contains(QStringLiteral("Точка")));

  setValue(0, "P9");
  form.okButton()->click();
  EXPECT_TRUE(form.confirmed());
  EXPECT_EQ(form.line().substr(4, 16), spaces(14) + "P9");
}

TEST_F(EditFormTest, recordsWithoutRowsKeepTheirLineExactly) {
  const std::string unknownKind = observation3Line("XX");
  form.fill(unknownKind, "09", "XX", '3');
  form.okButton()->click();
  EXPECT_TRUE(form.confirmed());
  EXPECT_EQ(form.line(), unknownKind);

  form.fill(station3Line(), "02", "TS", '0');
  EXPECT_EQ(form.editor()->rowCount(), 0);
  form.okButton()->click();
  EXPECT_EQ(form.line(), station3Line());
}

// ---- leaving without "Ok" -------------------------------------------------------------

TEST_F(EditFormTest, fillClearsAnEarlierConfirmation) {
  fillStation();
  form.okButton()->click();
  ASSERT_TRUE(form.confirmed());
  fillStation();
  EXPECT_FALSE(form.confirmed());
}

TEST(EditFormPlacementTest, centredOnTheMainWindow) {
  EXPECT_LE(offsetFromMainWindowCentre<TEditForm>(QRect(100, 80, 812, 452)), 2);
}

// ---- the "Редактировать" command -------------------------------------------------------

class EditCommandTest : public ::testing::Test {
 protected:
  TEditForm form;
  RecordList list;
  CaptionState captions;

  void SetUp() override {
    for (const std::string& line : {station3Line("A"), station3Line(), station3Line("C")}) {
      const SurveyRecord record = SurveyRecord::fromLine(line, '3');
      list.append(MakeSt(captions, record), record);
    }
  }
  std::string caption(std::size_t row) const { return std::string(list.caption(row)); }
};

TEST_F(EditCommandTest, okReplacesBodyAndCaptionOfTheSelectedRowOnly) {
  whileModal([this] {
    form.editor()->setValueAt(0, "P12");
    form.okButton()->click();
  });
  EXPECT_TRUE(runEditCommand(form, list, 1, captions));
  const SurveyRecord& record = list.record(1);
  EXPECT_EQ(record.body.view().substr(4, 16), spaces(13) + "P12");
  EXPECT_EQ(record.typeCode.view(), "02");
  EXPECT_EQ(record.derivCode.view(), "TS");
  EXPECT_EQ(record.version, '3');
  CaptionState fresh;
  EXPECT_EQ(caption(1), MakeSt(fresh, record));
  EXPECT_NE(caption(1), caption(0));
  EXPECT_EQ(list.record(0).body.view(), station3Line("A"));
  EXPECT_EQ(list.size(), 3u);
}

TEST_F(EditCommandTest, okWithoutChangesStillConfirms) {
  const std::string before = caption(1);
  whileModal([this] { form.okButton()->click(); });
  EXPECT_TRUE(runEditCommand(form, list, 1, captions));
  EXPECT_EQ(list.record(1).body.view(), station3Line());
  EXPECT_EQ(caption(1), before);
}

TEST_F(EditCommandTest, cancelAndCloseBoxChangeNothing) {
  const std::string before = caption(1);
  whileModal([this] {
    form.editor()->setValueAt(0, "P12");
    form.cancelButton()->click();
  });
  EXPECT_FALSE(runEditCommand(form, list, 1, captions));
  whileModal([this] {
    form.editor()->setValueAt(0, "P12");
    form.close();
  });
  EXPECT_FALSE(runEditCommand(form, list, 1, captions));
  EXPECT_EQ(list.record(1).body.view(), station3Line());
  EXPECT_EQ(caption(1), before);
}

TEST_F(EditCommandTest, recordAddedWithAnotherTypeCodeGetsItsOwnBack) {
  TAddForm adder;
  adder.setVersion('3');
  adder.kindBox()->setEditText("STN");
  adder.editor()->setValueAt(0, "05");
  adder.editor()->setValueAt(2, "P5");
  adder.okButton()->click();
  const auto added = addedRow(adder, '3', captions);
  ASSERT_TRUE(added);
  list.insert(0, added->caption, added->record);
  ASSERT_EQ(list.record(0).body.view().substr(0, 4), "05TS");

  whileModal([this] { form.okButton()->click(); });
  EXPECT_TRUE(runEditCommand(form, list, 0, captions));
  EXPECT_EQ(list.record(0).body.view().substr(0, 4), "02TS");
  EXPECT_EQ(list.record(0).body.view().substr(4, 16), spaces(14) + "P5");
}

TEST_F(EditCommandTest, rowOutsideTheListIsIgnored) {
  EXPECT_FALSE(runEditCommand(form, list, 3, captions));
  EXPECT_EQ(list.size(), 3u);
}

}  // namespace
}  // namespace quillmar
