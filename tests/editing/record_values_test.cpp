// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers that do not fit their fields, and the coordinate rows of a book
// that gives the easting first, in the edit and add dialogs.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "editing/widgets/add_form.h"
#include "editing/widgets/edit_form.h"
#include "editing/widgets/parameter_table.h"
#include "editing/widgets/record_commands.h"
#include "records/make_st.h"
#include "tests/support/scripted_seam.h"

namespace quillmar {
namespace {

using testing::whileModal;

// A version '2' station: a 4-character point, four 10-character numbers, a note.
const std::string kStation2 =
    "02TS  S1" + CF("1000.000", 10) + CF("2000.000", 10) + CF("15.25", 10) + CF("1.56", 10) + CF("first", 16) + "\r\n";

class NumberValueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.setSeam(seam);
    form.fill(kStation2, "02", "TS", '2');
  }
  void setE(const QString& text) { form.editor()->setValueAt(2, text); }

  test::ScriptedSeam seam;
  TEditForm form;
};

TEST_F(NumberValueTest, numberTooLongForItsFieldIsRefusedNotCut) {
  setE("65432109875");
  form.okButton()->click();
  EXPECT_FALSE(form.confirmed());
  EXPECT_EQ(form.line(), kStation2);
  EXPECT_TRUE(form.statusLabel()->text().contains(QStringLiteral("«E» (65432109875)")));
  EXPECT_EQ(form.editor()->currentRow(), 2);
  EXPECT_TRUE(seam.questions.isEmpty());
}

TEST_F(NumberValueTest, numberLosingDecimalsIsRoundedOnlyAfterYes) {
  setE("2000.123456");
  seam.yesNoAnswers << false << true;
  form.okButton()->click();
  EXPECT_FALSE(form.confirmed());
  EXPECT_EQ(form.line(), kStation2);
  form.okButton()->click();
  ASSERT_TRUE(form.confirmed());
  EXPECT_EQ(form.line().substr(18, 10), "2000.12346");
  EXPECT_EQ(form.editor()->valueAt(2), QStringLiteral("2000.12346"));
  ASSERT_EQ(seam.questions.size(), 2);
  EXPECT_TRUE(seam.questions[0].contains(QStringLiteral("E: 2000.123456 → 2000.12346")));
}

TEST_F(NumberValueTest, blanksAroundANumberAndTheNoteKeepTheirFitting) {
  setE("  2000.5    ");
  form.editor()->setValueAt(5, "a note longer than sixteen");
  form.okButton()->click();
  ASSERT_TRUE(form.confirmed());
  EXPECT_EQ(form.line().substr(18, 10), CF("2000.5", 10));
  EXPECT_EQ(form.line().substr(48, 16), "a note longer th");
}

// In a book whose header gives E-N order, the first coordinate is the easting.
class EastNorthBookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& line :
         std::vector<std::string>{"00NMSDR33 V04-04.02     06-FEB-21 08:36 113121\r\n", testing::station3Line("A"),
                                  "00NMSDR33 V04-04.02     06-FEB-21 08:36 113111\r\n", testing::station3Line("B")}) {
      const SurveyRecord record = SurveyRecord::fromLine(line, '3');
      list.append(MakeSt(captions, record), record);
    }
  }
  RecordList list;
  CaptionState captions;
};

TEST_F(EastNorthBookTest, editDialogNamesTheCoordinatesByTheHeaderBeforeTheRow) {
  TEditForm form;
  QStringList eastNorth;
  QStringList northEast;
  whileModal([&] {
    eastNorth << form.editor()->labelAt(1) << form.editor()->labelAt(2);
    form.editor()->setValueAt(1, "1500.000");
    form.okButton()->click();
  });
  ASSERT_TRUE(runEditCommand(form, list, 1, captions));
  whileModal([&] {
    northEast << form.editor()->labelAt(1) << form.editor()->labelAt(2);
    form.cancelButton()->click();
  });
  runEditCommand(form, list, 3, captions);
  EXPECT_EQ(eastNorth, QStringList({"E", "N"}));
  EXPECT_EQ(northEast, QStringList({"N", "E"}));
  // The value stays where the line keeps it: the first coordinate.
  EXPECT_EQ(list.record(1).body.view().substr(20, 16), CF("1500.000", 16));
}

TEST_F(EastNorthBookTest, addDialogNamesTheCoordinatesWhereTheRecordGoes) {
  TAddForm form;
  QStringList labels;
  whileModal([&] {
    form.kindBox()->setEditText("POS");
    labels << form.editor()->labelAt(3) << form.editor()->labelAt(4);
    form.cancelButton()->click();
  });
  runAddDialog(form, '3', CoordinateOrderAt(list, 1), captions);
  whileModal([&] {
    labels << form.editor()->labelAt(3) << form.editor()->labelAt(4);
    form.cancelButton()->click();
  });
  runAddDialog(form, '3', CoordinateOrderAt(list, 3), captions);
  EXPECT_EQ(labels, QStringList({"E", "N", "N", "E"}));
}

}  // namespace
}  // namespace quillmar
