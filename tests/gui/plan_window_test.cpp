// SPDX-License-Identifier: GPL-3.0-or-later
// The plan window of a document: opened from "Вид", one per document, kept
// current as the list changes, a click on a point selects its row and a
// selected row highlights its point; its SVG picture carries points and
// labels.

#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include "document/child_form.h"
#include "document/document_plan.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"
#include "plan/widgets/plan_canvas.h"
#include "plan/widgets/plan_window.h"

namespace quillmar::test {
namespace {

using plan::PictureFormat;
using plan::PictureScope;
using plan::PlanWindow;

class PlanWindowTest : public GuiTest {
 protected:
  PlanWindow& openPlan(TChildForm& document) {
    document.PlanClick();
    QCoreApplication::processEvents();
    return *document.plan()->window();
  }
  static QString selectedRows(TChildForm& document) {
    QString rows;
    for (const QModelIndex& index : document.listView().selectionModel()->selectedRows())
      rows += QString::number(index.row());
    return rows;
  }
  // Clicks the plan where the point of `row` is drawn.
  static void clickPointOfRow(PlanWindow& plan, int row) {
    const auto point = plan.data().pointOfRow(static_cast<std::size_t>(row));
    ASSERT_TRUE(point);
    const plan::ScreenPoint at = plan.canvas().view().toScreen(plan.data().positions()[*point]);
    QTest::mouseClick(&plan.canvas(), Qt::LeftButton, {}, QPoint(qRound(at.x), qRound(at.y)));
  }
};

TEST_F(PlanWindowTest, viewMenuOpensOnePlanPerDocumentInsideTheFrame) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  const QList<QMenu*>& menus = document->menus();
  ASSERT_EQ(menus.size(), 6);
  EXPECT_EQ(menus[3]->title(), QStringLiteral("Вид"));
  EXPECT_EQ(menus[3]->actions().value(0)->text(), QStringLiteral("План"));

  menus[3]->actions().value(0)->trigger();
  PlanWindow* plan = document->plan()->window();
  ASSERT_NE(plan, nullptr);
  document->PlanClick();
  EXPECT_EQ(document->plan()->window(), plan);
  auto* holder = qobject_cast<QMdiSubWindow*>(plan->parentWidget());
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(holder->mdiArea(), &frame_->mdiArea());
  EXPECT_EQ(frame_->mdiArea().subWindowList().size(), 2);

  QPointer<PlanWindow> planAlive(plan);
  closeDocument(*document);
  EXPECT_TRUE(planAlive.isNull()) << "the plan outlived its document";
}

TEST_F(PlanWindowTest, followsImportsEditsAndDeletesAndCountsSkippedRecords) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  PlanWindow& plan = openPlan(*document);
  EXPECT_EQ(plan.data().size(), 2u);
  EXPECT_EQ(plan.data().sightLines().size(), 1u);
  EXPECT_EQ(plan.skippedText(), QStringLiteral("пропущено записей: 0"));

  importLines(*document,
              {"00NMSDR33 V04-04.02     06-FEB-21 08:36 113111", "08KI              P2       text            2020.000",
               "08KI              P3       1030.000        2030.000"});
  QCoreApplication::processEvents();
  EXPECT_EQ(plan.data().size(), 3u);
  EXPECT_EQ(plan.skippedText(), QStringLiteral("пропущено записей: 1"));

  RecordListModel& model = document->recordModel();
  model.listForAppending().replace(
      4, SurveyRecord::fromText("08KI              P1       1111.000        2222.000", '3'), program_.captions);
  model.refreshRow(4);
  const auto edited = plan.data().pointOfRow(4);
  ASSERT_TRUE(edited);
  EXPECT_EQ(plan.data().positions()[*edited].east, 2222.0);

  model.removeRecords(2, 1);  // the station, and with it the sight line
  EXPECT_EQ(plan.data().size(), 2u);
  EXPECT_TRUE(plan.data().sightLines().empty());
}

TEST_F(PlanWindowTest, clickSelectsThePointsRowAndSelectingARowHighlightsItsPoint) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  PlanWindow& plan = openPlan(*document);
  plan.resize(600, 400);
  plan.show();
  plan.showAll();

  clickPointOfRow(plan, 4);
  EXPECT_EQ(selectedRows(*document), QStringLiteral("4"));
  EXPECT_EQ(plan.highlightedRow(), 4);

  QTreeView& list = document->listView();
  list.selectionModel()->select(list.model()->index(2, 0), QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(plan.canvas().highlighted(), plan.data().pointOfRow(2));
  list.selectionModel()->select(list.model()->index(5, 0), QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(plan.canvas().highlighted(), plan.data().pointOfRow(4)) << "the observed point";
  list.selectionModel()->select(list.model()->index(6, 0), QItemSelectionModel::ClearAndSelect);
  EXPECT_FALSE(plan.canvas().highlighted()) << "a note has no point";

  // After a row above is deleted, each point still leads to its own row.
  seam_.yesNoAnswers << true;
  list.selectionModel()->select(list.model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
  document->DeleteClick();
  clickPointOfRow(plan, 3);
  EXPECT_EQ(selectedRows(*document), QStringLiteral("3"));
  EXPECT_EQ(document->recordModel().list().record(3).typeCode.view(), "08");
}

TEST_F(PlanWindowTest, pictureFilesCarryPointsAndLabels) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  PlanWindow& plan = openPlan(*document);
  plan.resize(500, 360);
  plan.showAll();

  seam_.answerSave(path(QStringLiteral("plan.svg")));
  plan.exportPicture(PictureFormat::Svg, PictureScope::AllPoints);
  ASSERT_EQ(seam_.saveRequests.size(), 1);
  EXPECT_EQ(seam_.saveRequests[0].defaultSuffix, QStringLiteral("svg"));
  const QByteArray svg = readFile(QStringLiteral("plan.svg"));
  EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).toStdString();
  EXPECT_TRUE(svg.contains(">ST1<")) << "station label";
  EXPECT_TRUE(svg.contains(">P1<")) << "point label";
  EXPECT_EQ(svg.count("<path"), 1) << "the station's triangle";
  EXPECT_EQ(svg.count("<circle"), 1) << "the point's dot";

  ASSERT_TRUE(
      plan.writePicture(path(QStringLiteral("plan.png")), PictureFormat::Png, PictureScope::CurrentView).isEmpty());
  const QImage png(path(QStringLiteral("plan.png")));
  EXPECT_EQ(png.size(), plan.canvas().size());

  const QString failure =
      plan.writePicture(path(QStringLiteral("no/such/dir/plan.png")), PictureFormat::Png, PictureScope::CurrentView);
  EXPECT_FALSE(failure.isEmpty());
}

}  // namespace
}  // namespace quillmar::test
