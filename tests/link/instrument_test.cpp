// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/instrument/instrument.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <thread>

#include "link/reception.h"
#include "link/serial/serial_link.h"
#include "pty_support.h"

namespace quillmar {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

TEST(InstrumentSimulator, fieldBookIsFramedWithCrLfLines) {
  EXPECT_EQ(instrument::framedFieldBook("00NMSDR33\n\n02TP0001\r\n09F1last"),
            "\x02\r\n00NMSDR33\r\n02TP0001\r\n09F1last\r\n\x03\r\n");
  EXPECT_EQ(instrument::framedFieldBook(""), "\x02\r\n\x03\r\n");
}

TEST(InstrumentSimulator, captureEndsAtEtxCrLf) {
  test::PtyPair pty;
  std::thread program([&pty] {
    const int fd = ::open(pty.portPath().c_str(), O_WRONLY | O_NOCTTY);
    const std::string upload = "\x02\r\nA\x03X\r\n\x03\r\nafter";
    ASSERT_EQ(::write(fd, upload.data(), upload.size()), static_cast<ssize_t>(upload.size()));
    ::close(fd);
  });
  const instrument::Capture capture = instrument::captureUntilEtx(pty.instrumentFd(), 2000ms);
  program.join();
  EXPECT_TRUE(capture.complete);
  EXPECT_EQ(capture.bytes, "\x02\r\nA\x03X\r\n\x03\r\n");
}

TEST(InstrumentSimulator, captureWithoutEtx_isIncomplete) {
  test::PtyPair pty;
  test::sendFromInstrument(pty, "");  // nothing uploaded
  const instrument::Capture capture = instrument::captureUntilEtx(pty.instrumentFd(), 200ms);
  EXPECT_FALSE(capture.complete);
  EXPECT_TRUE(capture.bytes.empty());
}

class MemoRecorder final : public ReceptionSink {
 public:
  void showStatus(ReceptionStatus) override {}
  void handOver(std::string_view chunk) override { appendMemoPieces(memo, chunk); }
  Lines memo;
};

TEST(InstrumentSimulator, pacedSendWithPauses_arrivesAsOneBurstPerLine) {
  test::PtyPair pty;
  SerialLink link;
  ASSERT_TRUE(link.open(QString::fromStdString(pty.portPath()), QIODevice::ReadOnly,
                        recognisedParameters(creationCommSettings(), LinkDirection::Reception)));
  const std::string book = instrument::framedFieldBook("00NMSDR33\n02TP0001\n");
  std::thread instrumentSide([&] {
    instrument::Pacing pacing;
    pacing.baud = 9600;
    pacing.pauseAfterLines = 1;
    pacing.pause = 400ms;
    EXPECT_TRUE(instrument::sendPaced(pty.instrumentFd(), book, pacing));
  });
  MemoRecorder recorder;
  ReceptionMachine machine(recorder);
  int silences = 0;
  while (!machine.finished() && silences < 20) {
    char byte = 0;
    const auto result = link.readByte(byte, 100);
    if (result == SerialLink::ReadResult::Lost) break;
    if (result == SerialLink::ReadResult::Byte) {
      silences = 0;
      machine.byteArrived(byte);
    } else {
      ++silences;
      machine.silence();
    }
  }
  instrumentSide.join();
  EXPECT_TRUE(machine.finished());
  EXPECT_EQ(recorder.memo, (Lines{"\x02", "", "00NMSDR33", "", "02TP0001", "", "\x03"}));
}

}  // namespace
}  // namespace quillmar
