// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a plan needs to be read off paper: a north arrow at the top right and
// a scale bar at the bottom right, in the book's own units.

#include "plan/view_transform.h"

class QPainter;

namespace quillmar::plan {

struct ScaleBar {
  double groundLength = 0;  // a round length: 1, 2 or 5 times a power of ten
  double pixels = 0;        // its length in the picture
};

// The longest round length that takes at most a fifth of the view's width.
ScaleBar scaleBarFor(const ViewTransform& view);

void paintNorthArrowAndScaleBar(QPainter& painter, const ViewTransform& view);

}  // namespace quillmar::plan
