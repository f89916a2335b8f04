// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reception of a framed transmission, as a machine fed with the bytes read
// from the port one by one and with "no byte within 100 ms". Each burst of
// bytes without such a pause is handed to the memo, which joins it to the
// text received so far: a line ends only where the data ends it. Bytes
// before the first STX are dropped; the burst that holds ETX ends the
// reception, and nothing after ETX is taken.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/line_buffer.h"

namespace quillmar {

enum class ReceptionStatus {
  Prompt,         // the dialog before any reception
  Waiting,        // "Прием" pressed
  DataArriving,   // the worker woken by received data
  Receiving,      // STX read
  Finished,       // ETX read
  Stopped,        // stopped before ETX
  PortNotOpened,  // followed by the port's name
  PortLost,       // followed by the port's name
};

// Windows-1251 text of a status; the port statuses end where the port's
// name is to follow.
std::string_view receptionStatusText(ReceptionStatus status);

// Bytes from STX on, and the line ends among them (LF, alone or after CR).
struct ReceivedCount {
  std::uint64_t bytes = 0;
  std::uint64_t lines = 0;
};

class ReceptionSink {
 public:
  virtual ~ReceptionSink() = default;
  virtual void showStatus(ReceptionStatus status) = 0;
  // One burst's bytes for the memo; returns once the memo holds them.
  virtual void handOver(std::string_view receivedChunk) = 0;
  // How much of the transmission has arrived, while it arrives; a sink
  // that does not show it ignores it.
  virtual void showCount(const ReceivedCount& /*count*/) {}
};

class ReceptionMachine {
 public:
  explicit ReceptionMachine(ReceptionSink& sink) : sink_(sink) {}

  void byteArrived(char byte);
  // No byte within 100 ms: the burst so far goes to the memo, but for a CR
  // at its end, which waits for the LF that may follow.
  void silence();
  // The port gone or the reception stopped: all that arrived goes to the memo.
  void endOfData();

  bool finished() const { return finished_; }
  const ReceivedCount& count() const { return count_; }

 private:
  void endBurst(bool holdTrailingCr);

  ReceptionSink& sink_;
  std::string receivedChunk_;
  ReceivedCount count_;
  bool started_ = false;
  bool inBurst_ = false;
  bool finished_ = false;
};

// A port read one byte at a time.
class ByteSource {
 public:
  enum class ReadResult { Byte, Silence, Lost };

  virtual ~ByteSource() = default;
  // One byte, or Silence when none arrives within `timeoutMs`; Lost when the
  // port has gone (a pulled adapter, a closed pseudo-terminal).
  virtual ReadResult readByte(char& byte, int timeoutMs) = 0;
};

// A read that brings no byte within this time ends the burst; the reception
// also asks whether to stop this often, and shows the count this often.
inline constexpr int kBurstGapMs = 100;

enum class ReceptionEnd { Finished, Stopped, PortLost };

// The reception loop of "Прием" and of quillmar-cli receive: reads `source`
// into a ReceptionMachine until ETX, until `stopRequested` answers true, or
// until the port is lost. The burst read so far reaches the sink in every case;
// the count reaches it every kBurstGapMs while bytes arrive, and at ETX.
ReceptionEnd receiveTransmission(ByteSource& source, ReceptionSink& sink, const std::function<bool()>& stopRequested);

// A received text becomes memo lines, one per CR LF piece, so a text that
// ends in CR LF leaves an empty line behind it. The memo joins the bursts
// first: a piece handed over alone would start a line of its own.
void appendMemoPieces(std::vector<std::string>& memoLines, std::string_view text);

// "ОК": every memo line followed by CR LF becomes a line of the buffer, empty
// ones included; an LF inside a memo line ends a line as well (with a CR just
// before it). Returns false, touching nothing, when the memo is empty.
bool takeMemoLines(const std::vector<std::string>& memoLines, LineBuffer& buffer, std::size_t& lineCount);

}  // namespace quillmar
