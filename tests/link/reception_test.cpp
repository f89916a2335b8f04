// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/reception.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "records/cp1251.h"

namespace quillmar {
namespace {

// Collects what the machine hands to the window thread.
class Recorder final : public ReceptionSink {
 public:
  void showStatus(ReceptionStatus status) override { statuses.push_back(status); }
  void handOver(std::string_view chunk) override { chunks.emplace_back(chunk); }
  // The memo joins the bursts as they come.
  std::vector<std::string> memo() const {
    std::string text;
    for (const std::string& chunk : chunks) text += chunk;
    std::vector<std::string> lines;
    if (!text.empty()) appendMemoPieces(lines, text);
    return lines;
  }
  std::vector<ReceptionStatus> statuses;
  std::vector<std::string> chunks;
};

// A port that delivers each burst's bytes back to back, then a pause of
// 100 ms; after the last burst (and its pause, unless `gone` at once) it is
// gone.
class ScriptedPort final : public ByteSource {
 public:
  explicit ScriptedPort(const std::vector<std::string>& bursts, bool goneAtOnce = false) {
    for (const std::string& burst : bursts) script_.append(burst).append(kPause);
    if (goneAtOnce) script_.resize(script_.size() - kPause.size());
  }
  ReadResult readByte(char& byte, int timeoutMs) override {
    EXPECT_EQ(timeoutMs, kBurstGapMs);
    ++reads;
    if (at_ == script_.size()) return ReadResult::Lost;
    if (script_[at_] == kPause[0] && script_.compare(at_, kPause.size(), kPause) == 0) {
      at_ += kPause.size();
      return ReadResult::Silence;
    }
    byte = script_[at_++];
    return ReadResult::Byte;
  }
  std::size_t unread() const { return script_.size() - at_; }
  int reads = 0;

