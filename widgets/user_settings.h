// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own settings file, $XDG_CONFIG_HOME/quillmar/quillmar.conf
// (~/.config when unset): the recent files and the link's pacing live there.
// Several running programs share it.

#include <QSettings>

#include <memory>

namespace quillmar {

std::unique_ptr<QSettings> userSettings();

}  // namespace quillmar
