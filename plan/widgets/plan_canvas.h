// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area of the plan window: wheel zoom about the cursor, drag to
// pan; a click picks the nearest point.

#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <cstddef>
#include <optional>

#include "plan/plan_data.h"
#include "plan/view_transform.h"

namespace quillmar::plan {

class PlanCanvas final : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(PlanCanvas)

 public:
  explicit PlanCanvas(QWidget* parent = nullptr);

  // The plan to draw; it must outlive its use here (the window owns both).
  void setData(const PlanData* data);
  void setHighlighted(std::optional<std::size_t> point);
  std::optional<std::size_t> highlighted() const { return highlighted_; }

  void showAll();
  // Keeps the view, but brings `point` into it when it lies outside.
  void bringIntoView(std::size_t point);
  void zoomAbout(QPointF anchor, double factor);
  const ViewTransform& view() const { return view_; }
  // True until the user zooms or pans: new data is then fitted again.
  bool followsData() const { return followsData_; }

  // The point a click at `at` picks, if one is close enough.
  std::optional<std::size_t> pointAt(QPointF at) const;

 signals:
  // A press and release without a drag; pointAt() tells which point.
  void clicked(QPointF at);
  void cursorMoved(GroundPoint at);
  void cursorLeft();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void render();
  void panTo(QPointF at);

  const PlanData* data_ = nullptr;
  ViewTransform view_;
  std::optional<std::size_t> highlighted_;
  QHash<std::size_t, QPointF> labelsAt_;  // of the picture
  bool followsData_ = true;
  bool fitted_ = false;

  // A drag shifts the last picture while a slow plan is drawn again.
  QImage picture_;
  ViewTransform pictureView_;
  bool pictureCurrent_ = false;
  qint64 lastRenderMs_ = 0;

  std::optional<QPointF> pressedAt_;
  QPointF lastDragAt_;
  bool dragging_ = false;
};

}  // namespace quillmar::plan
