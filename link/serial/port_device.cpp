// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial/port_device.h"

#include <QDir>
#include <QRegularExpression>

namespace quillmar {

QString portDevicePath(const QString& portText) {
  if (portText.isEmpty()) return {};
  static const QRegularExpression comPort(QStringLiteral("^COM([1-9][0-9]{0,2})$"));
  if (const auto match = comPort.match(portText); match.hasMatch()) {
    return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
  }
  if (portText.startsWith(QLatin1Char('/'))) return portText;
  // The serial port library would look for a relative path under /dev.
  if (portText.contains(QLatin1Char('/'))) return QDir::currentPath() + QLatin1Char('/') + portText;
  return QStringLiteral("/dev/") + portText;
}

}  // namespace quillmar
