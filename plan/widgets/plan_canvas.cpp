// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/widgets/plan_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

#include "plan/widgets/plan_furniture.h"
#include "plan/widgets/plan_painter.h"

namespace quillmar::plan {
namespace {

constexpr double kFitMargin = 24;
constexpr double kPickRadius = 7;      // pixels
constexpr double kDragThreshold = 4;   // pixels before a press becomes a drag
constexpr double kWheelStep = 1.0015;  // per eighth of a degree
// A picture that took longer than this is shifted while dragging and drawn
// again when the button is released.
constexpr qint64 kSmoothRenderMs = 25;

}  // namespace

PlanCanvas::PlanCanvas(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::WheelFocus);
  setMinimumSize(160, 120);
}

void PlanCanvas::setData(const PlanData* data) {
  data_ = data;
  if (followsData_ || !fitted_) showAll();
  pictureCurrent_ = false;
  update();
}

void PlanCanvas::setHighlighted(std::optional<std::size_t> point) {
  if (highlighted_ == point) return;
  highlighted_ = point;
  update();  // drawn over the picture, which stays as it is
}

void PlanCanvas::showAll() {
  view_.resize(width(), height());
  if (data_ != nullptr) view_.fit(data_->extent(), kFitMargin);
  fitted_ = data_ != nullptr && !data_->empty();
  followsData_ = true;
  pictureCurrent_ = false;
  update();
}

void PlanCanvas::bringIntoView(std::size_t point) {
  if (data_ == nullptr || point >= data_->size()) return;
  const GroundPoint at = data_->positions()[point];
  if (view_.visibleExtent().contains(at)) return;
  view_.centreOn(at);
  followsData_ = false;
  pictureCurrent_ = false;
  update();
}

void PlanCanvas::zoomAbout(QPointF anchor, double factor) {
  view_.zoomAbout({anchor.x(), anchor.y()}, factor);
  followsData_ = false;
  pictureCurrent_ = false;
  update();
}

std::optional<std::size_t> PlanCanvas::pointAt(QPointF at) const {
  if (data_ == nullptr) return std::nullopt;
  return data_->nearestPoint(view_.toGround({at.x(), at.y()}), kPickRadius / view_.scale());
}

void PlanCanvas::render() {
  QElapsedTimer timer;
  timer.start();
  picture_ = QImage(size() * devicePixelRatioF(), QImage::Format_RGB32);
  picture_.setDevicePixelRatio(devicePixelRatioF());
  QPainter painter(&picture_);
  if (data_ != nullptr) {
    labelsAt_.clear();
    paintPlan(painter, {*data_, view_, std::nullopt, &labelsAt_});
  } else {
    painter.fillRect(rect(), Qt::white);
  }
  pictureView_ = view_;
  pictureCurrent_ = true;
  lastRenderMs_ = timer.elapsed();
}

void PlanCanvas::paintEvent(QPaintEvent*) {
  const bool shiftOnly =
      dragging_ && lastRenderMs_ > kSmoothRenderMs && !picture_.isNull() && pictureView_.scale() == view_.scale();
  if (!pictureCurrent_ && !shiftOnly) render();
  QPainter painter(this);
  QPointF shift;
  if (pictureCurrent_ && !shiftOnly) {
    painter.drawImage(0, 0, picture_);
  } else {
    const ScreenPoint was = view_.toScreen(pictureView_.toGround({0, 0}));
    shift = QPointF(was.x, was.y);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(shift, picture_);
  }
  // Over the label the picture gave the point, wherever it went, so that its
  // name shows once.
  if (data_ != nullptr && highlighted_) {
    const auto label = labelsAt_.constFind(*highlighted_);
    paintHighlight(painter, *data_, view_, *highlighted_,
                   label == labelsAt_.constEnd() ? std::nullopt : std::optional<QPointF>(*label + shift));
  }
  // Over the picture, so that a drag does not carry them along.
  paintNorthArrowAndScaleBar(painter, view_);
}

void PlanCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_.resize(width(), height());
  if (followsData_) showAll();
  pictureCurrent_ = false;
}

void PlanCanvas::wheelEvent(QWheelEvent* event) {
  const double eighths = event->angleDelta().y();
  if (eighths == 0) return;
  zoomAbout(event->position(), std::pow(kWheelStep, eighths));
  event->accept();
}

void PlanCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressedAt_ = event->position();
  lastDragAt_ = event->position();
  dragging_ = false;
}

void PlanCanvas::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  emit cursorMoved(view_.toGround({at.x(), at.y()}));
  if (!pressedAt_ || !(event->buttons() & Qt::LeftButton)) return;
  if (!dragging_ && QLineF(*pressedAt_, at).length() < kDragThreshold) return;
  dragging_ = true;
  setCursor(Qt::ClosedHandCursor);
  panTo(at);
}

void PlanCanvas::panTo(QPointF at) {
  view_.panBy(at.x() - lastDragAt_.x(), at.y() - lastDragAt_.y());
  lastDragAt_ = at;
  followsData_ = false;
  pictureCurrent_ = false;
  update();
}

void PlanCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressedAt_) return;
  const bool wasDrag = dragging_;
  pressedAt_.reset();
  dragging_ = false;
  unsetCursor();
  if (wasDrag) {
    pictureCurrent_ = false;
    update();
    return;
  }
  emit clicked(event->position());
}

void PlanCanvas::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit cursorLeft();
}

}  // namespace quillmar::plan
