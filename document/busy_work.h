// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Slow file work made visible: a wait cursor at once, and a progress window
// when the work takes longer than about 0.3 s. The window thread keeps
// painting meanwhile; the document's busy state (TChildForm) keeps its
// commands from starting until the work is done.

#include <QString>

#include <functional>

class QWidget;

namespace quillmar {

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Runs `work` on a worker thread and returns when it is done; an exception
// that `work` throws is thrown again here. `work` must only read what the
// window thread may show meanwhile.
void runWithProgress(QWidget* parent, const QString& label, const std::function<void()>& work);

}  // namespace quillmar
