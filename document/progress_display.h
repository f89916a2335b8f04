// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress window for reading a large field book. It appears only when the
// work takes a while, keeps the windows painted meanwhile, and has a cancel
// button: step() then throws ProgressCancelled out of the work.

#include <QProgressDialog>

#include <cstddef>

namespace quillmar {

struct ProgressCancelled {};

class ProgressDisplay {
 public:
  // A total of 0 shows a busy bar (an input of unknown length).
  ProgressDisplay(QWidget* parent, const QString& label, std::size_t total);
  void step(std::size_t done);  // throws ProgressCancelled

 private:
  QProgressDialog dialog_;
  int shift_;
  bool busy_;
};

}  // namespace quillmar
