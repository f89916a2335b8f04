// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/progress_display.h"

#include <algorithm>
#include <climits>

namespace quillmar {
namespace {

constexpr int kShowAfterMs = 300;

// Halvings that bring a count into the dialog's int range.
int scaleFor(std::size_t total) {
  int shift = 0;
  while ((total >> shift) > static_cast<std::size_t>(INT_MAX)) ++shift;
  return shift;
}

}  // namespace

ProgressDisplay::ProgressDisplay(QWidget* parent, const QString& label, std::size_t total)
    : dialog_(label, QStringLiteral("Отмена"), 0, static_cast<int>(total >> scaleFor(total)), parent),
      shift_(scaleFor(total)),
      busy_(total == 0) {
  dialog_.setWindowModality(Qt::WindowModal);
  // Above the splash window too, which stays on top: its cancel button must
  // be reachable whatever covers the frame.
  dialog_.setWindowFlag(Qt::WindowStaysOnTopHint);
  dialog_.setMinimumDuration(kShowAfterMs);
  dialog_.setAutoClose(true);
  dialog_.setValue(0);
}

void ProgressDisplay::step(std::size_t done) {
  // A busy bar only needs a value that keeps changing, so that the dialog
  // keeps handling the cancel button.
  const std::size_t value = busy_ ? (done >> 12) % INT_MAX + 1 : done >> shift_;
  dialog_.setValue(static_cast<int>(std::min<std::size_t>(value, static_cast<std::size_t>(INT_MAX))));
  if (dialog_.wasCanceled()) throw ProgressCancelled{};
}

}  // namespace quillmar
