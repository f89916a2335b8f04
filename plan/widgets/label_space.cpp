// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/widgets/label_space.h"

#include <algorithm>
#include <cmath>

namespace quillmar::plan {
namespace {

constexpr double kCell = 4;
constexpr std::int64_t kFree = -1;
constexpr std::int64_t kTaken = -2;  // a label, or the symbols of several points

}  // namespace

LabelSpace::LabelSpace(double width, double height)
    : width_(width),
      height_(height),
      columns_(static_cast<int>(std::ceil(width / kCell)) + 1),
      rows_(static_cast<int>(std::ceil(height / kCell)) + 1),
      cells_(static_cast<std::size_t>(columns_) * rows_, kFree) {}

LabelSpace::Cells LabelSpace::cellsUnder(const QRectF& box) const {
  return {std::clamp(static_cast<int>(std::floor(box.left() / kCell)), 0, columns_ - 1),
          std::clamp(static_cast<int>(std::floor(box.top() / kCell)), 0, rows_ - 1),
          std::clamp(static_cast<int>(std::floor(box.right() / kCell)), 0, columns_ - 1),
          std::clamp(static_cast<int>(std::floor(box.bottom() / kCell)), 0, rows_ - 1)};
}

void LabelSpace::markSymbol(const QRectF& box, std::uint32_t owner) {
  const Cells under = cellsUnder(box);
  for (int row = under.top; row <= under.bottom; ++row)
    for (int column = under.left; column <= under.right; ++column) {
      std::int64_t& c = cell(column, row);
      c = c == kFree || c == owner ? owner : kTaken;
    }
}

bool LabelSpace::claim(const QRectF& box, std::uint32_t owner) {
  if (box.left() < 0 || box.top() < 0 || box.right() > width_ || box.bottom() > height_) return false;
  const Cells under = cellsUnder(box);
  for (int row = under.top; row <= under.bottom; ++row)
    for (int column = under.left; column <= under.right; ++column) {
      const std::int64_t c = cell(column, row);
      if (c != kFree && c != owner) return false;
    }
  for (int row = under.top; row <= under.bottom; ++row)
    for (int column = under.left; column <= under.right; ++column) cell(column, row) = kTaken;
  return true;
}

}  // namespace quillmar::plan
