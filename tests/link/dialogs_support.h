// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the link dialog tests: waiting on the event loop, and the
// reception dialog with what it needs, its message boxes collected.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "link/widgets/comm_set_dialog.h"
#include "link/widgets/zagruz_form.h"
#include "records/line_buffer.h"

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

// The reception dialog over a settings dialog whose CommSet.ini lives in a
// fresh folder, with the program-wide buffer and flags that "ОК" fills.
class ReceptionWindowsTest : public ::testing::Test {
 protected:
  ReceptionWindowsTest()
      : commSet_(nullptr, dir_.filePath(QStringLiteral("CommSet.ini")), seam_),
        form_(nullptr, commSet_, ReceptionTarget{lineBuffer_, lineCount_, receptionDone_}, seam_) {}

  std::vector<std::string> bufferLines() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < lineBuffer_.size(); ++i) lines.emplace_back(lineBuffer_.line(i));
    return lines;
  }

  QTemporaryDir dir_;
  ScriptedSeam seam_;
  LineBuffer lineBuffer_;
  std::size_t lineCount_ = 0;
  bool receptionDone_ = false;
  TCommSet commSet_;
  TZagruzForm form_;
};

}  // namespace quillmar::test
