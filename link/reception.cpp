// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/reception.h"

#include <chrono>

#include "link/upload_text.h"
#include "records/cp1251.h"

namespace quillmar {

std::string_view receptionStatusText(ReceptionStatus status) {
  switch (status) {
    case ReceptionStatus::Prompt:
      return "Для загрузки данных нажмите кнопку \"Прием\" затем запустите передачу данных с прибора"_w;
    case ReceptionStatus::Waiting: return " Режим ожидания передачи данных "_w;
    case ReceptionStatus::DataArriving: return "Прием данных"_w;
    case ReceptionStatus::Receiving: return "Прием %"_w;
    case ReceptionStatus::Finished: return "Прием завершен"_w;
    case ReceptionStatus::Stopped: return "Прием остановлен"_w;
    case ReceptionStatus::PortNotOpened: return "Невозможно открыть порт "_w;
    case ReceptionStatus::PortLost: return "Прием прерван, порт недоступен: "_w;
  }
  return {};
}

void ReceptionMachine::byteArrived(char byte) {
  if (finished_) return;
  if (!inBurst_) {
    inBurst_ = true;
    sink_.showStatus(ReceptionStatus::DataArriving);
  }
  if (byte == kStx) {
    started_ = true;
    sink_.showStatus(ReceptionStatus::Receiving);
  }
  if (!started_) return;  // noise before the transmission, ETX included
  receivedChunk_.push_back(byte);
  ++count_.bytes;
  if (byte == '\n') ++count_.lines;
  if (byte == kEtx) {
    finished_ = true;
    sink_.showStatus(ReceptionStatus::Finished);
    endBurst(false);
  }
}

void ReceptionMachine::silence() {
  if (inBurst_) endBurst(true);
}

void ReceptionMachine::endOfData() { endBurst(false); }

// A CR held back stays at the front of the next burst, so that the memo
// never sees a line end split in two.
void ReceptionMachine::endBurst(bool holdTrailingCr) {
  inBurst_ = false;
  const bool hold = holdTrailingCr && receivedChunk_.ends_with('\r');
  if (receivedChunk_.size() <= (hold ? 1u : 0u)) return;
  if (hold) receivedChunk_.pop_back();
  sink_.handOver(receivedChunk_);
  receivedChunk_.clear();
  if (hold) receivedChunk_.push_back('\r');
}

ReceptionEnd receiveTransmission(ByteSource& source, ReceptionSink& sink, const std::function<bool()>& stopRequested) {
  using Clock = std::chrono::steady_clock;
  ReceptionMachine machine(sink);
  std::uint64_t shownBytes = 0;
  Clock::time_point shownAt = Clock::now();
  const auto showCountWhenDue = [&] {
    if (machine.count().bytes == shownBytes) return;
    if (!machine.finished() && Clock::now() - shownAt < std::chrono::milliseconds(kBurstGapMs)) return;
    sink.showCount(machine.count());
    shownBytes = machine.count().bytes;
    shownAt = Clock::now();
  };
  while (!machine.finished()) {
    if (stopRequested()) {
      machine.endOfData();
      return ReceptionEnd::Stopped;
    }
    char byte = 0;
    switch (source.readByte(byte, kBurstGapMs)) {
      case ByteSource::ReadResult::Byte: machine.byteArrived(byte); break;
      case ByteSource::ReadResult::Silence: machine.silence(); break;
      case ByteSource::ReadResult::Lost: machine.endOfData(); return ReceptionEnd::PortLost;
    }
    showCountWhenDue();
  }
  return ReceptionEnd::Finished;
}

void appendMemoPieces(std::vector<std::string>& memoLines, std::string_view text) {
  static constexpr std::string_view kLineEnd = "\r\n";
  for (;;) {
    const std::size_t end = text.find(kLineEnd);
    memoLines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + kLineEnd.size());
  }
}

bool takeMemoLines(const std::vector<std::string>& memoLines, LineBuffer& buffer, std::size_t& lineCount) {
  if (memoLines.empty()) return false;
  std::size_t bytes = 0;
  for (const std::string& line : memoLines) bytes += line.size() + 2;
  buffer.clear();
  buffer.reserve(memoLines.size(), bytes);
  // A lone LF typed or pasted into a memo line ends a line too, as in import.
  for (std::string_view line : memoLines) {
    for (std::size_t end; (end = line.find('\n')) != std::string_view::npos; line.remove_prefix(end + 1)) {
      std::string_view piece = line.substr(0, end);
      if (piece.ends_with('\r')) piece.remove_suffix(1);
      buffer.appendLine(piece);
    }
    buffer.appendLine(line);
  }
  lineCount = buffer.size();
  return true;
}

}  // namespace quillmar
