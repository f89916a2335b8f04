// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Record lines and modal-run helpers shared by the dialog tests.

#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

#include "editing/field_rows.h"

namespace quillmar::testing {

// A version '3' station line: P1 right-aligned in 5-20, 100 characters + CR LF.
inline std::string station3Line(const std::string& point = "P1") {
  return "02TS" + TF(point, 16) + CF("1000.000", 16) + CF("2000.000", 16) + CF("15.250", 16) + CF("1.560", 16) +
         CF("first", 16) + "\r\n";
}

inline std::string observation3Line(const std::string& deriv) {
  return "09" + deriv + TF("ST1", 16) + TF("T7", 16) + CF("125.400", 16) + CF("90.1200", 16) + CF("45.3000", 16) +
         CF("", 16) + "\r\n";
}

// Runs `action` once the next modal dialog is running.
inline void whileModal(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

// How far a dialog of type Form, shown over a main window placed at
// `frameGeometry`, stands from the centre of that window, in pixels.
template <class Form>
int offsetFromMainWindowCentre(const QRect& frameGeometry) {
  QWidget frame;
  frame.setGeometry(frameGeometry);
  frame.show();
  Form form(&frame);
  form.show();
  const QPoint offset = form.frameGeometry().center() - frame.frameGeometry().center();
  form.close();
  return offset.manhattanLength();
}

}  // namespace quillmar::testing