 private:
  // Bytes that no case sends stand for the pause.
  static constexpr std::string_view kPause{"ÿþÿþÿ", 5};
  std::string script_;
  std::size_t at_ = 0;
};

struct Reception {
  Recorder recorder;
  ReceptionEnd end = ReceptionEnd::Stopped;
  bool finished = false;
};

Reception receive(const std::vector<std::string>& bursts) {
  Reception run;
  ScriptedPort port(bursts);
  run.end = receiveTransmission(port, run.recorder, [] { return false; });
  run.finished = run.end == ReceptionEnd::Finished;
  return run;
}

using Lines = std::vector<std::string>;
using S = ReceptionStatus;

struct Case {
  const char* name;
  std::vector<std::string> bursts;
  Lines memo;
  bool finished;
};

const Case kCases[] = {
    {"one burst: STX, two lines, ETX",
     {"\x02\r\n00NMSDR33\r\n02TP0001\r\n\x03"},
     {"\x02", "00NMSDR33", "02TP0001", "\x03"},
     true},
    {"bytes before STX are dropped", {"noise\r\n\x02\r\nA\r\n\x03"}, {"\x02", "A", "\x03"}, true},
    {"a pause inside a line keeps the line whole",
     {"\x02\r\n00NM", "SDR33\r\n\x03"},
     {"\x02", "00NMSDR33", "\x03"},
     true},
    {"a burst ending in CR LF leaves no empty line", {"\x02\r\nA\r\n", "B\r\n\x03"}, {"\x02", "A", "B", "\x03"}, true},
    {"a pause between CR and LF", {"\x02\r\nA\r", "\nB\r\n\x03"}, {"\x02", "A", "B", "\x03"}, true},
    {"the burst with ETX ends at ETX", {"\x02\r\nA\r\n\x03\r\nafter"}, {"\x02", "A", "\x03"}, true},
    {"bursts after ETX are not taken", {"\x02\r\n\x03", "\x02\r\nB\r\n\x03"}, {"\x02", "\x03"}, true},
    {"noise alone shows nothing", {"abc", "\r\n"}, {}, false},
    {"ETX before STX is noise too", {"a\x03", "\x02\r\nA\r\n\x03"}, {"\x02", "A", "\x03"}, true},
    {"STX in a later burst", {"xyz", "\x02\r\nA\r\n", "\x03"}, {"\x02", "A", "\x03"}, true},
    {"no ETX: the bursts stay in the memo", {"\x02\r\nA", "B"}, {"\x02", "AB"}, false},
    {"no ETX after a CR: the CR stays", {"\x02\r\nA\r"}, {"\x02", "A\r"}, false},
    {"a lone CR or LF stays inside its line", {"\x02\rX\nY\r\n\x03"}, {"\x02\rX\nY", "\x03"}, true},
};

TEST(ReceptionMachine, burstsBecomeMemoLines) {
  for (const Case& c : kCases) {
    const Reception run = receive(c.bursts);
    EXPECT_EQ(run.recorder.memo(), c.memo) << c.name;
    EXPECT_EQ(run.finished, c.finished) << c.name;
  }
}

TEST(ReceptionMachine, statusesFollowTheTransmissionInOrder) {
  EXPECT_EQ(receive({"\x02\r\nA\r\n\x03"}).recorder.statuses,
            (std::vector<S>{S::DataArriving, S::Receiving, S::Finished}));
  EXPECT_EQ(receive({"ab", "\x02\r\nA", "\r\n\x03"}).recorder.statuses,
            (std::vector<S>{S::DataArriving, S::DataArriving, S::Receiving, S::DataArriving, S::Finished}));
  EXPECT_EQ(receive({"abc"}).recorder.statuses, (std::vector<S>{S::DataArriving}));
}

TEST(ReceptionMachine, silenceWithoutBytes_changesNothing) {
  const Reception run = receive({"", "", ""});
  EXPECT_TRUE(run.recorder.statuses.empty());
  EXPECT_TRUE(run.recorder.chunks.empty());
}

TEST(ReceptionMachine, eachBurstIsHandedOverOnceWhole) {
  const Reception run = receive({"\x02\r\n00NM", "SDR33\r\n", "\x03"});
  EXPECT_EQ(run.recorder.chunks, (Lines{"\x02\r\n00NM", "SDR33\r\n", "\x03"}));
  // A pause between CR and LF: the CR waits for its LF, so that no burst
  // shows a line end cut in two.
  EXPECT_EQ(receive({"\x02\r\nA\r", "\nB\x03"}).recorder.chunks, (Lines{"\x02\r\nA", "\r\nB\x03"}));
}

// Whatever the bytes and however they are split into bursts, the memo gets
// exactly the bytes from the first STX up to and including the next ETX.
TEST(ReceptionMachine, randomBursts_handOverExactlyTheFramedBytes) {
  std::mt19937 random(20240613);
  for (int round = 0; round < 2000; ++round) {
    std::string stream(random() % 40, '\0');
    for (char& c : stream) c = static_cast<char>(random() % 6 == 0 ? 2 + random() % 2 : random() % 0xFE);
    std::vector<std::string> bursts;
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t length = 1 + random() % 8;
      bursts.push_back(stream.substr(at, length));
      at += length;
    }
    const std::size_t stx = stream.find('\x02');
    const std::size_t etx = stx == std::string::npos ? std::string::npos : stream.find('\x03', stx);
    const std::string expected =
        stx == std::string::npos ? "" : stream.substr(stx, etx == std::string::npos ? etx : etx - stx + 1);
    const Reception run = receive(bursts);
    std::string handed;
    for (const std::string& chunk : run.recorder.chunks) handed += chunk;
    ASSERT_EQ(handed, expected) << "round " << round;
    ASSERT_EQ(run.finished, etx != std::string::npos) << "round " << round;
  }
}

TEST(ReceiveTransmission, endsAtEtxWithoutReadingFurther) {
  ScriptedPort port(
      {"\x02\r\nA\r\n\x03"
       "after",
       "more"});
  Recorder recorder;
  EXPECT_EQ(receiveTransmission(port, recorder, [] { return false; }), ReceptionEnd::Finished);
  EXPECT_EQ(port.unread(), std::string_view("after.....more.....").size());
}

TEST(ReceiveTransmission, aStopOrALostPortStillHandsOverTheBurstSoFar) {
  {
    ScriptedPort port({"\x02\r\nA\r\nB"});
    Recorder recorder;
    EXPECT_EQ(receiveTransmission(port, recorder, [&port] { return port.reads == 4; }), ReceptionEnd::Stopped);
    EXPECT_EQ(recorder.chunks, Lines{"\x02\r\nA"});
  }
  ScriptedPort port({"\x02\r\nA\r\nB"}, true);
  Recorder recorder;
  EXPECT_EQ(receiveTransmission(port, recorder, [] { return false; }), ReceptionEnd::PortLost);
  EXPECT_EQ(recorder.chunks, Lines{"\x02\r\nA\r\nB"});
}

TEST(MemoPieces, oneLinePerCrLfPiece) {
  struct Piece {
    std::string_view text;
    Lines lines;
  };
  const Piece pieces[] = {
      {"A", {"A"}},           {"A\r\n", {"A", ""}},     {"\r\n", {"", ""}},
      {"A\r\nB", {"A", "B"}}, {"A\rB\nC", {"A\rB\nC"}}, {"A\n\r", {"A\n\r"}},
  };
  for (const Piece& piece : pieces) {
    Lines memo;
    appendMemoPieces(memo, piece.text);
    EXPECT_EQ(memo, piece.lines) << piece.text;
  }
}

TEST(TakeMemoLines, emptyMemo_changesNothing) {
  LineBuffer buffer;
  buffer.appendLine("old");
  std::size_t count = 7;
  EXPECT_FALSE(takeMemoLines({}, buffer, count));
  EXPECT_EQ(count, 7u);
  ASSERT_EQ(buffer.size(), 1u);
  EXPECT_EQ(buffer.line(0), "old\r\n");
}

TEST(TakeMemoLines, everyLineEndsInCrLfEmptyOnesIncluded) {
  LineBuffer buffer;
  buffer.appendLine("old");
  std::size_t count = 0;
  ASSERT_TRUE(takeMemoLines({"\x02", "A", "", "\x03"}, buffer, count));
  EXPECT_EQ(count, 4u);
  ASSERT_EQ(buffer.size(), 4u);
  EXPECT_EQ(buffer.line(0), "\x02\r\n");
  EXPECT_EQ(buffer.line(1), "A\r\n");
  EXPECT_EQ(buffer.line(2), "\r\n");
  EXPECT_EQ(buffer.line(3), "\x03\r\n");
}

TEST(TakeMemoLines, anLfInsideAMemoLine_endsALineThere) {
  LineBuffer buffer;
  std::size_t count = 0;
  ASSERT_TRUE(takeMemoLines({"A\nB\r\nC\n", "D\rE"}, buffer, count));
  ASSERT_EQ(count, 5u);
  const std::vector<std::string> lines{"A\r\n", "B\r\n", "C\r\n", "\r\n", "D\rE\r\n"};
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(buffer.line(i), lines[i]) << i;
}

TEST(ReceptionStatusText, textsAreTheSystemsOwn) {
  EXPECT_EQ(receptionStatusText(S::Prompt),
            "Для загрузки данных нажмите кнопку \"Прием\" затем запустите передачу данных с прибора"_w);
  EXPECT_EQ(receptionStatusText(S::Waiting), " Режим ожидания передачи данных "_w);
  EXPECT_EQ(receptionStatusText(S::DataArriving), "Прием данных"_w);
  EXPECT_EQ(receptionStatusText(S::Receiving), "Прием %"_w);
  EXPECT_EQ(receptionStatusText(S::Finished), "Прием завершен"_w);
  // Windows-1251 bytes: "Прием" is five Cyrillic letters.
  EXPECT_EQ(receptionStatusText(S::DataArriving).substr(0, 5), "\xCF\xF0\xE8\xE5\xEC");
}

}  // namespace
}  // namespace quillmar
