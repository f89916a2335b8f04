// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/transfer_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <regex>
#include <thread>

#include "pty_support.h"
#include "records/record_file.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"
#include "tools/instrument/instrument.h"

namespace quillmar {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class TransferCommand : public ::testing::Test {
 protected:
  std::string file(const std::string& name) const { return dir_.file(name); }
  static std::string contentOf(const std::string& path) { return testing::readBytes(path); }
  static void write(const std::string& path, const std::string& bytes) { testing::writeBytes(path, bytes); }

  testing::TempDir dir_;
};

const std::string kBook = "00NMSDR33 V04-04.02\r\n02TP0001\r\n";
const std::string kFramed = "\x02\r\n" + kBook + "\x03\r\n";

int receiveWhileInstrumentSends(const test::PtyPair& pty, std::vector<std::string> args, const std::string& bytes) {
  test::markUnopened(pty);
  std::thread instrument([&] {
    if (test::waitUntilConfigured(pty)) test::sendFromInstrument(pty, bytes);
  });
  const int status = cli::runReceive(args);
  instrument.join();
  return status;
}

TEST_F(TransferCommand, receiveToSdr_writesEveryReceivedLineFramingIncluded) {
  test::PtyPair pty;
  const std::string out = file("book.sdr");
  EXPECT_EQ(receiveWhileInstrumentSends(pty, {pty.portPath(), out}, "noise" + kFramed), 0);
  EXPECT_EQ(contentOf(out), kFramed);
}

TEST_F(TransferCommand, receiveToRecordFile_makesRecordsAsTheWindowsDo) {
  test::PtyPair pty;
  const std::string out = file("book.qdl");
  ASSERT_EQ(receiveWhileInstrumentSends(pty, {pty.portPath(), out, "--baud", "9600"}, kFramed), 0);
  std::vector<SurveyRecord> records;
  readRecordFile(out, [&](const SurveyRecord& r) { records.push_back(r); });
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].body.view(), "\x02\r\n");
  EXPECT_EQ(records[1].typeCode.view(), "00");
  EXPECT_EQ(records[3].body.view(), "\x03\r\n");
  // The STX line is too short to name the layout; the second line names it.
  for (const SurveyRecord& r : records) EXPECT_EQ(r.version, kVersionSdr3);
}

TEST_F(TransferCommand, receiveWithoutEndOfTransmission_keepsWhatArrivedAndSaysSo) {
  test::PtyPair pty;
  const std::string out = file("book.sdr");
  EXPECT_EQ(receiveWhileInstrumentSends(pty, {pty.portPath(), out, "--timeout", "0.5"}, "\x02\r\nA\r\nB"), 3);
  EXPECT_EQ(contentOf(out), "\x02\r\nA\r\nB\r\n");
}

TEST_F(TransferCommand, receiveIntoAMissingFolder_failsBeforeOpeningThePort) {
  test::PtyPair pty;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cli::runReceive({pty.portPath(), file("no/book.sdr")}), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "quillmar-cli: " + file("no/book.sdr") + ": File not found (No such file or directory)\n");
}

TEST_F(TransferCommand, receivedLinesThatOutCannotTake_goToAFileTheMessageNames) {
  test::PtyPair pty;
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += "A\r\n";
  ::testing::internal::CaptureStderr();
  {
    testing::FileSizeLimit limit(4096);  // 40 records of 178 bytes do not fit, their 3-byte lines do
    EXPECT_EQ(receiveWhileInstrumentSends(pty, {pty.portPath(), file("book.qdl")}, "\x02\r\n" + lines + "\x03\r\n"), 1);
  }
  const std::string message = ::testing::internal::GetCapturedStderr();
  const std::string kept = message.substr(message.rfind(' ') + 1, message.size() - message.rfind(' ') - 2);
  EXPECT_EQ(contentOf(kept), "\x02\r\n" + lines + "\x03\r\n") << message;
  EXPECT_FALSE(fs::exists(file("book.qdl")));
}

