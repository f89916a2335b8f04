// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial/serial_link.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>

#include "link/serial/termios_settings.h"

namespace quillmar {
namespace {

constexpr std::size_t kWriteAhead = 1024;
constexpr int kWaitSliceMs = 100;
constexpr int kDrainPollMs = 20;

QSerialPort::Parity qtParity(Parity parity) {
  switch (parity) {
    case Parity::None: return QSerialPort::NoParity;
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
  }
  return QSerialPort::NoParity;
}

}  // namespace

bool SerialLink::open(const QString& devicePath, QIODevice::OpenMode mode, const PortParameters& parameters) {
  close();
  if (devicePath.isEmpty()) {
    errorText_ = QStringLiteral("No port named");
    return false;
  }
  port_.setPortName(devicePath);
  // One byte at a time from the driver, so that what follows ETX stays unread.
  port_.setReadBufferSize((mode & QIODevice::ReadOnly) != 0 ? 1 : 0);
  presetFromDevice(devicePath);
  applyRecognised(parameters);
  if (!port_.open(mode)) {
    errorText_ = port_.errorString();
    return false;
  }
  errorText_.clear();
  return true;
}

void SerialLink::close() {
  if (port_.isOpen()) port_.close();
}

// QSerialPort sets every line parameter when it opens the port; reading them
// first keeps those the settings do not name as the port had them.
void SerialLink::presetFromDevice(const QString& devicePath) {
  const QByteArray path = QFile::encodeName(devicePath);
  const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  termios tio{};
  const bool known = ::isatty(fd) && ::tcgetattr(fd, &tio) == 0;
  ::close(fd);
  if (!known) return;
  const TermiosLineSettings had = lineSettingsOf(tio);
  if (had.baudRate) port_.setBaudRate(*had.baudRate);
  port_.setDataBits(had.dataBits);
  port_.setParity(had.parity);
  port_.setStopBits(had.stopBits);
  port_.setFlowControl(had.flowControl);
}

void SerialLink::applyRecognised(const PortParameters& parameters) {
  if (parameters.baudRate) port_.setBaudRate(*parameters.baudRate);
  if (parameters.dataBits) port_.setDataBits(*parameters.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
  if (parameters.stopBits) {
    port_.setStopBits(*parameters.stopBits == StopBits::Two ? QSerialPort::TwoStop : QSerialPort::OneStop);
  }
  if (parameters.parity) port_.setParity(qtParity(*parameters.parity));
  if (parameters.flowControl) {
    port_.setFlowControl(*parameters.flowControl == FlowControl::Hardware ? QSerialPort::HardwareControl
                                                                          : QSerialPort::SoftwareControl);
  }
}

SerialLink::ReadResult SerialLink::readByte(char& byte, int timeoutMs) {
  if (port_.bytesAvailable() > 0 || port_.waitForReadyRead(timeoutMs)) {
    if (port_.getChar(&byte)) return ReadResult::Byte;
  }
  const QSerialPort::SerialPortError error = port_.error();
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
    port_.clearError();
    return ReadResult::Silence;
  }
  fail();
  return ReadResult::Lost;
}

SerialLink::WriteResult SerialLink::writeAll(std::string_view bytes, const Progress& progress, std::size_t& transmitted,
                                             int linePauseMs) {
  transmitted = 0;
  if (linePauseMs <= 0) return writeDrained(bytes, progress, transmitted);
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view line = bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
    bytes.remove_prefix(line.size());
    if (const WriteResult result = writeDrained(line, progress, transmitted); result != WriteResult::Done) {
      return result;
    }
    if (bytes.empty()) break;
    // The line has left the port; the instrument gets its pause from here.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(linePauseMs);
    for (auto now = std::chrono::steady_clock::now(); now < until; now = std::chrono::steady_clock::now()) {
      if (!progress(transmitted)) return WriteResult::Cancelled;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
      QThread::msleep(static_cast<unsigned long>(std::clamp<long long>(left, 1, kWaitSliceMs)));
    }
  }
  return WriteResult::Done;
}

// Writes `bytes` and waits until they have left the port; `transmitted`
// counts on from what it holds.
SerialLink::WriteResult SerialLink::writeDrained(std::string_view bytes, const Progress& progress,
                                                 std::size_t& transmitted) {
  const std::size_t before = transmitted;
  std::size_t handed = 0;
  for (;;) {
    const auto queued = static_cast<std::size_t>(port_.bytesToWrite());
    if (handed < bytes.size() && queued < kWriteAhead) {
      const std::size_t count = std::min(kWriteAhead, bytes.size() - handed);
      const qint64 written = port_.write(bytes.data() + handed, static_cast<qint64>(count));
      if (written < 0) {
        fail();
        return WriteResult::Failed;
      }
      handed += static_cast<std::size_t>(written);
    }
    if (port_.bytesToWrite() > 0) {
      if (!port_.waitForBytesWritten(kWaitSliceMs) && port_.error() != QSerialPort::TimeoutError) {
        fail();
        return WriteResult::Failed;
      }
      port_.clearError();
    }
    const std::size_t pending = static_cast<std::size_t>(port_.bytesToWrite()) + bytesInDriver();
    transmitted = before + handed - std::min(handed, pending);
    if (handed == bytes.size() && pending == 0) return WriteResult::Done;
    if (!progress(transmitted)) {
      ::tcflush(port_.handle(), TCOFLUSH);
      return WriteResult::Cancelled;
    }
    if (port_.bytesToWrite() == 0 && handed == bytes.size()) QThread::msleep(kDrainPollMs);
  }
}

// Bytes the driver holds that have not yet left the port.
std::size_t SerialLink::bytesInDriver() const {
  int queued = 0;
  if (::ioctl(port_.handle(), TIOCOUTQ, &queued) != 0 || queued < 0) return 0;
  return static_cast<std::size_t>(queued);
}

void SerialLink::fail() {
  errorText_ = port_.errorString();
  if (port_.isOpen() && port_.handle() >= 0) ::tcflush(port_.handle(), TCOFLUSH);
}

}  // namespace quillmar
