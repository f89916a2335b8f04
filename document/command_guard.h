// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window command that fails with something other than a file error (out of
// memory, any exception) ends with a message box; the program and every
// other window go on as they were.

#include <QString>

#include <exception>
#include <new>

#include "widgets/dialog_seam.h"

namespace quillmar {

template <typename Command>
void runGuarded(QWidget* window, DialogSeam& seam, Command&& command) {
  try {
    command();
  } catch (const std::bad_alloc&) {
    seam.showError(window, QStringLiteral("Out of memory"));
  } catch (const std::exception& error) {
    seam.showError(window, QString::fromLocal8Bit(error.what()));
  }
}

}  // namespace quillmar
