// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window that shows what it reads from a model refreshes once for however
// many of the model's signals arrive before it next draws (an undo of a
// thousand rows sends a thousand): the refresh waits in the event queue.

#include <QObject>

#include <functional>

namespace quillmar {

class QueuedRefresh {
 public:
  // `refresh` runs in the event loop of `owner`, never after owner is gone.
  QueuedRefresh(QObject& owner, std::function<void()> refresh);

  // What the window shows is out of date: one refresh is queued.
  void markStale();
  bool stale() const { return stale_; }
  // The window refreshed: a queued refresh has nothing left to do.
  void refreshed() { stale_ = false; }

 private:
  QObject& owner_;
  std::function<void()> refresh_;
  bool stale_ = true;
  bool queued_ = false;
};

}  // namespace quillmar
