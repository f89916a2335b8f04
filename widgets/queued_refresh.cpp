// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/queued_refresh.h"

#include <QMetaObject>

#include <utility>

namespace quillmar {

QueuedRefresh::QueuedRefresh(QObject& owner, std::function<void()> refresh)
    : owner_(owner), refresh_(std::move(refresh)) {}

void QueuedRefresh::markStale() {
  stale_ = true;
  if (queued_) return;
  queued_ = true;
  QMetaObject::invokeMethod(
      &owner_,
      [this] {
        queued_ = false;
        if (stale_) refresh_();
      },
      Qt::QueuedConnection);
}

}  // namespace quillmar
