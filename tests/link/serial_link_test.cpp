#include "link/serial/serial_link.h"

#include <gtest/gtest.h>

#include <thread>

#include "link/serial/port_device.h"
#include "pty_support.h"
#include "tools/instrument/instrument.h"

namespace quillmar {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;

const PortParameters kReception = recognisedParameters(
    {"", "4800", "8", "ONESTOPBIT", "NOPARITY"}, LinkDirection::Reception);
const PortParameters kUpload = recognisedParameters(
    {"", "4800", "8", "ONESTOPBIT", "NOPARITY"}, LinkDirection::Upload);

QString pathOf(const PtyPair& pty) { return QString::fromStdString(pty.portPath()); }

TEST(PortDevicePath, portTextsNameDevices) {
  const std::pair<const char*, const char*> cases[] = {
      {"COM1", "/dev/ttyS0"},     {"COM4", "/dev/ttyS3"},   {"COM10", "/dev/ttyS9"},
      {"ttyUSB0", "/dev/ttyUSB0"}, {"/dev/pts/7", "/dev/pts/7"}, {"COM0", "/dev/COM0"},
      {"com1", "/dev/com1"},       {"COM01", "/dev/COM01"},   {"", ""},
  };
  for (const auto& [text, device] : cases) EXPECT_EQ(portDevicePath(QString::fromLatin1(text)), QString::fromLatin1(device)) << text;
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

TEST(SerialLinkOpen, recognisedTextsAreApplied) {
  PtyPair pty;
  presetPort(pty, B1200, false);
  SerialLink link;
  const CommSettings typed{"", "9600", "7", "TWOSTOPBIT", "PARITY"};
  ASSERT_TRUE(link.open(pathOf(pty), QIODevice::ReadOnly, recognisedParameters(typed, LinkDirection::Reception)));
  const LineState state = lineState(pty);
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
    presetPort(pty, B2400, twoStopBits);
    SerialLink link;
    // The upload knows neither TWOSTOPBIT nor PARITY; 57600 is in no list.
    const CommSettings typed{"", "57600", "7", "TWOSTOPBIT", "PARITY"};
    ASSERT_TRUE(link.open(pathOf(pty), QIODevice::WriteOnly, recognisedParameters(typed, LinkDirection::Upload)));
    const LineState state = lineState(pty);
    EXPECT_EQ(state.speed, B2400);
    EXPECT_EQ(state.twoStopBits, twoStopBits);
    EXPECT_EQ(link.lineSettings().dataBits, QSerialPort::Data7);
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
  const auto result = link.writeAll(text, [&](std::size_t sent) {
    monotonic = monotonic && sent >= lastProgress && sent <= text.size();
    lastProgress = sent;
    return true;
  }, transmitted);
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
  const auto result = link.writeAll(text, [&](std::size_t) { return ++calls < 3; }, transmitted);
  EXPECT_EQ(result, SerialLink::WriteResult::Cancelled);
  EXPECT_LT(transmitted, text.size());
}

}  // namespace
}  // namespace quillmar
