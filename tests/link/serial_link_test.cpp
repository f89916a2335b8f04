// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial/serial_link.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include <QDir>

#include "link/serial/port_device.h"
#include "link/serial/termios_settings.h"
#include "pty_support.h"
#include "tools/instrument/instrument.h"

namespace quillmar {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;

const PortParameters kReception =
    recognisedParameters({"", "4800", "8", "ONESTOPBIT", "NOPARITY"}, LinkDirection::Reception);
const PortParameters kUpload = recognisedParameters({"", "4800", "8", "ONESTOPBIT", "NOPARITY"}, LinkDirection::Upload);

QString pathOf(const PtyPair& pty) { return QString::fromStdString(pty.portPath()); }

TEST(PortDevicePath, portTextsNameDevices) {
  const std::pair<const char*, const char*> cases[] = {
      {"COM1", "/dev/ttyS0"},      {"COM4", "/dev/ttyS3"},       {"COM10", "/dev/ttyS9"},
      {"ttyUSB0", "/dev/ttyUSB0"}, {"/dev/pts/7", "/dev/pts/7"}, {"COM0", "/dev/COM0"},
      {"com1", "/dev/com1"},       {"COM01", "/dev/COM01"},      {"", ""},
  };
  for (const auto& [text, device] : cases)
    EXPECT_EQ(portDevicePath(QString::fromLatin1(text)), QString::fromLatin1(device)) << text;
}

// A relative path means the current directory, not a device under /dev.
TEST(PortDevicePath, relativePathsStartInTheCurrentDirectory) {
  const QString here = QDir::currentPath() + QLatin1Char('/');
  for (const char* text : {"./pty", "dev/x", "../x", "a/b/c"}) {
    EXPECT_EQ(portDevicePath(QString::fromLatin1(text)), here + QString::fromLatin1(text)) << text;
  }
}

// With CMSPAR the parity bit is fixed: PARODD marks it, its absence spaces it.
TEST(TermiosLineSettings, eachAttributeReadsAsTheSettingItMeans) {
  using Q = QSerialPort;
  struct Row {
    const char* name;
    speed_t speed;
    tcflag_t cflag;
    tcflag_t iflag;
    TermiosLineSettings settings;
  };
  const Row rows[] = {
      {"8N1", B9600, CS8, 0, {9600, Q::Data8, Q::NoParity, Q::OneStop, Q::NoFlowControl}},
      {"7E2", B2400, CS7 | PARENB | CSTOPB, 0, {2400, Q::Data7, Q::EvenParity, Q::TwoStop, Q::NoFlowControl}},
      {"odd", B1200, CS8 | PARENB | PARODD, 0, {1200, Q::Data8, Q::OddParity, Q::OneStop, Q::NoFlowControl}},
      {"mark", B300, CS7 | PARENB | CMSPAR | PARODD, 0, {300, Q::Data7, Q::MarkParity, Q::OneStop, Q::NoFlowControl}},
      {"space", B4800, CS8 | PARENB | CMSPAR, 0, {4800, Q::Data8, Q::SpaceParity, Q::OneStop, Q::NoFlowControl}},
      {"no parity bit", B4800, CS8 | CMSPAR | PARODD, 0, {4800, Q::Data8, Q::NoParity, Q::OneStop, Q::NoFlowControl}},
      {"RTS/CTS", B115200, CS8 | CRTSCTS, IXON, {115200, Q::Data8, Q::NoParity, Q::OneStop, Q::HardwareControl}},
      {"XON/XOFF", B57600, CS8, IXON | IXOFF, {57600, Q::Data8, Q::NoParity, Q::OneStop, Q::SoftwareControl}},
      {"XOFF sent only", B600, CS6, IXOFF, {600, Q::Data6, Q::NoParity, Q::OneStop, Q::SoftwareControl}},
      {"a speed no setting names", B50, CS5, 0, {std::nullopt, Q::Data5, Q::NoParity, Q::OneStop, Q::NoFlowControl}},
  };
  for (const Row& row : rows) {
    termios tio{};
    ::cfsetospeed(&tio, row.speed);
    tio.c_cflag |= row.cflag;
    tio.c_iflag = row.iflag;
    const TermiosLineSettings read = lineSettingsOf(tio);
    EXPECT_EQ(read.baudRate, row.settings.baudRate) << row.name;
    EXPECT_EQ(read.dataBits, row.settings.dataBits) << row.name;
    EXPECT_EQ(read.parity, row.settings.parity) << row.name;
    EXPECT_EQ(read.stopBits, row.settings.stopBits) << row.name;
    EXPECT_EQ(read.flowControl, row.settings.flowControl) << row.name;
  }
}

TEST(SerialLinkOpen, missingOrUnnamedPort_fails) {
  SerialLink link;
  EXPECT_FALSE(link.open(QStringLiteral("/dev/quillmar-no-such-port"), QIODevice::ReadOnly, kReception));
  EXPECT_FALSE(link.errorText().isEmpty());
  EXPECT_FALSE(link.open(QString(), QIODevice::WriteOnly, kUpload));
  EXPECT_FALSE(link.errorText().isEmpty());
}

// A pseudo-terminal keeps speed and stop bits as set but always reports
// 8 data bits without parity; those two are checked on the port object.
struct LineState {
  speed_t speed;
  bool twoStopBits;
};

LineState lineState(const PtyPair& pty) {
  const termios t = test::portSettings(pty);
  return {::cfgetospeed(&t), (t.c_cflag & CSTOPB) != 0};
}

void presetPort(const PtyPair& pty, speed_t speed, bool twoStopBits) {
  termios t = test::portSettings(pty);
  ::cfsetspeed(&t, speed);
  t.c_cflag = (t.c_cflag & ~CSTOPB) | (twoStopBits ? CSTOPB : 0);
  test::setPortSettings(pty, t);
}

// Opens `link` with the typed texts on a port preset to `speed` and
// `twoStopBits`, and reads the line back.
LineState openPreset(SerialLink& link, const PtyPair& pty, speed_t speed, bool twoStopBits, const CommSettings& typed,
                     LinkDirection direction) {
  presetPort(pty, speed, twoStopBits);
  const auto mode = direction == LinkDirection::Reception ? QIODevice::ReadOnly : QIODevice::WriteOnly;
  EXPECT_TRUE(link.open(pathOf(pty), mode, recognisedParameters(typed, direction)));
  return lineState(pty);
}

TEST(SerialLinkOpen, recognisedTextsAreApplied) {
  PtyPair pty;
  SerialLink link;
  const LineState state =
      openPreset(link, pty, B1200, false, {"", "9600", "7", "TWOSTOPBIT", "PARITY"}, LinkDirection::Reception);
  EXPECT_EQ(state.speed, B9600);
  EXPECT_TRUE(state.twoStopBits);
  EXPECT_EQ(link.lineSettings().baudRate, 9600);
  EXPECT_EQ(link.lineSettings().dataBits, QSerialPort::Data7);
  EXPECT_EQ(link.lineSettings().parity, QSerialPort::NoParity);
  EXPECT_EQ(link.lineSettings().stopBits, QSerialPort::TwoStop);
}

TEST(SerialLinkOpen, unrecognisedTextsKeepWhatThePortHad) {
  for (const bool twoStopBits : {false, true}) {
    PtyPair pty;
    SerialLink link;
    // The upload does not know PARITY; 14400 and TWOSTOPBITS are in no list.
    const LineState state =
        openPreset(link, pty, B2400, twoStopBits, {"", "14400", "7", "TWOSTOPBITS", "PARITY"}, LinkDirection::Upload);
    EXPECT_EQ(state.speed, B2400);
    EXPECT_EQ(state.twoStopBits, twoStopBits);
    EXPECT_EQ(link.lineSettings().dataBits, QSerialPort::Data7);
  }
}

// What the kernel keeps of the line settings that each direction gives the
// port. A Linux pseudo-terminal forces CS8 and clears PARENB, so parity shows
// as PARODD and CMSPAR alone (CMSPAR|PARODD: mark) and data bits not at all;
// CSTOPB, CRTSCTS and IXON/IXOFF are kept as set.
TEST(SerialLinkOpen, lineSettingsReadBackFromThePort) {
  struct Row {
    const char* name;
    CommSettings settings;
    FlowChoice flow;
    speed_t speed;
    tcflag_t cflagSet;  // among PARODD CMSPAR CSTOPB CRTSCTS
    tcflag_t iflagSet;  // among IXON IXOFF
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
  };
  const Row rows[] = {
      {"8N1",
       {"", "9600", "8", "ONESTOPBIT", "NOPARITY"},
       FlowChoice::None,
       B9600,
       0,
       0,
       QSerialPort::NoParity,
       QSerialPort::Data8},
      {"7E1 at 2400",
       {"", "2400", "7", "ONESTOPBIT", "EVENPARITY"},
       FlowChoice::None,
       B2400,
       0,
       0,
       QSerialPort::EvenParity,
       QSerialPort::Data7},
      {"7O2 at 1200",
       {"", "1200", "7", "TWOSTOPBIT", "ODDPARITY"},
       FlowChoice::None,
       B1200,
       PARODD | CSTOPB,
       0,
       QSerialPort::OddParity,
       QSerialPort::Data7},
      {"mark parity at 300",
       {"", "300", "7", "ONESTOPBIT", "MARKPARITY"},
       FlowChoice::None,
       B300,
       PARODD | CMSPAR,
       0,
       QSerialPort::MarkParity,
       QSerialPort::Data7},
      {"RTS/CTS at 115200",
       {"", "115200", "8", "ONESTOPBIT", "NOPARITY"},
       FlowChoice::RtsCts,
       B115200,
       CRTSCTS,
       0,
       QSerialPort::NoParity,
       QSerialPort::Data8},
      {"XON/XOFF at 57600",
       {"", "57600", "8", "TWOSTOPBIT", "NOPARITY"},
       FlowChoice::XonXoff,
       B57600,
       CSTOPB,
       IXON | IXOFF,
       QSerialPort::NoParity,
       QSerialPort::Data8},
      {"600 baud",
       {"", "600", "8", "ONESTOPBIT", "NOPARITY"},
       FlowChoice::None,
       B600,
       0,
       0,
       QSerialPort::NoParity,
       QSerialPort::Data8},
  };
  for (const LinkDirection direction : {LinkDirection::Reception, LinkDirection::Upload}) {
    const bool reading = direction == LinkDirection::Reception;
    for (const Row& row : rows) {
      PtyPair pty;
      termios preset = test::portSettings(pty);
      preset.c_cflag &= ~(PARODD | CMSPAR | CSTOPB | CRTSCTS);
      preset.c_iflag &= ~(IXON | IXOFF);
      test::setPortSettings(pty, preset);
      SerialLink link;
      ASSERT_TRUE(link.open(pathOf(pty), reading ? QIODevice::ReadOnly : QIODevice::WriteOnly,
                            recognisedParameters(row.settings, direction, row.flow)))
          << row.name;
      const termios t = test::portSettings(pty);
      const std::string what = std::string(row.name) + (reading ? " reception" : " upload");
      EXPECT_EQ(::cfgetospeed(&t), row.speed) << what;
      EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR | CSTOPB | CRTSCTS), row.cflagSet) << what;
      EXPECT_EQ(t.c_iflag & (IXON | IXOFF), row.iflagSet) << what;
      EXPECT_EQ(t.c_cflag & (CSIZE | PARENB), tcflag_t{CS8}) << what << ": the pseudo-terminal's own";
      EXPECT_EQ(link.lineSettings().parity, row.parity) << what;
      EXPECT_EQ(link.lineSettings().dataBits, row.dataBits) << what;
    }
  }
}

