// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The column of a tool window (the plan, the results): tool bar, body and
// status line edge to edge, as a main window would lay them out.

class QStatusBar;
class QVBoxLayout;
class QWidget;

namespace quillmar {

// The window's layout, without margins or gaps.
QVBoxLayout* edgeToEdgeColumn(QWidget& window);

// A status line at the bottom of the column, without a size grip: the
// window's own frame resizes it.
QStatusBar* addStatusLine(QWidget& window, QVBoxLayout& column);

}  // namespace quillmar
