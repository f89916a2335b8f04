// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line settings a port has, read from its terminal attributes, so that
// a port opened with "Нет" or an unrecognised text keeps them as they were.

#include <termios.h>

#include <QSerialPort>

#include <optional>

namespace quillmar {

struct TermiosLineSettings {
  std::optional<qint32> baudRate;  // none for a speed that no port setting names
  QSerialPort::DataBits dataBits = QSerialPort::Data8;
  QSerialPort::Parity parity = QSerialPort::NoParity;
  QSerialPort::StopBits stopBits = QSerialPort::OneStop;
  QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;

  bool operator==(const TermiosLineSettings&) const = default;
};

TermiosLineSettings lineSettingsOf(const termios& tio);

}  // namespace quillmar
