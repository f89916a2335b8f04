#pragma once
// Helpers for the link dialog tests: waiting on the event loop, collecting
// message boxes, and a settings dialog whose port is a pseudo-terminal.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include "link/widgets/show_message.h"

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

struct MessageLog {
  QStringList texts;
  ShowMessage shower() {
    return [this](QWidget*, const QString& text) { texts << text; };
  }
};

}  // namespace quillmar::test
