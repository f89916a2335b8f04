// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plan as a PNG or an SVG file, of the window's view or of all points,
// with its north arrow and scale bar.

#include <QString>

#include "plan/widgets/plan_painter.h"

namespace quillmar::plan {

enum class PictureFormat { Png, Svg };

// Returns the reason when the file could not be written, else an empty text.
// The file is replaced only once the whole picture has been written.
QString writePlanPicture(const QString& path, PictureFormat format, const PlanPicture& picture);

// The same view size, fitted to every point.
ViewTransform allPointsView(const PlanData& data, const ViewTransform& view);

}  // namespace quillmar::plan
