// SPDX-License-Identifier: GPL-3.0-or-later
// "Вычисления" of a document window: the results window opens from the
// menu beside the list, follows the records, a click on a row selects its
// record, and "Вставить координаты" puts the computed points into the list
// as one undo step; the plan draws the computed points.

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <string>

#include "document/child_form.h"
#include "document/document_plan.h"
#include "document/document_survey.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"
#include "plan/widgets/plan_window.h"
#include "survey/widgets/results_table.h"
#include "survey/widgets/results_window.h"

namespace quillmar::test {
namespace {

using survey::ResultsTable;
using survey::ResultsWindow;

std::string name16(const std::string& name) { return std::string(16 - name.size(), ' ') + name; }
std::string number16(const std::string& number) { return number + std::string(16 - number.size(), ' '); }
std::string observation(const std::string& target, const std::string& distance, const std::string& horizontal) {
  return "09F1" + name16("ST1") + name16(target) + number16(distance) + number16("90.0000") + number16(horizontal);
}

// ST1 at N 1000, E 2000, oriented on P1 (azimuth 45 read as 45): P2 and P3
// are computed, P1 is a check shot, P4 has no distance.
std::vector<std::string> observedBook() {
  return {
      "00NMSDR33 V04-04.02     06-FEB-21 08:36 113111",
      "02TS" + name16("ST1") + number16("1000.000") + number16("2000.000") + number16("10.000") + number16("1.500"),
      "08KI" + name16("P1") + number16("1010.000") + number16("2010.000") + number16("11.000"),
      "07TP" + name16("ST1") + name16("P1") + number16("45.0000") + number16("45.0000"),
      observation("P2", "10.000", "90.0000"),
      observation("P1", "14.142", "45.0000"),
      "13NMa note",
      observation("P3", "20.000", "0.0000"),
      observation("P4", "", "10.0000"),
  };
}

class SurveyWindowTest : public GuiTest {
 protected:
  ResultsWindow& openResults(TChildForm& document) {
    document.SurveyClick();
    QCoreApplication::processEvents();
    return *document.survey().window();
  }
  static QString selectedRows(TChildForm& document) {
    QString rows;
    for (const QModelIndex& index : document.listView().selectionModel()->selectedRows())
      rows += QString::number(index.row()) + QLatin1Char(' ');
    return rows.trimmed();
  }
  static void clickRow(ResultsWindow& results, ResultsWindow::Tab tab, int row) {
    results.tabs().setCurrentIndex(tab);
    QTableView& table = results.table(tab);
    const QRect cell = table.visualRect(table.model()->index(row, 0));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
  }
  static QString cell(ResultsWindow& results, ResultsWindow::Tab tab, int row, int column) {
    const QAbstractItemModel& model = results.model(tab);
    return model.data(model.index(row, column)).toString();
  }
};

TEST_F(SurveyWindowTest, menuOpensOneResultsWindowPerDocumentBesideTheList) {
  TChildForm* document = newDocumentWith(observedBook());
  const QList<QMenu*>& menus = document->menus();
  ASSERT_EQ(menus.size(), 6);
  EXPECT_EQ(menus[4]->title().remove(QLatin1Char('&')), QStringLiteral("Вычисления"));
  ASSERT_EQ(menus[4]->actions().size(), 2);
  EXPECT_EQ(menus[4]->actions()[0]->text(), QStringLiteral("Координаты по измерениям"));
  EXPECT_EQ(menus[4]->actions()[1]->text(), QStringLiteral("Вставить координаты"));

  menus[4]->actions()[0]->trigger();
  ResultsWindow* results = document->survey().window();
  ASSERT_NE(results, nullptr);
  document->SurveyClick();
  EXPECT_EQ(document->survey().window(), results);
  auto* holder = qobject_cast<QMdiSubWindow*>(results->parentWidget());
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(holder->mdiArea(), &frame_->mdiArea());

  EXPECT_EQ(results->statusText(), QStringLiteral("вычислено точек: 2   контрольных измерений: 1   без результата: 1"));
  EXPECT_EQ(results->tabs().tabText(ResultsWindow::Points), QStringLiteral("Точки (2)"));
  EXPECT_EQ(cell(*results, ResultsWindow::Points, 0, 0), QStringLiteral("P2"));
  EXPECT_EQ(cell(*results, ResultsWindow::Points, 0, 1), QStringLiteral("1000.0000"));
  EXPECT_EQ(cell(*results, ResultsWindow::Points, 0, 2), QStringLiteral("2010.0000"));
  EXPECT_EQ(cell(*results, ResultsWindow::CheckShots, 0, 0), QStringLiteral("P1"));
  EXPECT_EQ(cell(*results, ResultsWindow::Failures, 0, 0), QStringLiteral("9"));

  QPointer<ResultsWindow> alive(results);
  closeDocument(*document);
  EXPECT_TRUE(alive.isNull()) << "the results outlived their document";
}

TEST_F(SurveyWindowTest, clickOnARowSelectsItsRecordInTheList) {
  frame_->show();
  TChildForm* document = newDocumentWith(observedBook());
  ResultsWindow& results = openResults(*document);
  const struct {
    ResultsWindow::Tab tab;
    int row;
    const char* selected;
  } cases[] = {
      {ResultsWindow::Points, 1, "7"},      // P3's last observation
      {ResultsWindow::Solutions, 0, "4"},   // P2
      {ResultsWindow::CheckShots, 0, "5"},  // P1
      {ResultsWindow::Failures, 0, "8"},    // P4 without a distance
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tab);
    clickRow(results, c.tab, c.row);
    EXPECT_EQ(selectedRows(*document), QString::fromLatin1(c.selected));
  }
}

TEST_F(SurveyWindowTest, insertPutsEachComputedPointAfterItsLastObservationAndOneUndoTakesThemBack) {
  TChildForm* document = newDocumentWith(observedBook());
  ResultsWindow& results = openResults(*document);
  const RecordList& list = document->recordModel().list();
  ASSERT_EQ(list.size(), 9u);
  const int steps = document->undoStack().count();

  document->menus()[4]->actions()[1]->trigger();
  ASSERT_EQ(list.size(), 11u);
  EXPECT_EQ(list.typeCode(5), "08");
  EXPECT_NE(list.body(5).find("P2"), std::string_view::npos) << list.body(5);
  EXPECT_EQ(list.typeCode(9), "08");
  EXPECT_NE(list.body(9).find("P3"), std::string_view::npos) << list.body(9);
  EXPECT_EQ(selectedRows(*document), QStringLiteral("5 9"));
  EXPECT_TRUE(document->documentState().docModified);
  EXPECT_EQ(document->undoAction().text(), QStringLiteral("Отменить «Вставить координаты»"));
  QCoreApplication::processEvents();
  EXPECT_EQ(results.statusText(), QStringLiteral("вычислено точек: 2 (вставлено из вычислений: 2)   "
                                                 "контрольных измерений: 1   без результата: 1"))
      << "the inserted points are no check shots of themselves";
  document->menus()[4]->actions()[1]->trigger();
  EXPECT_EQ(list.size(), 11u) << "a point inserted once is not inserted again";

  document->UndoClick();
  ASSERT_EQ(list.size(), 9u);
  const std::vector<std::string> book = observedBook();
  for (std::size_t row = 0; row < book.size(); ++row) EXPECT_EQ(list.body(row).substr(0, book[row].size()), book[row]);
  EXPECT_EQ(document->undoStack().index(), steps) << "one step for all of them";

  document->RedoClick();
  EXPECT_EQ(list.size(), 11u);
  EXPECT_NE(list.body(9).find("P3"), std::string_view::npos);
}

TEST_F(SurveyWindowTest, manyPointsGoInAndOutInOnePassBehindAnUndoneImport) {
  std::vector<std::string> book = observedBook();
  book.resize(4);               // header, station, position, backsight
  constexpr int kPoints = 300;  // more than the list announces one by one
  for (int k = 0; k < kPoints; ++k)
    book.push_back(observation("Q" + std::to_string(k), "10.000", std::to_string(k) + ".0000"));
  TChildForm* document = newDocumentWith(book);
  importLines(*document, {observedBook().front(), "13NMimported"});
  document->UndoClick();  // its rows wait behind the document's for a redo
  const RecordList& list = document->recordModel().list();
  ASSERT_EQ(list.size(), book.size());

  document->InsertCoordinatesClick();
  ASSERT_EQ(list.size(), book.size() + kPoints);
  for (int k = 0; k < kPoints; ++k) {
    const std::size_t observed = 4 + 2 * static_cast<std::size_t>(k);
    ASSERT_EQ(list.body(observed), book[4 + static_cast<std::size_t>(k)] + "\r\n") << k;
    ASSERT_EQ(list.typeCode(observed + 1), "08") << k;
    ASSERT_EQ(list.body(observed + 1).substr(4, 16), name16("Q" + std::to_string(k))) << k;
  }
  EXPECT_EQ(document->recordModel().rowCount(), static_cast<int>(list.size()));
  EXPECT_EQ(document->listView().selectionModel()->selectedRows().size(), kPoints);

  document->UndoClick();
  ASSERT_EQ(list.size(), book.size());
  for (std::size_t row = 0; row < book.size(); ++row) EXPECT_EQ(list.body(row), book[row] + "\r\n") << row;
  EXPECT_EQ(list.setAsideCount(), 0u) << "the undone import is gone for good";
  document->RedoClick();
  EXPECT_EQ(list.size(), book.size() + kPoints);
}

TEST_F(SurveyWindowTest, insertWithoutComputedPointsSaysSoAndChangesNothing) {
  TChildForm* document = newDocumentWith({observedBook().front(), observation("P2", "10.000", "0")});
  const int steps = document->undoStack().count();
  document->InsertCoordinatesClick();
  EXPECT_EQ(document->recordModel().list().size(), 2u);
  EXPECT_EQ(document->undoStack().count(), steps);
  EXPECT_EQ(seam_.messages, QStringList({QStringLiteral("Нет вычисленных точек для вставки")}));
}

TEST_F(SurveyWindowTest, insertNamesThePointsThatDoNotFitTheFieldsAndLeavesThemOut) {
  // SDR2x: northing 9999999990 + 100 needs 11 digits, the position's field holds 10.
  TChildForm* document = newDocumentWith({
      "00NMSDR20     V03-05    25-Sep-10 22:10 113111",
      "02TPST01999999999020000.0000010.000000",
      "07TPST01P0010.000000000.00000000",
      "09F1ST01 FAR100.00000090.00000000.00000000",
      "09F1ST01NEAR10.000000090.000000090.0000000",
  });
  document->InsertCoordinatesClick();
  const RecordList& list = document->recordModel().list();
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(list.typeCode(5), "08");
  EXPECT_NE(list.body(5).find("NEAR"), std::string_view::npos) << list.body(5);
  EXPECT_EQ(seam_.messages,
            QStringList({QStringLiteral("Координаты не помещаются в поля записи, точки не вставлены: FAR")}));
}

TEST_F(SurveyWindowTest, resultsFollowAnEditOfTheRecords) {
  TChildForm* document = newDocumentWith(observedBook());
  ResultsWindow& results = openResults(*document);
  ASSERT_EQ(results.model(ResultsWindow::Points).rowCount(), 2);

  document->recordModel().removeRecords(7, 1);  // P3's observation
  QCoreApplication::processEvents();
  EXPECT_EQ(results.model(ResultsWindow::Points).rowCount(), 1);
  EXPECT_EQ(results.tabs().tabText(ResultsWindow::Points), QStringLiteral("Точки (1)"));

  importLines(*document, {observedBook().front(), observation("P5", "5.000", "180.0000")});
  QCoreApplication::processEvents();
  EXPECT_EQ(results.model(ResultsWindow::Points).rowCount(), 2);
  EXPECT_EQ(cell(results, ResultsWindow::Points, 1, 1), QStringLiteral("995.0000"));
}

// With the results window open the plan takes its results instead of
// computing them again: neither may be left a change behind.
TEST_F(SurveyWindowTest, planAndResultsOpenTogetherFollowTheSameEdit) {
  TChildForm* document = newDocumentWith(observedBook());
  // The plan first: its refresh after an edit comes before the results window's own.
  document->PlanClick();
  plan::PlanWindow& plan = *document->plan()->window();
  ResultsWindow& results = openResults(*document);
  ASSERT_EQ(plan.data().computedPoints(), 2u);

  document->recordModel().removeRecords(7, 1);  // P3's observation
  QCoreApplication::processEvents();
  EXPECT_EQ(plan.data().computedPoints(), 1u);
  EXPECT_EQ(results.model(ResultsWindow::Points).rowCount(), 1);

  importLines(*document, {observedBook().front(), observation("P5", "5.000", "180.0000")});
  QCoreApplication::processEvents();
  EXPECT_EQ(plan.computedText(), QStringLiteral("вычислено: 2"));
  EXPECT_EQ(results.model(ResultsWindow::Points).rowCount(), 2);

  results.close();  // the plan computes for itself again
  QCoreApplication::processEvents();
  document->recordModel().removeRecords(4, 1);  // P2's observation
  QCoreApplication::processEvents();
  EXPECT_EQ(plan.data().computedPoints(), 1u);
}

TEST_F(SurveyWindowTest, exportWritesTheTableAndShowsAFileError) {
  TChildForm* document = newDocumentWith(observedBook());
  ResultsWindow& results = openResults(*document);

  seam_.answerSave(path(QStringLiteral("points.csv")));
  results.exportTable();
  const QByteArray table = readFile(QStringLiteral("points.csv"));
  EXPECT_TRUE(table.startsWith("point;N;E;Elev;station;method")) << table.left(80).toStdString();
  EXPECT_TRUE(table.contains("\r\nP2;1000.0000;2010.0000;")) << table.toStdString();

  seam_.answerSave(path(QStringLiteral("no/such/dir/points.csv")));
  results.exportTable();
  EXPECT_EQ(seam_.errors, QStringList({QStringLiteral("File not found")}));

  seam_.cancelSave();
  results.exportTable();
  EXPECT_EQ(seam_.errors.size(), 1);
}

TEST_F(SurveyWindowTest, planDrawsTheComputedPointsAndTheirSightLines) {
  TChildForm* document = newDocumentWith(observedBook());
  document->PlanClick();
  plan::PlanWindow& plan = *document->plan()->window();
  EXPECT_EQ(plan.data().recordedPoints(), 2u);
  EXPECT_EQ(plan.data().computedPoints(), 2u);
  EXPECT_EQ(plan.data().computedLines().size(), 2u);
  EXPECT_EQ(plan.computedText(), QStringLiteral("вычислено: 2"));
  // The observation of a computed point highlights it, as one of a recorded point does.
  EXPECT_EQ(plan.data().pointNamedByRow(7), 3u);
}

TEST_F(SurveyWindowTest, theControlCheckBoxKeepsOrFreesRecordedCoordinates) {
  // ST1 keyed in as 0,0, standing between A and B.
  TChildForm* document = newDocumentWith({
      "00NMSDR33 V04-04.02     06-FEB-21 08:36 113111",
      "08KI" + name16("A") + number16("1000.000") + number16("1000.000") + number16("10.000"),
      "08KI" + name16("B") + number16("1000.000") + number16("1100.000") + number16("10.000"),
      "08KI" + name16("ST1") + number16("0.000") + number16("0.000") + number16("0.000"),
      "02TS" + name16("ST1") + std::string(48, ' ') + number16("0.000"),
      observation("A", "111.803399", "333.434949"),
      observation("B", "111.803399", "26.565051"),
  });
  ResultsWindow& results = openResults(*document);
  ResultsTable& control = results.model(ResultsWindow::Control);
  ASSERT_EQ(control.rowCount(), 3);
  EXPECT_EQ(cell(results, ResultsWindow::Control, 2, 0), QStringLiteral("ST1"));
  EXPECT_EQ(control.data(control.index(2, 1), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_TRUE(cell(results, ResultsWindow::Control, 2, 6).startsWith(QStringLiteral("Координаты ST1 из книги")));
  EXPECT_EQ(cell(results, ResultsWindow::Stations, 0, 1), QStringLiteral("свободная станция"));
  EXPECT_EQ(cell(results, ResultsWindow::Stations, 0, 2), QStringLiteral("900.0000"));

  ASSERT_TRUE(control.setData(control.index(2, 1), Qt::Checked, Qt::CheckStateRole));
  QCoreApplication::processEvents();
  EXPECT_EQ(results.results().stations[0].placing, survey::Placing::Control);
  EXPECT_EQ(cell(results, ResultsWindow::Stations, 0, 2), QStringLiteral("0.0000"));
  EXPECT_EQ(control.data(control.index(2, 1), Qt::CheckStateRole).toInt(), Qt::Checked);
}

TEST_F(SurveyWindowTest, adjustShowsTheAdjustmentAndFollowsEveryChangeUntilTheWindowCloses) {
  TChildForm* document = newDocumentWith(observedBook());
  ResultsWindow& results = openResults(*document);
  EXPECT_EQ(results.adjustment(), nullptr);
  EXPECT_TRUE(results.adjustmentSummary().startsWith(QStringLiteral("Книга не уравнена")));
  int adjusted = 0;
  QObject::connect(&results, &ResultsWindow::adjusted, [&adjusted] { ++adjusted; });

  results.adjust();
  ASSERT_NE(results.adjustment(), nullptr);
  EXPECT_EQ(adjusted, 1);
  EXPECT_EQ(results.tabs().currentIndex(), static_cast<int>(ResultsWindow::Adjusted));
  EXPECT_TRUE(results.adjustmentSummary().startsWith(QStringLiteral("План: m0' = ")))
      << results.adjustmentSummary().toStdString();
  const int points = results.model(ResultsWindow::Adjusted).rowCount();
  EXPECT_EQ(points, static_cast<int>(results.adjustment()->points.size()));
  EXPECT_GT(results.model(ResultsWindow::Residuals).rowCount(), 0);

  seam_.yesNoAnswers << true;
  document->listView().selectionModel()->select(document->recordModel().index(7, 0),
                                                QItemSelectionModel::ClearAndSelect);  // P3's observation
  document->DeleteClick();
  QCoreApplication::processEvents();
  EXPECT_EQ(adjusted, 2) << "an edit adjusts again";
  EXPECT_EQ(results.model(ResultsWindow::Adjusted).rowCount(), points - 1);
}

TEST_F(SurveyWindowTest, faceErrorsAreShownInSecondsWithTheUnitInTheTitle) {
  std::vector<std::string> book = observedBook();
  book.insert(book.begin() + 5,
              "09F2" + name16("ST1") + name16("P2") + number16("10.000") + number16("270.0000") + number16("270.0056"));
  TChildForm* document = newDocumentWith(book);
  ResultsWindow& results = openResults(*document);
  const QAbstractItemModel& pairs = results.model(ResultsWindow::FacePairs);
  EXPECT_EQ(pairs.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Коллимация, ″"));
  EXPECT_EQ(cell(results, ResultsWindow::FacePairs, 0, 2), QStringLiteral("-10.1"));  // (90 - 90.0056) / 2 degrees
  EXPECT_EQ(cell(results, ResultsWindow::FacePairs, 0, 3), QStringLiteral("0.0"));
}

}  // namespace
}  // namespace quillmar::test
