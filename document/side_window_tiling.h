// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A document window and its plan and results windows share the frame: the
// document at the left, the others in a column at the right, one above the
// other, so that none covers another, the list included, whatever state
// the document window was in. When the last of them closes, the document
// window gets back the place (and the maximized state) it had before.
// While nobody has moved or resized them, they follow the frame's size.

#include <QPointer>
#include <QRect>

#include <utility>
#include <vector>

class QMdiSubWindow;

namespace quillmar {

class SideWindowTiling {
 public:
  struct Side {
    QMdiSubWindow* window;
    int widthTwentieths;  // of the frame's width
  };

  // `sides`: the side windows open now, top to bottom; none: the document's old place back.
  void arrange(QMdiSubWindow& document, const std::vector<Side>& sides);
  // True while the windows stand where the last arrange put them.
  bool untouched() const;

 private:
  void remember(QMdiSubWindow& document);
  void restore(QMdiSubWindow& document);

  bool remembered_ = false;
  bool wasMaximized_ = false;
  QRect before_;  // when it was not maximized
  std::vector<std::pair<QPointer<QMdiSubWindow>, QRect>> placed_;
};

}  // namespace quillmar