TEST_F(TransferCommand, sendWithNothingDraining_givesUpAfterTheTimeOut) {
  test::PtyPair pty;
  const std::string in = file("book.sdr");
  std::string book;
  for (int i = 0; i < 8000; ++i) book += std::string(128, 'A') + "\n";
  write(in, book);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cli::runSend({pty.portPath(), in, "--timeout", "0.5"}), 1);
  const std::string message = ::testing::internal::GetCapturedStderr();
  std::smatch numbers;
  ASSERT_TRUE(std::regex_search(message, numbers,
                                std::regex("made no progress for 0.5 s; gave up after ([0-9]+) of ([0-9]+) bytes\n$")))
      << message;
  EXPECT_LT(std::stoul(numbers[1]), std::stoul(numbers[2]));
  EXPECT_EQ(std::stoul(numbers[2]), 3 + 8000u * 130 + 3);  // every line framed
}

TEST_F(TransferCommand, receiveFromAMissingPort_fails) {
  EXPECT_EQ(cli::runReceive({"/dev/quillmar-no-such-port", file("x.sdr")}), 1);
}

// Nothing arrived: OUT is not replaced, neither after the time-out nor after Ctrl-C.
TEST_F(TransferCommand, receptionThatReceivesNothing_leavesOutAsItWas) {
  const std::string earlier = file("earlier.sdr");
  write(earlier, kFramed);
  for (const bool interrupted : {false, true}) {
    for (const std::string& out : {earlier, file("new.sdr")}) {
      test::PtyPair pty;
      test::markUnopened(pty);
      std::thread instrument([&] {
        if (test::waitUntilConfigured(pty) && interrupted) {
          std::this_thread::sleep_for(200ms);
          test::sendFromInstrument(pty, "noise before any STX");
          std::raise(SIGINT);
        }
      });
      const std::vector<std::string> args = {pty.portPath(), out, "--timeout", interrupted ? "30" : "0.3"};
      ::testing::internal::CaptureStderr();
      EXPECT_EQ(cli::runReceive(args), 1) << out;
      const std::string message = ::testing::internal::GetCapturedStderr();
      instrument.join();
      EXPECT_NE(message.find("nothing arrived, " + out + " is left as it was"), std::string::npos) << message;
      if (out == earlier)
        EXPECT_EQ(contentOf(out), kFramed);
      else
        EXPECT_FALSE(fs::exists(out));
    }
  }
}

// A line ends only where the data ends it, however the instrument pauses.
TEST_F(TransferCommand, pausesInsideLines_keepTheBookWhole) {
  std::string book = "00NMSDR33 V04-04.02\r\n";
  for (int i = 1; i <= 10; ++i) book += "02TP000" + std::to_string(i % 10) + "  Station " + std::to_string(i) + "\r\n";
  const std::string framed = "\x02\r\n" + book + "\x03";
  test::PtyPair pty;
  test::markUnopened(pty);
  std::thread instrument([&] {
    if (!test::waitUntilConfigured(pty)) return;
    for (std::size_t at = 0; at < framed.size(); at += 17) {
      test::sendFromInstrument(pty, std::string_view(framed).substr(at, 17));
      std::this_thread::sleep_for(150ms);
    }
  });
  const std::string out = file("book.sdr");
  EXPECT_EQ(cli::runReceive({pty.portPath(), out}), 0);
  instrument.join();
  EXPECT_EQ(contentOf(out), framed + "\r\n");
}

// The time-out counts from the last byte that arrived; a huge one is cut,
// not turned into a time-out at once.
TEST_F(TransferCommand, receiveTimeout_countsTimeWithoutProgress) {
  const std::string slowBook = "\x02\r\nA\r\nB\r\n\x03";
  const std::pair<const char*, std::chrono::milliseconds> cases[] = {{"0.5", 150ms}, {"1e308", 0ms}, {"9.3e9", 0ms}};
  for (const auto& [timeout, byteGap] : cases) {
    test::PtyPair pty;
    test::markUnopened(pty);
    std::thread instrument([&, gap = byteGap] {
      if (!test::waitUntilConfigured(pty)) return;
      for (char byte : slowBook) {
        std::this_thread::sleep_for(gap);
        test::sendFromInstrument(pty, std::string(1, byte));
      }
    });
    const std::string out = file("book.sdr");
    EXPECT_EQ(cli::runReceive({pty.portPath(), out, "--timeout", timeout}), 0) << timeout;
    instrument.join();
    EXPECT_EQ(contentOf(out), slowBook + "\r\n") << timeout;
  }
}

