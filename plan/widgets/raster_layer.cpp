// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/widgets/raster_layer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillmar::plan {

RasterLayer::RasterLayer(int width, int height)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied) {
  image_.fill(Qt::transparent);
  pixels_ = reinterpret_cast<QRgb*>(image_.bits());
  stride_ = image_.bytesPerLine() / static_cast<std::ptrdiff_t>(sizeof(QRgb));
}

// Liang-Barsky against the image's pixel centres.
bool RasterLayer::clip(double& x0, double& y0, double& x1, double& y1) const {
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0, image_.width() - 1 - x0, y0, image_.height() - 1 - y0};
  double enter = 0;
  double leave = 1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      enter = std::max(enter, t);
    else
      leave = std::min(leave, t);
  }
  if (enter > leave) return false;
  x1 = x0 + leave * dx;
  y1 = y0 + leave * dy;
  x0 += enter * dx;
  y0 += enter * dy;
  return true;
}

void RasterLayer::line(double x0, double y0, double x1, double y1, QRgb colour) {
  if (!clip(x0, y0, x1, y1)) return;
  int x = static_cast<int>(std::lround(x0));
  int y = static_cast<int>(std::lround(y0));
  const int xEnd = static_cast<int>(std::lround(x1));
  const int yEnd = static_cast<int>(std::lround(y1));
  const int dx = std::abs(xEnd - x);
  const int dy = -std::abs(yEnd - y);
  const int stepX = x < xEnd ? 1 : -1;
  const int stepY = y < yEnd ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    set(x, y, colour);
    if (x == xEnd && y == yEnd) return;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

void RasterLayer::block(double x, double y, int size, QRgb colour) {
  const int left = static_cast<int>(std::floor(x - size / 2.0 + 0.5));
  const int top = static_cast<int>(std::floor(y - size / 2.0 + 0.5));
  const int right = std::min(left + size, image_.width());
  const int bottom = std::min(top + size, image_.height());
  for (int row = std::max(top, 0); row < bottom; ++row)
    for (int column = std::max(left, 0); column < right; ++column) set(column, row, colour);
}

}  // namespace quillmar::plan
