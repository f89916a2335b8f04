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
#include <QMenuBar>
#include <QTest>
#include <QTreeView>

#include "document/child_form.h"
#include "document/document_plan.h"
#include "document/document_survey.h"
#include "document/record_list_model.h"
#include "gui_fixture.h"
#include "plan/widgets/plan_canvas.h"
#include "plan/widgets/plan_furniture.h"
#include "plan/widgets/plan_window.h"
#include "tests/survey/adjust_book.h"

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
  EXPECT_EQ(menus[3]->title().remove(QLatin1Char('&')), QStringLiteral("Вид"));
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
  EXPECT_EQ(svg.count("<path"), 3) << "the station's triangle and the north arrow's two halves";
  EXPECT_EQ(svg.count("<circle"), 1) << "the point's dot";

  ASSERT_TRUE(
      plan.writePicture(path(QStringLiteral("plan.png")), PictureFormat::Png, PictureScope::CurrentView).isEmpty());
  const QImage png(path(QStringLiteral("plan.png")));
  EXPECT_EQ(png.size(), plan.canvas().size());

  const QString failure =
      plan.writePicture(path(QStringLiteral("no/such/dir/plan.png")), PictureFormat::Png, PictureScope::CurrentView);
  EXPECT_FALSE(failure.isEmpty());
}

QStringList menuTitles(const QMenuBar& bar) {
  QStringList titles;
  for (const QAction* action : bar.actions()) titles << QString(action->text()).remove(QLatin1Char('&'));
  return titles;
}

TEST_F(PlanWindowTest, planAndResults_standBesideTheList_andTheDocumentsMenusStay) {
  frame_->show();
  TChildForm* document = newDocumentWith(sampleFieldBook());
  auto* own = qobject_cast<QMdiSubWindow*>(document->parentWidget());
  own->showMaximized();
  const QStringList documentMenus = menuTitles(*frame_->menuBar());
  ASSERT_EQ(documentMenus.size(), 7);

  document->PlanClick();
  document->SurveyClick();
  QCoreApplication::processEvents();
  QMdiSubWindow* plan = document->plan()->frameWindow();
  QMdiSubWindow* results = document->survey().frameWindow();
  EXPECT_FALSE(own->isMaximized());
  const QRect area = frame_->mdiArea().viewport()->rect();
  const QList<QMdiSubWindow*> windows{own, plan, results};
  for (int i = 0; i < windows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(area.contains(windows[i]->geometry()));
    for (int j = 0; j < i; ++j) EXPECT_FALSE(windows[i]->geometry().intersects(windows[j]->geometry())) << j;
  }
  EXPECT_GE(own->width(), 240) << "the list stays readable";
  frame_->resize(frame_->size() + QSize(300, 200));
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(results->geometry().right(), frame_->mdiArea().viewport()->width() - 1)
      << "a larger frame takes them along";
  EXPECT_EQ(results->geometry().bottom(), frame_->mdiArea().viewport()->height() - 1);
  for (QMdiSubWindow* side : {plan, results}) {
    frame_->mdiArea().setActiveSubWindow(side);
    EXPECT_EQ(frame_->activeDocument(), document);
    EXPECT_EQ(menuTitles(*frame_->menuBar()), documentMenus);
  }

  plan->close();
  results->close();
  deleteClosedWindows();
  EXPECT_TRUE(own->isMaximized()) << "back as it was";
}

bool hasHighlightColour(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() > 80 && c.green() < 180 && c.blue() < 90) return true;
    }
  return false;
}

// The rightmost point's label has no room on its right, so the picture puts
// it on the left: the selection's bold name goes over it there, not a
// second copy on the right.
TEST_F(PlanWindowTest, theSelectedPointsNameShowsOnceWhereItsLabelIs) {
  survey::test::TrueBook book(
      {{"A", 1000, 1000, 100, true}, {"B", 1100, 1100, 100, true}, {"RIGHTMOST-POINT", 1050, 1300, 100, true}}, {});
  TChildForm* document = newDocumentWith(book.lines());
  PlanWindow& plan = openPlan(*document);
  plan.resize(500, 360);
  plan.showAll();
  QTreeView& list = document->listView();
  list.selectionModel()->select(list.model()->index(4, 0), QItemSelectionModel::ClearAndSelect);
  ASSERT_EQ(plan.canvas().highlighted(), 2u);
  const plan::ScreenPoint point = plan.canvas().view().toScreen(plan::GroundPoint{1300, 1050});
  const QImage shown = plan.canvas().grab().toImage();
  int labelPixels = 0, rightOfThePoint = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (shown.pixelColor(x, y) == QColor(255, 240, 200)) ++labelPixels, rightOfThePoint += x > point.x + 12;
  EXPECT_GT(labelPixels, 100);
  EXPECT_EQ(rightOfThePoint, 0);
}

