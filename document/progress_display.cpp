#include "document/progress_display.h"

#include <algorithm>
#include <climits>

namespace quillmar {
namespace {
constexpr int kShowAfterMs = 300;
}

ProgressDisplay::ProgressDisplay(QWidget* parent, const QString& label, std::size_t total)
    : dialog_(label, QString(), 0, static_cast<int>(std::min<std::size_t>(total, INT_MAX)), parent) {
  dialog_.setWindowModality(Qt::WindowModal);
  dialog_.setCancelButton(nullptr);
  dialog_.setMinimumDuration(kShowAfterMs);
  dialog_.setAutoClose(true);
  dialog_.setValue(0);
}

void ProgressDisplay::step(std::size_t done) {
  dialog_.setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
}

}  // namespace quillmar
