#pragma once
// Helpers for the link dialog tests: waiting on the event loop, and the
// scripted seam that collects their message boxes.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include "tests/support/scripted_seam.h"

namespace quillmar::test {

// Runs the event loop until `condition` holds; false after five seconds.
inline bool waitFor(const std::function<bool()>& condition) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > 5000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

}  // namespace quillmar::test
