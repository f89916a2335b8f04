// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/transfer_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

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
