// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Room for labels on the picture, in cells of a few pixels: a label takes
// cells that no other label and no other point's symbol holds, and stays
// wholly inside the picture. What does not fit is left out, so labels thin
// out as the view zooms out.

#include <QRectF>

#include <cstdint>
#include <vector>

namespace quillmar::plan {

class LabelSpace {
 public:
  LabelSpace(double width, double height);

  // The symbol of point `owner` covers `box`.
  void markSymbol(const QRectF& box, std::uint32_t owner);
  // Takes the cells under `box` for the label of `owner` if they are free
  // (its own symbol's cells count as free).
  bool claim(const QRectF& box, std::uint32_t owner);

 private:
  struct Cells {
    int left, top, right, bottom;
  };
  Cells cellsUnder(const QRectF& box) const;
  std::int64_t& cell(int column, int row) { return cells_[static_cast<std::size_t>(row) * columns_ + column]; }

  double width_;
  double height_;
  int columns_;
  int rows_;
  // A point's index, or one of the marks below.
  std::vector<std::int64_t> cells_;
};

}  // namespace quillmar::plan
