// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where points and sight lines crowd, drawing each one through QPainter
// costs more than it shows: they are set straight into the pixels of one
// image instead, which the painter then draws in one go.

#include <QColor>
#include <QImage>

#include <cstddef>

namespace quillmar::plan {

class RasterLayer {
 public:
  RasterLayer(int width, int height);

  // Clipped to the image; the ends may lie anywhere.
  void line(double x0, double y0, double x1, double y1, QRgb colour);
  // A square of `size` pixels centred on (x, y).
  void block(double x, double y, int size, QRgb colour);

  const QImage& image() const { return image_; }

 private:
  void set(int x, int y, QRgb colour) { pixels_[static_cast<std::ptrdiff_t>(y) * stride_ + x] = colour; }
  bool clip(double& x0, double& y0, double& x1, double& y1) const;

  QImage image_;
  // Straight into the pixels: QImage::scanLine checks for sharing on each call.
  QRgb* pixels_ = nullptr;
  std::ptrdiff_t stride_ = 0;  // pixels per line
};

}  // namespace quillmar::plan
