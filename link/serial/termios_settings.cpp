// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial/termios_settings.h"

#include <array>
#include <utility>

namespace quillmar {
namespace {

std::optional<qint32> baudOf(speed_t speed) {
  static constexpr std::array<std::pair<speed_t, qint32>, 12> kSpeeds{{
      {B300, 300},
      {B600, 600},
      {B1200, 1200},
      {B2400, 2400},
      {B4800, 4800},
      {B9600, 9600},
      {B19200, 19200},
      {B38400, 38400},
      {B57600, 57600},
      {B115200, 115200},
      {B230400, 230400},
      {B460800, 460800},
  }};
  for (const auto& [code, baud] : kSpeeds) {
    if (code == speed) return baud;
  }
  return std::nullopt;
}

QSerialPort::DataBits dataBitsOf(tcflag_t cflag) {
  switch (cflag & CSIZE) {
    case CS5: return QSerialPort::Data5;
    case CS6: return QSerialPort::Data6;
    case CS7: return QSerialPort::Data7;
    default: return QSerialPort::Data8;
  }
}

// With CMSPAR the parity bit is fixed: PARODD makes it a mark (1), its
// absence a space (0).
QSerialPort::Parity parityOf(tcflag_t cflag) {
  if ((cflag & PARENB) == 0) return QSerialPort::NoParity;
  if ((cflag & CMSPAR) != 0) return (cflag & PARODD) != 0 ? QSerialPort::MarkParity : QSerialPort::SpaceParity;
  return (cflag & PARODD) != 0 ? QSerialPort::OddParity : QSerialPort::EvenParity;
}

QSerialPort::FlowControl flowOf(const termios& tio) {
  if ((tio.c_cflag & CRTSCTS) != 0) return QSerialPort::HardwareControl;
  if ((tio.c_iflag & (IXON | IXOFF)) != 0) return QSerialPort::SoftwareControl;
  return QSerialPort::NoFlowControl;
}

}  // namespace

TermiosLineSettings lineSettingsOf(const termios& tio) {
  return {baudOf(::cfgetospeed(&tio)), dataBitsOf(tio.c_cflag), parityOf(tio.c_cflag),
          (tio.c_cflag & CSTOPB) != 0 ? QSerialPort::TwoStop : QSerialPort::OneStop, flowOf(tio)};
}

}  // namespace quillmar
