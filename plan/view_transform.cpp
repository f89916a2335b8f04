// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/view_transform.h"

#include <algorithm>
#include <cmath>

namespace quillmar::plan {
namespace {

// Beyond these, a double no longer tells neighbouring pixels apart on
// coordinates of survey size.
constexpr double kMinScale = 1e-9;
constexpr double kMaxScale = 1e6;
// A lone point, or points all at one place, is shown in a view this wide.
constexpr double kSinglePointSpan = 10;

}  // namespace

void ViewTransform::setScale(double scale) {
  scale_ = std::isfinite(scale) ? std::clamp(scale, kMinScale, kMaxScale) : 1;
}

void ViewTransform::fit(const Extent& extent, double margin) {
  if (extent.empty()) {
    centre_ = {};
    setScale(1);
    return;
  }
  centre_ = extent.centre();
  const double usableWidth = std::max(width_ - 2 * margin, 1.0);
  const double usableHeight = std::max(height_ - 2 * margin, 1.0);
  if (extent.width() == 0 && extent.height() == 0) {
    setScale(std::min(usableWidth, usableHeight) / kSinglePointSpan);
    return;
  }
  // A line of points along one axis is fitted by its length alone.
  const double byWidth = extent.width() > 0 ? usableWidth / extent.width() : kMaxScale;
  const double byHeight = extent.height() > 0 ? usableHeight / extent.height() : kMaxScale;
  setScale(std::min(byWidth, byHeight));
}

void ViewTransform::zoomAbout(ScreenPoint anchor, double factor) {
  const GroundPoint fixed = toGround(anchor);
  setScale(scale_ * factor);
  centre_.east = fixed.east - (anchor.x - width_ / 2) / scale_;
  centre_.north = fixed.north + (anchor.y - height_ / 2) / scale_;
}

void ViewTransform::panBy(double dx, double dy) {
  centre_.east -= dx / scale_;
  centre_.north += dy / scale_;
}

void ViewTransform::centreOn(GroundPoint point) { centre_ = point; }

void ViewTransform::resize(double width, double height) {
  width_ = std::max(width, 1.0);
  height_ = std::max(height, 1.0);
}

Extent ViewTransform::visibleExtent() const {
  Extent extent;
  extent.include(toGround({0, 0}));
  extent.include(toGround({width_, height_}));
  return extent;
}

}  // namespace quillmar::plan