// "Нет" keeps the flow control that the port had; a choice replaces it.
TEST(SerialLinkOpen, flowControlLeftAsItWasUnlessChosen) {
  struct Case {
    const char* name;
    tcflag_t presetCflag;  // CRTSCTS or not
    tcflag_t presetIflag;  // among IXON IXOFF
    FlowChoice choice;
    tcflag_t cflag;
    tcflag_t iflag;
  };
  const Case cases[] = {
      {"RTS/CTS kept", CRTSCTS, 0, FlowChoice::None, CRTSCTS, 0},
      {"XON/XOFF kept", 0, IXON | IXOFF, FlowChoice::None, 0, IXON | IXOFF},
      {"none kept", 0, 0, FlowChoice::None, 0, 0},
      {"RTS/CTS replaced", CRTSCTS, 0, FlowChoice::XonXoff, 0, IXON | IXOFF},
      {"XON/XOFF replaced", 0, IXON | IXOFF, FlowChoice::RtsCts, CRTSCTS, 0},
  };
  for (const Case& c : cases) {
    PtyPair pty;
    termios preset = test::portSettings(pty);
    preset.c_cflag = (preset.c_cflag & ~CRTSCTS) | c.presetCflag;
    preset.c_iflag = (preset.c_iflag & ~(IXON | IXOFF)) | c.presetIflag;
    test::setPortSettings(pty, preset);
    SerialLink link;
    ASSERT_TRUE(
        link.open(pathOf(pty), QIODevice::WriteOnly, recognisedParameters({}, LinkDirection::Upload, c.choice)));
    const termios t = test::portSettings(pty);
    EXPECT_EQ(t.c_cflag & CRTSCTS, c.cflag) << c.name;
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), c.iflag) << c.name;
  }
}

