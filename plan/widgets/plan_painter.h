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

}  // namespace quillmar::plan
