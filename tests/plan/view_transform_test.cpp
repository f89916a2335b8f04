// SPDX-License-Identifier: GPL-3.0-or-later
// The view of the plan: fitting all points, zooming about a point, and one
// ground unit the same length east and north.

#include <gtest/gtest.h>

#include <cmath>

#include "plan/view_transform.h"

namespace quillmar::plan {
namespace {

Extent extentOf(std::initializer_list<GroundPoint> points) {
  Extent extent;
  for (const GroundPoint& p : points) extent.include(p);
  return extent;
}

TEST(ViewTransform, fitShowsEveryPointInsideTheMarginAtTrueScale) {
  // Wide and tall extents, in a wide view: the tighter axis decides the scale.
  for (const Extent& extent : {extentOf({{2207000, 412000}, {2210000, 415500}}), extentOf({{-50, 3}, {950, 13}})}) {
    ViewTransform view(800, 500);
    view.fit(extent, 20);
    const ScreenPoint low = view.toScreen({extent.minEast, extent.minNorth});
    const ScreenPoint high = view.toScreen({extent.maxEast, extent.maxNorth});
    EXPECT_GE(low.x, 20 - 1e-6);
    EXPECT_LE(high.x, 780 + 1e-6);
    EXPECT_GE(high.y, 20 - 1e-6);  // north is up
    EXPECT_LE(low.y, 480 + 1e-6);
    EXPECT_TRUE(std::abs(low.x - 20) < 1e-6 || std::abs(low.y - 480) < 1e-6) << "not as large as it fits";
    const ScreenPoint centre = view.toScreen(extent.centre());
    EXPECT_NEAR(centre.x, 400, 1e-6);
    EXPECT_NEAR(centre.y, 250, 1e-6);
  }
}

TEST(ViewTransform, oneGroundUnitIsTheSameLengthEastAndNorth) {
  ViewTransform view(640, 300);
  view.fit(extentOf({{0, 0}, {1000, 10}}), 10);
  view.zoomAbout({100, 50}, 3.7);
  const ScreenPoint origin = view.toScreen({500, 5});
  const ScreenPoint east = view.toScreen({501, 5});
  const ScreenPoint north = view.toScreen({500, 6});
  EXPECT_NEAR(east.x - origin.x, origin.y - north.y, 1e-9);
  EXPECT_NEAR(east.y, origin.y, 1e-9);
  EXPECT_NEAR(north.x, origin.x, 1e-9);
}

TEST(ViewTransform, zoomKeepsTheGroundPointUnderTheCursor) {
  ViewTransform view(700, 400);
  view.fit(extentOf({{1321000, 480900}, {1321600, 481100}}), 24);
  const ScreenPoint cursor{123, 321};
  const GroundPoint under = view.toGround(cursor);
  const double scale = view.scale();
  for (const double factor : {2.0, 0.5, 1.0015}) {
    view.zoomAbout(cursor, factor);
    const ScreenPoint after = view.toScreen(under);
    EXPECT_NEAR(after.x, cursor.x, 1e-6);
    EXPECT_NEAR(after.y, cursor.y, 1e-6);
  }
  EXPECT_NEAR(view.scale(), scale * 1.0015, 1e-12 * scale);
}

TEST(ViewTransform, fitOfOnePointOrALineStaysFinite) {
  for (const Extent& extent : {extentOf({{5, 7}}), extentOf({{5, 7}, {5, 9}}), Extent{}}) {
    ViewTransform view(300, 200);
    view.fit(extent, 10);
    EXPECT_TRUE(std::isfinite(view.scale()));
    EXPECT_GT(view.scale(), 0);
    if (!extent.empty()) {
      const ScreenPoint centre = view.toScreen(extent.centre());
      EXPECT_NEAR(centre.x, 150, 1e-6);
      EXPECT_NEAR(centre.y, 100, 1e-6);
    }
  }
}

}  // namespace
}  // namespace quillmar::plan
