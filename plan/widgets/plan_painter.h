// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws the plan on any paint device: the window, a PNG image, an SVG file.

#include <cstddef>
#include <optional>

#include "plan/plan_data.h"
#include "plan/view_transform.h"

class QPainter;

namespace quillmar::plan {

struct PlanPicture {
  const PlanData& data;
  ViewTransform view;
  std::optional<std::size_t> highlighted;  // a point index
};

void paintPlan(QPainter& painter, const PlanPicture& picture);
// The mark of a chosen point alone, to draw over a picture painted without it.
void paintHighlight(QPainter& painter, const PlanData& data, const ViewTransform& view, std::size_t point);

}  // namespace quillmar::plan