// A record keeps 170 characters of a line: the reception says how many lines
// were cut, and the SDR it writes still has one line per record.
TEST_F(TransferCommand, receivedLongLine_isCutSaidAndStillEndsInCrLf) {
  test::PtyPair pty;
  const std::string out = file("book.sdr");
  const std::string longLine = "09F1" + std::string(196, 'L');
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(receiveWhileInstrumentSends(pty, {pty.portPath(), out}, "\x02\r\n" + longLine + "\r\n02TP\r\n\x03"), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "quillmar-cli: 1 received line was longer than 168 characters and cut to the 170 characters a record "
            "keeps\n");
  EXPECT_EQ(contentOf(out), "\x02\r\n" + longLine.substr(0, 170) + "\r\n02TP\r\n\x03\r\n");
}

TEST_F(TransferCommand, sendOfALongLine_sendsItWithItsLineEndAndSaysItWasCut) {
  test::PtyPair pty;
  const std::string in = file("book.sdr");
  write(in, std::string(169, 'b') + "\n02TP0001\n");
  instrument::Capture capture;
  std::thread instrument([&] { capture = instrument::captureUntilEtx(pty.instrumentFd(), 3000ms); });
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cli::runSend({pty.portPath(), in}), 0);
  EXPECT_EQ(
      ::testing::internal::GetCapturedStderr(),
      "quillmar-cli: " + in + ": 1 line was longer than 168 characters and cut to the 170 characters a record keeps\n");
  instrument.join();
  EXPECT_EQ(capture.bytes, "\x02\r\n" + std::string(169, 'b') + "\r\n02TP0001\r\n\x03\r\n");
}

// Without --timeout, an instrument that stops reading holds the upload: it
// is said, with how much is sent, and the upload goes on when it reads again.
TEST_F(TransferCommand, sendHeldByTheInstrument_saysSoAndWaits) {
  test::PtyPair pty;
  const std::string in = file("book.sdr");
  std::string book;
  for (int i = 0; i < 2000; ++i) book += std::string(128, 'A') + "\n";
  write(in, book);
  instrument::Capture capture;
  std::thread instrument([&] {
    std::this_thread::sleep_for(2500ms);
    capture = instrument::captureUntilEtx(pty.instrumentFd(), 3000ms);
  });
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cli::runSend({pty.portPath(), in}), 0);
  const std::string message = ::testing::internal::GetCapturedStderr();
  instrument.join();
  EXPECT_TRUE(capture.complete);
  const std::string total = std::to_string(3 + 2000 * 130 + 3);  // framed, every line with CR LF
  EXPECT_TRUE(std::regex_search(
      message,
      std::regex("(^|\n)quillmar-cli: the instrument holds the transfer: [0-9]+ of " + total + " bytes sent\n")))
      << message;
}

// The command line refuses what the dialog would leave to the port.
TEST_F(TransferCommand, unknownOrRepeatedOptions_areUsageErrorsNamingThem) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--baud", "12345"}, "unknown --baud value: 12345"},
      {{"--baud", "abc"}, "unknown --baud value: abc"},
      {{"--parity", "bogus"}, "unknown --parity value: bogus"},
      {{"--stop", "x"}, "unknown --stop value: x"},
      {{"--bits", "9"}, "unknown --bits value: 9"},
      {{"--flow", "x"}, "unknown --flow value: x"},
      {{"--timeout", "inf"}, "unknown --timeout value: inf"},
      {{"--timeout", "-1"}, "unknown --timeout value: -1"},
      {{"--baud", "9600", "--baud", "4800"}, "--baud is given twice"},
  };
  for (const auto& [options, reason] : cases) {
    for (const bool receiving : {true, false}) {
      std::vector<std::string> args = {"COM1", "book.sdr"};
      args.insert(args.end(), options.begin(), options.end());
      // Should a value be taken after all, the reception does not wait for ever.
      if (options[0] != "--timeout") args.insert(args.end(), {"--timeout", "0.2"});
      ::testing::internal::CaptureStderr();
      EXPECT_EQ(receiving ? cli::runReceive(args) : cli::runSend(args), 2) << reason;
      const std::string message = ::testing::internal::GetCapturedStderr();
      EXPECT_TRUE(message.starts_with("quillmar-cli: " + reason + "\nusage: ")) << message;
    }
  }
}

