// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ground to screen and back at true scale: one ground unit is the same
// number of pixels east and north. North is up, east is right.

#include "plan/extent.h"

namespace quillmar::plan {

struct ScreenPoint {
  double x = 0;
  double y = 0;
};

class ViewTransform {
 public:
  ViewTransform() = default;
  ViewTransform(double width, double height) : width_(width), height_(height) {}

  // The whole extent inside the view, `margin` pixels clear of each edge.
  void fit(const Extent& extent, double margin);
  // Zooms by `factor`, keeping the ground point under `anchor` where it is.
  void zoomAbout(ScreenPoint anchor, double factor);
  void panBy(double dx, double dy);
  void centreOn(GroundPoint point);
  // A new view size keeps the ground point at the centre.
  void resize(double width, double height);

  ScreenPoint toScreen(GroundPoint p) const {
    return {width_ / 2 + (p.east - centre_.east) * scale_, height_ / 2 - (p.north - centre_.north) * scale_};
  }
  GroundPoint toGround(ScreenPoint s) const {
    return {centre_.east + (s.x - width_ / 2) / scale_, centre_.north - (s.y - height_ / 2) / scale_};
  }
  // The ground the view shows.
  Extent visibleExtent() const;

  double scale() const { return scale_; }  // pixels per ground unit
  double width() const { return width_; }
  double height() const { return height_; }
  GroundPoint centre() const { return centre_; }

 private:
  void setScale(double scale);

  double width_ = 1;
  double height_ = 1;
  double scale_ = 1;
  GroundPoint centre_;
};

}  // namespace quillmar::plan