std::string sampleText(std::size_t size) {
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i) text += "09F1" + std::to_string(i) + "\r\n";
  text.resize(size);
  return text;
}

TEST(SerialLinkUpload, largeText_arrivesWholeAndInOrder) {
  PtyPair pty;
  SerialLink link;
  ASSERT_TRUE(link.open(pathOf(pty), QIODevice::WriteOnly, kUpload));
  const std::string text = sampleText(100 * 1024);
  std::string received;
  std::thread instrument([&] { received = instrument::readUntilQuiet(pty.instrumentFd(), 1500ms); });
  std::size_t transmitted = 0;
  std::size_t lastProgress = 0;
  bool monotonic = true;
  const auto result = link.writeAll(
      text,
      [&](std::size_t sent) {
        monotonic = monotonic && sent >= lastProgress && sent <= text.size();
        lastProgress = sent;
        return true;
      },
      transmitted);
  instrument.join();
  EXPECT_EQ(result, SerialLink::WriteResult::Done);
  EXPECT_EQ(transmitted, text.size());
  EXPECT_TRUE(monotonic);
  EXPECT_EQ(received, text);
}

TEST(SerialLinkUpload, cancel_stopsShortAndSaysSo) {
  PtyPair pty;  // nobody reads: the link fills up
  SerialLink link;
  ASSERT_TRUE(link.open(pathOf(pty), QIODevice::WriteOnly, kUpload));
  const std::string text = sampleText(100 * 1024);
  std::size_t transmitted = 0;
  int calls = 0;
  const auto result = link.writeAll(
      text, [&](std::size_t) { return ++calls < 3; }, transmitted);
  EXPECT_EQ(result, SerialLink::WriteResult::Cancelled);
  EXPECT_LT(transmitted, text.size());
}

