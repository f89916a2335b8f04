// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/tool_window.h"

#include <QStatusBar>
#include <QVBoxLayout>
#include <QWidget>

namespace quillmar {

QVBoxLayout* edgeToEdgeColumn(QWidget& window) {
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

QStatusBar* addStatusLine(QWidget& window, QVBoxLayout& column) {
  auto* status = new QStatusBar(&window);
  status->setSizeGripEnabled(false);
  column.addWidget(status);
  return status;
}

}  // namespace quillmar