TEST_F(PlanWindowTest, pictures_carryNorthArrowAndScaleBar_butNotTheListsSelection) {
  TChildForm* document = newDocumentWith(sampleFieldBook());
  PlanWindow& plan = openPlan(*document);
  plan.resize(500, 360);
  plan.showAll();
  QTreeView& list = document->listView();
  list.selectionModel()->select(list.model()->index(4, 0), QItemSelectionModel::ClearAndSelect);
  ASSERT_TRUE(plan.canvas().highlighted());
  ASSERT_TRUE(hasHighlightColour(plan.canvas().grab().toImage())) << "the window shows the selection";

  ASSERT_TRUE(
      plan.writePicture(path(QStringLiteral("plan.png")), PictureFormat::Png, PictureScope::CurrentView).isEmpty());
  EXPECT_FALSE(hasHighlightColour(QImage(path(QStringLiteral("plan.png")))));

  ASSERT_TRUE(
      plan.writePicture(path(QStringLiteral("plan.svg")), PictureFormat::Svg, PictureScope::CurrentView).isEmpty());
  const QByteArray svg = readFile(QStringLiteral("plan.svg"));
  EXPECT_TRUE(svg.contains(">N<")) << "the north arrow's letter";
  const plan::ScaleBar bar = plan::scaleBarFor(plan.canvas().view());
  EXPECT_TRUE(svg.contains(">" + QByteArray::number(bar.groundLength) + "<")) << "the scale bar's length";
}

bool hasEllipseColour(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 90 && c.blue() > 110) return true;
    }
  return false;
}

TEST_F(PlanWindowTest, drawsTheErrorEllipsesOnceTheResultsWindowAdjusts) {
  TChildForm* document = newDocumentWith(survey::test::AdjustableBookLines());
  PlanWindow& plan = openPlan(*document);
  plan.resize(500, 360);
  plan.showAll();
  document->SurveyClick();
  EXPECT_TRUE(plan.data().ellipses().empty());
  EXPECT_FALSE(hasEllipseColour(plan.canvas().grab().toImage()));

  document->survey().window()->adjust();
  QCoreApplication::processEvents();
  EXPECT_EQ(plan.data().ellipses().size(), 3u) << "S2, P1, P2";
  EXPECT_TRUE(hasEllipseColour(plan.canvas().grab().toImage()));
}

struct MagnificationCase {
  double largest;  // ground units
  double scale;    // pixels per ground unit
  double magnification;
};

TEST(EllipseMagnification, drawsTheLargestSemiAxisAtMostTwentyPixelsInRoundSteps) {
  const MagnificationCase cases[] = {
      {0.004, 0.5, 10000},  // 2e-3 px: 10000 gives 20 px
      {0.003, 0.5, 10000},  // 1.5e-3 px: 13333 rounds down
      {0.0025, 2, 2000},    // 5e-3 px: 4000 rounds down
      {0.012, 0.01, 100000},
      {5, 10, 1},  // already 50 px: never made smaller
      {0, 1, 0},   // nothing to draw
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.magnification);
    const std::vector<plan::ErrorEllipse> ellipses = {{{0, 0}, c.largest / 2, c.largest / 4, 0},
                                                      {{1, 1}, c.largest, c.largest / 3, 1}};
    EXPECT_DOUBLE_EQ(plan::EllipseMagnification(ellipses, c.scale, 20), c.magnification);
  }
}

struct ScaleBarCase {
  double width;  // pixels
  double scale;  // pixels per ground unit
  double length;
};

TEST(PlanScaleBar, isTheLongestRoundLengthWithinAFifthOfTheWidth) {
  const ScaleBarCase cases[] = {
      {500, 1, 100},       // exactly a fifth
      {500, 2.5, 20},      // a fifth is 40
      {600, 0.013, 5000},  // a fifth is 9231
      {400, 300, 0.2},     // a fifth is 0.27
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    plan::ViewTransform view(c.width, 300);
    plan::Extent extent;
    extent.include({0, 0});
    extent.include({c.width / c.scale, 0});
    view.fit(extent, 0);
    ASSERT_NEAR(view.scale(), c.scale, c.scale * 1e-9);
    const plan::ScaleBar bar = plan::scaleBarFor(view);
    EXPECT_DOUBLE_EQ(bar.groundLength, c.length);
    EXPECT_NEAR(bar.pixels, c.length * c.scale, 1e-9);
  }
}

}  // namespace
}  // namespace quillmar::test
