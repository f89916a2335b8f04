// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/user_settings.h"

namespace quillmar {

std::unique_ptr<QSettings> userSettings() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("quillmar"),
                                     QStringLiteral("quillmar"));
}

}  // namespace quillmar
