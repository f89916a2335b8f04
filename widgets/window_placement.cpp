// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/window_placement.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace quillmar {

void centreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  window.move(screen->availableGeometry().center() - QPoint(window.width() / 2, window.height() / 2));
}

void centreOnParentWindow(QWidget& window) {
  const QWidget* parent = window.parentWidget();
  if (parent == nullptr) return;
  const QRect host = parent->window()->frameGeometry();
  const QRect own = window.frameGeometry();
  window.move(host.center() - QPoint(own.width() / 2, own.height() / 2));
}

}  // namespace quillmar