// "dev/port" is the file under the current directory, not /dev/dev/port.
TEST_F(TransferCommand, portGivenAsARelativePath_isFoundFromTheCurrentDirectory) {
  test::PtyPair pty;
  fs::create_directory(dir_.path() / "dev");
  fs::create_symlink(pty.portPath(), dir_.path() / "dev" / "port");
  const std::string in = file("book.sdr");
  write(in, kBook);
  const fs::path before = fs::current_path();
  fs::current_path(dir_.path());
  instrument::Capture capture;
  std::thread instrument([&] { capture = instrument::captureUntilEtx(pty.instrumentFd(), 3000ms); });
  const int status = cli::runSend({"dev/port", in});
  instrument.join();
  fs::current_path(before);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(capture.bytes, kFramed);
}

TEST_F(TransferCommand, badArguments_areUsageErrors) {
  const std::vector<std::vector<std::string>> receives = {{},
                                                          {"COM1"},
                                                          {"COM1", "out.sdr", "--baud"},
                                                          {"COM1", "out.sdr", "--speed", "9600"},
                                                          {"COM1", "out.sdr", "--timeout", "soon"},
                                                          {"COM1", "out.sdr", "--timeout", "0"},
                                                          {"--baud", "9600"}};
  for (const auto& args : receives) EXPECT_EQ(cli::runReceive(args), 2) << args.size();
  EXPECT_EQ(cli::runSend({"COM1"}), 2);
  EXPECT_EQ(cli::runSend({"COM1", "in.sdr", "--timeout", "0"}), 2);
  EXPECT_EQ(cli::runSend({"COM1", "in.sdr", "--flow", "hardware"}), 2);
  EXPECT_EQ(cli::runSend({"COM1", "in.sdr", "--line-pause", "1001"}), 2);
  EXPECT_EQ(cli::runReceive({"COM1", "out.sdr", "--line-pause", "10"}), 2);  // upload only
}

TEST_F(TransferCommand, sendSdrFile_framesItAsTheUploadDoes) {
  test::PtyPair pty;
  const std::string in = file("book.sdr");
  write(in, "00NMSDR33 V04-04.02\n\n02TP0001\n");
  instrument::Capture capture;
  std::thread instrument([&] { capture = instrument::captureUntilEtx(pty.instrumentFd(), 3000ms); });
  EXPECT_EQ(cli::runSend({pty.portPath(), in, "--baud", "38400"}), 0);
  instrument.join();
  EXPECT_TRUE(capture.complete);
  EXPECT_EQ(capture.bytes, kFramed);
}

TEST_F(TransferCommand, sendReceivedRecordFile_arrivesWithOneStxAndOneEtx) {
  test::PtyPair pty;
  const std::string in = file("book.qdl");
  ASSERT_EQ(receiveWhileInstrumentSends(pty, {pty.portPath(), in, "--parity", "EVENPARITY", "--bits", "7"}, kFramed),
            0);
  std::string sent;
  std::thread instrument([&] { sent = instrument::readUntilQuiet(pty.instrumentFd(), 1000ms); });
  EXPECT_EQ(cli::runSend({pty.portPath(), in, "--flow", "xonxoff", "--line-pause", "10", "--stop", "TWOSTOPBIT"}), 0);
  instrument.join();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), '\x02'), 1);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), '\x03'), 1);
  EXPECT_EQ(sent, kFramed);
}

TEST_F(TransferCommand, sendFailures_exitWithOne) {
  const std::string in = file("book.sdr");
  write(in, kBook);
  EXPECT_EQ(cli::runSend({"/dev/quillmar-no-such-port", in}), 1);
  test::PtyPair pty;
  EXPECT_EQ(cli::runSend({pty.portPath(), file("missing.sdr")}), 1);
}

}  // namespace
}  // namespace quillmar
