// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device behind a port text: "COM1".."COM9" (and higher numbers) name the
// serial ports /dev/ttyS0, /dev/ttyS1, ...; a text that begins with a slash
// is a path (a pseudo-terminal such as /dev/pts/3); a text with a slash
// elsewhere is a path from the current directory ("./pty", "dev/x"); any
// other text is a device under /dev ("ttyUSB0").

#include <QString>

namespace quillmar {

QString portDevicePath(const QString& portText);

}  // namespace quillmar
