// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/side_window_tiling.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace quillmar {
namespace {

// The list stays readable however wide the side windows would like to be.
constexpr int kMinimumDocumentWidth = 240;

}  // namespace

void SideWindowTiling::arrange(QMdiSubWindow& document, const std::vector<Side>& sides) {
  placed_.clear();
  if (sides.empty()) {
    restore(document);
    return;
  }
  QMdiArea* area = document.mdiArea();
  if (area == nullptr) return;
  remember(document);
  const QSize space = area->viewport()->size();
  int columnWidth = 0;
  for (const Side& side : sides)
    columnWidth =
        std::max({columnWidth, space.width() * side.widthTwentieths / 20, side.window->minimumSizeHint().width()});
  columnWidth = std::clamp(columnWidth, 0, std::max(space.width() - kMinimumDocumentWidth, space.width() / 2));
  // A maximized window would make every window activated after it maximized too.
  for (QMdiSubWindow* window : area->subWindowList())
    if (window->isMaximized()) window->showNormal();
  document.setGeometry(0, 0, space.width() - columnWidth, space.height());
  const int count = static_cast<int>(sides.size());
  for (int k = 0; k < count; ++k) {
    const int top = space.height() * k / count;
    const int bottom = space.height() * (k + 1) / count;
    QMdiSubWindow& side = *sides[static_cast<std::size_t>(k)].window;
    if (side.isMinimized()) side.showNormal();
    side.setGeometry(space.width() - columnWidth, top, columnWidth, bottom - top);
    placed_.emplace_back(&side, side.geometry());
  }
  placed_.emplace_back(&document, document.geometry());
}

bool SideWindowTiling::untouched() const {
  if (placed_.empty()) return false;
  return std::ranges::all_of(placed_, [](const auto& placed) {
    return placed.first && !placed.first->isMaximized() && !placed.first->isMinimized() &&
           placed.first->geometry() == placed.second;
  });
}

void SideWindowTiling::remember(QMdiSubWindow& document) {
  if (remembered_) return;
  remembered_ = true;
  wasMaximized_ = document.isMaximized();
  before_ = document.geometry();
}

void SideWindowTiling::restore(QMdiSubWindow& document) {
  if (!remembered_) return;
  remembered_ = false;
  if (wasMaximized_)
    document.showMaximized();
  else
    document.setGeometry(before_);
}

}  // namespace quillmar
