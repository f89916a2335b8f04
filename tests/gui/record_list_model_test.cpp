// SPDX-License-Identifier: GPL-3.0-or-later
// The list model over a RecordList.

#include <QAbstractItemModelTester>
#include <QLoggingCategory>

#include <gtest/gtest.h>

#include "document/record_list_model.h"

namespace quillmar::test {
namespace {

SurveyRecord recordOf(std::string_view line) { return SurveyRecord::fromLine(line, kVersionSdr3); }

// The tester reports a broken model through Qt warnings.
QStringList testerWarnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtDebugMsg && type != QtInfoMsg) testerWarnings << message;
}

TEST(RecordListModel, keepsTheItemModelRulesThroughEveryChange) {
  RecordList list;
  list.append("first", recordOf("00NM\r\n"));
  RecordListModel model(list);
  testerWarnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
  {
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    for (int i = 0; i < 5; ++i) model.listForAppending().append("appended", recordOf("08KI\r\n"));
    model.announceAppendedRows();
    model.insertRecord(0, "inserted", recordOf("02TS\r\n"));
    model.insertRecord(7, "at the end", recordOf("13NM\r\n"));
    const RecordList::RowRef inserted = list.rowRef(0);
    const std::vector<RecordList::RowRef> kept{list.rowRef(1), list.rowRef(7)};
    model.removeRecords(3, 1);
    model.removeRecords(5, 2);
    model.insertRows(1, kept);
    model.listForAppending().setCaption(0, "changed");
    model.refreshRow(0);
    model.replaceRow(3, inserted);
    model.setAsideLast(2);
    model.bringBack(1);
    model.announceAppendedRows();
  }
  qInstallMessageHandler(previous);
  EXPECT_TRUE(testerWarnings.isEmpty()) << testerWarnings.join('\n').toStdString();
  QStringList texts;
  for (int row = 0; row < model.rowCount(); ++row) texts << model.index(row).data().toString();
  EXPECT_EQ(texts, QStringList({"changed", "first", "at the end", "inserted", "appended", "appended"}));
  EXPECT_EQ(list.size(), 6u);
  EXPECT_EQ(list.record(3).typeCode.view(), "02");
}

TEST(RecordListModel, rowsAppendedToTheList_appearOnlyWhenAnnounced) {
  RecordList list;
  RecordListModel model(list);
  int announced = 0;
  QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                   [&announced](const QModelIndex&, int first, int last) { announced += last - first + 1; });
  model.listForAppending().append("a", recordOf("08\r\n"));
  model.listForAppending().append("b", recordOf("09\r\n"));
  EXPECT_EQ(model.rowCount(), 0);
  model.announceAppendedRows();
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(announced, 2);
  model.announceAppendedRows();
  EXPECT_EQ(announced, 2);
}

TEST(RecordListModel, captionsShowControlCharactersReadablyAndKeepThem) {
  RecordList list;
  list.append("08KI P1\r\n", recordOf("08KI P1\r\n"));
  list.append("\xD2\xEE\xF7\xEA\xE0\t1", recordOf("08\r\n"));
  RecordListModel model(list);
  EXPECT_EQ(model.index(0).data().toString(), "08KI P1␍␊");
  EXPECT_EQ(model.index(1).data().toString(), "Точка␉1");
  EXPECT_EQ(list.caption(0), "08KI P1\r\n");
  EXPECT_FALSE(model.index(0).flags().testFlag(Qt::ItemIsEditable));
  EXPECT_FALSE(model.index(0).data(Qt::EditRole).isValid());
}

}  // namespace
}  // namespace quillmar::test
