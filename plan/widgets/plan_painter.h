// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws the plan on any paint device: the window, a PNG image, an SVG file.

#include <QHash>
#include <QPointF>

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
  // Where given, told where each drawn label went (its text's base point).
  QHash<std::size_t, QPointF>* labelsAt = nullptr;
};

void paintPlan(QPainter& painter, const PlanPicture& picture);
// The mark of a chosen point alone, to draw over a picture painted without
// it; `labelAt`: where that picture drew the point's label, to cover it.
void paintHighlight(QPainter& painter, const PlanData& data, const ViewTransform& view, std::size_t point,
                    std::optional<QPointF> labelAt = std::nullopt);

}  // namespace quillmar::plan
