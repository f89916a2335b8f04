// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The platform's keys for a standard command. Where the platform theme has
// none (plain X11 has no "save as" and no "quit"), the keys KDE and GNOME use
// stand in, so every file command shows a key in its menu.

#include <QKeySequence>
#include <QList>

namespace quillmar {

QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key);

}  // namespace quillmar