// The instrument says XOFF before the upload and XON a while later: nothing
// arrives in between, then everything, in order.
TEST(SerialLinkUpload, xoffHoldsTheUploadUntilXon) {
  PtyPair pty;
  SerialLink link;
  ASSERT_TRUE(link.open(pathOf(pty), QIODevice::WriteOnly,
                        recognisedParameters({}, LinkDirection::Upload, FlowChoice::XonXoff)));
  test::sendFromInstrument(pty, "\x13");
  const std::string text = sampleText(20 * 1024);
  std::string early;
  std::string received;
  std::thread instrument([&] {
    early = instrument::readUntilQuiet(pty.instrumentFd(), 400ms);
    test::sendFromInstrument(pty, "\x11");
    received = early + instrument::readUntilQuiet(pty.instrumentFd(), 1500ms);
  });
  std::size_t transmitted = 0;
  const auto result = link.writeAll(
      text, [](std::size_t) { return true; }, transmitted);
  instrument.join();
  EXPECT_EQ(result, SerialLink::WriteResult::Done);
  EXPECT_TRUE(early.empty()) << early.size() << " bytes went out during XOFF";
  EXPECT_EQ(received, text);
}

TEST(SerialLinkUpload, linePause_showsInTheTimingOfWhatArrives) {
  PtyPair pty;
  SerialLink link;
  ASSERT_TRUE(link.open(pathOf(pty), QIODevice::WriteOnly, kUpload));
  const std::string text = "L1\r\nL2\r\nL3\r\nL4\r\nL5\r\n";
  std::string received;
  std::chrono::steady_clock::duration firstToLast{};
  std::thread instrument([&] {
    std::optional<std::chrono::steady_clock::time_point> first;
    while (received.size() < text.size()) {
      const std::string got = instrument::readUntilQuiet(pty.instrumentFd(), 20ms);
      if (got.empty()) continue;
      if (!first) first = std::chrono::steady_clock::now();
      received += got;
      if (received.size() >= text.size()) firstToLast = std::chrono::steady_clock::now() - *first;
      if (std::chrono::steady_clock::now() - *first > 10s) break;
    }
  });
  std::size_t transmitted = 0;
  const auto result = link.writeAll(
      text, [](std::size_t) { return true; }, transmitted, 100);
  instrument.join();
  EXPECT_EQ(result, SerialLink::WriteResult::Done);
  EXPECT_EQ(received, text);
  EXPECT_GE(firstToLast, 380ms);  // four pauses between five lines
}

