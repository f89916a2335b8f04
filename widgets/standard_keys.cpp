// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/standard_keys.h"

namespace quillmar {

QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key) {
  QList<QKeySequence> keys = QKeySequence::keyBindings(key);
  if (!keys.isEmpty()) return keys;
  if (key == QKeySequence::SaveAs) keys.append(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  if (key == QKeySequence::Quit) keys.append(QKeySequence(Qt::CTRL | Qt::Key_Q));
  return keys;
}

}  // namespace quillmar
