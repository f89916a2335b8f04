// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a window first stands: centred on its screen, or over the window
// of its parent.

class QWidget;

namespace quillmar {

// Centred on the free area of the screen it is on.
void centreOnScreen(QWidget& window);

// Centred over its parent's window, its own frame included; nothing without a parent.
void centreOnParentWindow(QWidget& window);

}  // namespace quillmar