// The pause lies between lines: once the last line has left, the upload is done.
TEST(SerialLinkUpload, linePause_noWaitAfterTheLastLine) {
  PtyPair pty;
  SerialLink link;
  ASSERT_TRUE(link.open(pathOf(pty), QIODevice::WriteOnly, kUpload));
  const std::string text = "\x02\r\nL1\r\n\x03\r\n";
  std::string received;
  std::chrono::steady_clock::time_point lastArrived;
  std::thread instrument([&] {
    const auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (received.size() < text.size() && std::chrono::steady_clock::now() < giveUp) {
      received += instrument::readUntilQuiet(pty.instrumentFd(), 5ms);
    }
    lastArrived = std::chrono::steady_clock::now();
  });
  std::size_t transmitted = 0;
  const auto result = link.writeAll(
      text, [](std::size_t) { return true; }, transmitted, 600);
  const auto returned = std::chrono::steady_clock::now();
  instrument.join();
  EXPECT_EQ(result, SerialLink::WriteResult::Done);
  EXPECT_EQ(received, text);
  EXPECT_LT(returned - lastArrived, 300ms);
}

// What the progress counts has left the port: an instrument that stops
// reading holds exactly that many bytes, not those still queued behind them.
TEST(SerialLinkUpload, progressCountsBytesThatLeftThePort) {
  PtyPair pty;  // nobody reads until the upload stalls
  SerialLink link;
  ASSERT_TRUE(link.open(pathOf(pty), QIODevice::WriteOnly, kUpload));
  const std::string text = sampleText(200 * 1024);
  std::optional<std::size_t> counted;
  std::string arrived;
  std::size_t last = 0;
  auto lastMoved = std::chrono::steady_clock::now();
  std::size_t transmitted = 0;
  const auto result = link.writeAll(
      text,
      [&](std::size_t sent) {
        if (sent != last || std::chrono::steady_clock::now() - lastMoved < 300ms) {
          if (sent != last) lastMoved = std::chrono::steady_clock::now();
          last = sent;
          return true;
        }
        counted = sent;
        arrived = instrument::readUntilQuiet(pty.instrumentFd(), 200ms);
        return false;
      },
      transmitted);
  EXPECT_EQ(result, SerialLink::WriteResult::Cancelled);
  ASSERT_TRUE(counted.has_value());
  EXPECT_GT(*counted, 0u);
  EXPECT_EQ(*counted, arrived.size());
}

}  // namespace
}  // namespace quillmar
