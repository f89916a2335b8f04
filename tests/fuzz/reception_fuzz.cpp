// SPDX-License-Identifier: GPL-3.0-or-later
// Any byte stream with pauses anywhere, through the reception machine and the
// memo: nothing before the first STX and nothing after ETX is kept, every
// byte in between arrives in order, and "ОК" gives one CR LF line per memo line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/reception.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

class Collector final : public quillmar::ReceptionSink {
 public:
  void showStatus(quillmar::ReceptionStatus) override {}
  void handOver(std::string_view chunk) override {
    check(!chunk.empty());
    received.append(chunk);
    quillmar::appendMemoPieces(memo, chunk);
  }
  std::string received;
  std::vector<std::string> memo;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmar;
  // Even bytes are data; an odd byte of 0xFF after one marks a pause.
  Collector sink;
  ReceptionMachine machine(sink);
  std::string sent;
  for (std::size_t i = 0; i < size && !machine.finished(); ++i) {
    if (i + 1 < size && data[i + 1] == 0xFF && (i & 1) == 0) {
      machine.byteArrived(static_cast<char>(data[i]));
      sent.push_back(static_cast<char>(data[i]));
      machine.silence();
      ++i;
      continue;
    }
    machine.byteArrived(static_cast<char>(data[i]));
    sent.push_back(static_cast<char>(data[i]));
  }
  machine.endOfData();  // a CR held back for its LF goes over now
  const std::size_t stx = sent.find('\x02');
  if (stx == std::string::npos) {
    check(sink.received.empty());
    return 0;
  }
  std::string expected = sent.substr(stx);
  const std::size_t etx = expected.find('\x03');
  if (etx != std::string::npos) expected.resize(etx + 1);
  check(sink.received == expected);
  check(machine.finished() == (etx != std::string::npos));

  LineBuffer buffer;
  std::size_t count = 0;
  if (takeMemoLines(sink.memo, buffer, count)) {
    // Every memo line ends in CR LF; an LF inside one ends a line too, with the CR just before it.
    std::string expectedLines;
    for (std::string_view line : sink.memo) {
      for (std::size_t end; (end = line.find('\n')) != std::string_view::npos; line.remove_prefix(end + 1)) {
        std::string_view piece = line.substr(0, end);
        if (piece.ends_with('\r')) piece.remove_suffix(1);
        expectedLines.append(piece).append("\r\n");
      }
      expectedLines.append(line).append("\r\n");
    }
    std::string lines;
    for (std::size_t i = 0; i < buffer.size(); ++i) lines.append(buffer.line(i));
    check(buffer.size() == count && count >= sink.memo.size() && lines == expectedLines);
  }
  return 0;
}
