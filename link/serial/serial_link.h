// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One serial port, opened exclusively for reception or upload, with the
// recognised settings applied. Blocking calls only: a SerialLink is made,
// used and destroyed in one thread, which needs no event loop. Closing (or
// destroying) it releases the port.

#include <QSerialPort>
#include <QString>

#include <cstddef>
#include <functional>
#include <string_view>

#include "link/port_parameters.h"
#include "link/reception.h"

namespace quillmar {

class SerialLink final : public ByteSource {
 public:
  enum class WriteResult { Done, Cancelled, Failed };

  // Called while writing, at least every 100 ms, with the bytes that have
  // left the port; returning false cancels the rest.
  using Progress = std::function<bool(std::size_t transmitted)>;

  SerialLink() = default;
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Parameters that the settings leave open keep the values the port had.
  bool open(const QString& devicePath, QIODevice::OpenMode mode, const PortParameters& parameters);
  void close();

  // The line parameters given to the port when it was opened.
  struct LineSettings {
    qint32 baudRate;
    QSerialPort::DataBits dataBits;
    QSerialPort::Parity parity;
    QSerialPort::StopBits stopBits;
    QSerialPort::FlowControl flowControl;
  };
  LineSettings lineSettings() const {
    return {port_.baudRate(), port_.dataBits(), port_.parity(), port_.stopBits(), port_.flowControl()};
  }

  // The last failure in the system's words.
  QString errorText() const { return errorText_; }

  ReadResult readByte(char& byte, int timeoutMs) override;

  // Writes all of `bytes` and waits until they have left the port. With a
  // line pause, each line (up to its LF) leaves the port before the pause
  // and the next line.
  WriteResult writeAll(std::string_view bytes, const Progress& progress, std::size_t& transmitted, int linePauseMs = 0);

 private:
  void presetFromDevice(const QString& devicePath);
  void applyRecognised(const PortParameters& parameters);
  WriteResult writeDrained(std::string_view bytes, const Progress& progress, std::size_t& transmitted);
  std::size_t bytesInDriver() const;
  void fail();

  QSerialPort port_;
  QString errorText_;
};

}  // namespace quillmar
