// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/widgets/plan_window.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <string_view>
#include <unordered_map>
#include <vector>

#include "plan/widgets/plan_canvas.h"
#include "survey/adjustment.h"
#include "survey/survey.h"
#include "widgets/tool_window.h"

namespace quillmar::plan {
namespace {

QString coordinate(double value) { return QString::number(value, 'f', 3); }

// The computed points as the plan takes them; names are views into `results`.
PlanData readWithComputed(const RecordList& list, std::size_t rows, const survey::Results& results) {
  std::vector<ComputedPlace> places;
  places.reserve(results.points.size());
  std::unordered_map<std::string_view, std::uint32_t> placeOf;
  for (const survey::ComputedPoint& point : results.points) {
    placeOf.emplace(point.point, static_cast<std::uint32_t>(places.size()));
    places.push_back({point.point, GroundPoint{point.east, point.north}, point.lastRow});
  }
  for (const survey::StationResult& station : results.stations) {
    const auto place = placeOf.find(station.station);
    if (place != placeOf.end() && station.placing != survey::Placing::Control) places[place->second].station = true;
  }
  std::vector<ComputedSight> sights;
  for (const survey::Solution& solution : results.solutions) {
    const auto place = placeOf.find(solution.point);
    if (solution.method == survey::Method::Check || place == placeOf.end()) continue;
    sights.push_back({place->second, solution.station, solution.row, solution.pairRow});
  }
  std::vector<std::string_view> setAside;
  for (const survey::SetAside& point : results.setAside) setAside.push_back(point.point);
  return PlanData::read(list, rows, places, sights, setAside);
}

std::vector<ErrorEllipse> ellipsesOf(const survey::Adjustment& adjustment) {
  std::vector<ErrorEllipse> ellipses;
  for (const survey::AdjustedPoint& point : adjustment.points) {
    if (point.role != survey::PointRole::Adjusted || !point.a || !point.b || !point.bearing) continue;
    ellipses.push_back({GroundPoint{point.east, point.north}, *point.a, *point.b, *point.bearing});
  }
  return ellipses;
}

}  // namespace

PlanWindow::PlanWindow(const RecordList& list, const QAbstractItemModel& rows, Dialogs dialogs, QWidget* parent)
    : QWidget(parent), list_(list), rows_(rows), dialogs_(std::move(dialogs)) {
  QVBoxLayout* layout = edgeToEdgeColumn(*this);
  createToolBar();
  canvas_ = new PlanCanvas(this);
  canvas_->setObjectName(QStringLiteral("PlanCanvas"));
  layout->addWidget(toolBar_);
  layout->addWidget(canvas_, 1);
  createStatusLine();
  connect(canvas_, &PlanCanvas::clicked, this, &PlanWindow::canvasClicked);
  connect(canvas_, &PlanCanvas::cursorMoved, this, &PlanWindow::showCursor);
  connect(canvas_, &PlanCanvas::cursorLeft, cursorLabel_, &QLabel::clear);

  // Every way the list changes reaches the plan through these.
  connect(&rows_, &QAbstractItemModel::rowsInserted, this, &PlanWindow::rowsInserted);
  connect(&rows_, &QAbstractItemModel::rowsRemoved, this, &PlanWindow::rowsRemoved);
  connect(&rows_, &QAbstractItemModel::dataChanged, this, &PlanWindow::markStale);
  connect(&rows_, &QAbstractItemModel::modelReset, this, [this] {
    highlightedRow_.reset();
    markStale();
  });
  connect(&rows_, &QAbstractItemModel::layoutChanged, this, &PlanWindow::markStale);
  refresh();
  resize(720, 520);
}

void PlanWindow::createToolBar() {
  toolBar_ = new QToolBar(this);
  toolBar_->setIconSize(QSize(16, 16));
  QAction* all = toolBar_->addAction(QStringLiteral("Показать всё"), this, &PlanWindow::showAll);
  all->setObjectName(QStringLiteral("showAll"));
  auto* exportMenu = new QMenu(this);
  const struct {
    QString text;
    PictureFormat format;
    PictureScope scope;
  } kinds[] = {
      {QStringLiteral("PNG: текущий вид"), PictureFormat::Png, PictureScope::CurrentView},
      {QStringLiteral("PNG: все точки"), PictureFormat::Png, PictureScope::AllPoints},
      {QStringLiteral("SVG: текущий вид"), PictureFormat::Svg, PictureScope::CurrentView},
      {QStringLiteral("SVG: все точки"), PictureFormat::Svg, PictureScope::AllPoints},
  };
  for (const auto& kind : kinds) {
    exportMenu->addAction(kind.text, this,
                          [this, format = kind.format, scope = kind.scope] { exportPicture(format, scope); });
  }
  auto* exportButton = new QToolButton(toolBar_);
  exportButton->setText(QStringLiteral("Экспорт рисунка"));
  exportButton->setMenu(exportMenu);
  exportButton->setPopupMode(QToolButton::InstantPopup);
  toolBar_->addWidget(exportButton);
}

void PlanWindow::createStatusLine() {
  QStatusBar* status = addStatusLine(*this, *qobject_cast<QVBoxLayout*>(layout()));
  cursorLabel_ = new QLabel(status);
  pointsLabel_ = new QLabel(status);
  skippedLabel_ = new QLabel(status);
  computedLabel_ = new QLabel(status);
  status->addWidget(cursorLabel_, 1);
  status->addPermanentWidget(pointsLabel_);
  status->addPermanentWidget(computedLabel_);
  status->addPermanentWidget(skippedLabel_);
}

void PlanWindow::markStale() { pending_.markStale(); }

void PlanWindow::refresh() {
  const auto rows = static_cast<std::size_t>(rows_.rowCount());
  const survey::Results* shared = sharedResults_ ? sharedResults_() : nullptr;
  data_ = shared ? readWithComputed(list_, rows, *shared) : readWithComputed(list_, rows, survey::Compute(list_, rows));
  if (const survey::Adjustment* adjustment = sharedAdjustment_ ? sharedAdjustment_() : nullptr)
    data_.setEllipses(ellipsesOf(*adjustment));
  pending_.refreshed();
  canvas_->setData(&data_);
  applyHighlight();
  pointsLabel_->setText(QStringLiteral("точек: %1").arg(data_.recordedPoints()));
  computedLabel_->setText(computedText());
  skippedLabel_->setText(skippedText());
}

const PlanData& PlanWindow::data() {
  if (pending_.stale()) refresh();
  return data_;
}

void PlanWindow::rowsInserted(const QModelIndex& parent, int first, int last) {
  if (parent.isValid()) return;
  if (highlightedRow_ && *highlightedRow_ >= first) *highlightedRow_ += last - first + 1;
  markStale();
}

void PlanWindow::rowsRemoved(const QModelIndex& parent, int first, int last) {
  if (parent.isValid()) return;
  if (highlightedRow_ && *highlightedRow_ > last)
    *highlightedRow_ -= last - first + 1;
  else if (highlightedRow_ && *highlightedRow_ >= first)
    highlightedRow_.reset();
  markStale();
}

void PlanWindow::highlightRow(std::optional<int> row) {
  highlightedRow_ = row;
  data();
  applyHighlight();
  if (canvas_->highlighted()) canvas_->bringIntoView(*canvas_->highlighted());
}

void PlanWindow::applyHighlight() {
  std::optional<std::size_t> point;
  if (highlightedRow_ && *highlightedRow_ >= 0)
    point = data_.pointNamedByRow(static_cast<std::size_t>(*highlightedRow_));
  canvas_->setHighlighted(point);
}

void PlanWindow::canvasClicked(QPointF at) {
  data();
  const auto point = canvas_->pointAt(at);
  if (!point) return;
  const int row = static_cast<int>(data_.points()[*point].row);
  highlightedRow_ = row;
  applyHighlight();
  emit rowClicked(row);
}

void PlanWindow::showAll() {
  data();
  canvas_->showAll();
}

void PlanWindow::showCursor(GroundPoint at) {
  cursorLabel_->setText(QStringLiteral("N=%1  E=%2").arg(coordinate(at.north), coordinate(at.east)));
}

QString PlanWindow::cursorText() const { return cursorLabel_->text(); }

QString PlanWindow::computedText() const { return QStringLiteral("вычислено: %1").arg(data_.computedPoints()); }

QString PlanWindow::skippedText() const { return QStringLiteral("пропущено записей: %1").arg(data_.skippedRecords()); }

void PlanWindow::exportPicture(PictureFormat format, PictureScope scope) {
  if (!dialogs_.askPictureName) return;
  const QString path = dialogs_.askPictureName(this, format);
  if (path.isEmpty()) return;
  const QString error = writePicture(path, format, scope);
  if (!error.isEmpty() && dialogs_.showError)
    dialogs_.showError(this, QStringLiteral("Рисунок не записан: %1\n%2").arg(path, error));
}

QString PlanWindow::writePicture(const QString& path, PictureFormat format, PictureScope scope) {
  const PlanData& plan = data();
  const ViewTransform view = scope == PictureScope::AllPoints ? allPointsView(plan, canvas_->view()) : canvas_->view();
  // The list's selection is no part of the plan: the picture has no ring.
  return writePlanPicture(path, format, {plan, view, std::nullopt});
}

}  // namespace quillmar::plan
