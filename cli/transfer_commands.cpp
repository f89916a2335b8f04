// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/transfer_commands.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <variant>

#include "cli/load_input.h"
#include "cli/transfer_options.h"
#include "export/export_writers.h"
#include "link/comm_settings.h"
#include "link/port_parameters.h"
#include "link/reception.h"
#include "link/serial/port_device.h"
#include "link/serial/serial_link.h"
#include "link/upload_text.h"
#include "records/file_writer.h"
#include "records/import.h"
#include "records/io_error.h"
#include "records/record_file.h"

namespace quillmar::cli {
namespace {

constexpr const char* kReceiveUsage =
    "usage: quillmar-cli receive PORT OUT [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n"
    "                            [--flow none|rtscts|xonxoff] [--timeout SEC]\n";
constexpr const char* kSendUsage =
    "usage: quillmar-cli send PORT IN [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n"
    "                         [--flow none|rtscts|xonxoff] [--line-pause MS] [--timeout SEC]\n";
constexpr int kIncompleteReception = 3;

// The options, or a usage error: the reason and the usage on stderr.
std::optional<TransferOptions> parse(const std::vector<std::string>& args, LinkDirection direction) {
  auto parsed = parseTransferOptions(args, direction);
  if (auto* options = std::get_if<TransferOptions>(&parsed)) return std::move(*options);
  std::cerr << "quillmar-cli: " << std::get<std::string>(parsed) << "\n"
            << (direction == LinkDirection::Reception ? kReceiveUsage : kSendUsage);
  return std::nullopt;
}

// QSerialPort wants a Qt application object in the thread that uses it.
std::unique_ptr<QCoreApplication> ensureQtApplication() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  static int argc = 1;
  static char name[] = "quillmar-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QCoreApplication>(argc, argv);
}

QString devicePath(const std::string& port) { return portDevicePath(QFile::decodeName(port.c_str())); }

// Opens the port for the direction; empty on success, otherwise why not.
std::string openPort(SerialLink& link, const TransferOptions& options, LinkDirection direction) {
  const bool reading = direction == LinkDirection::Reception;
  if (link.open(devicePath(options.port), reading ? QIODevice::ReadOnly : QIODevice::WriteOnly,
                recognisedParameters(options.settings, direction, options.pacing.flow))) {
    return {};
  }
  return "cannot open " + options.port + (reading ? " for reading: " : " for writing: ") +
         link.errorText().toStdString();
}

int fail(const std::string& message) {
  std::cerr << "quillmar-cli: " << message << "\n";
  return 1;
}

// The memo of the reception dialog, without a window: the bursts join into
// one text, whose lines are taken at the end.
class ReceivedText final : public ReceptionSink {
 public:
  void showStatus(ReceptionStatus) override {}
  void handOver(std::string_view receivedChunk) override { text_.append(receivedChunk); }
  bool empty() const { return text_.empty(); }
  std::vector<std::string> lines() const {
    std::vector<std::string> memoLines;
    if (!text_.empty()) appendMemoPieces(memoLines, text_);
    return memoLines;
  }

 private:
  std::string text_;
};

// The port, counting every byte read: bytes that arrive are progress, noise
// before the transmission included.
class CountedSource final : public ByteSource {
 public:
  explicit CountedSource(ByteSource& port) : port_(port) {}
  ReadResult readByte(char& byte, int timeoutMs) override {
    const ReadResult result = port_.readByte(byte, timeoutMs);
    if (result == ReadResult::Byte) ++bytes;
    return result;
  }
  std::size_t bytes = 0;

 private:
  ByteSource& port_;
};

enum class Received { Complete, PortLost, TimedOut, Stopped };

volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop(int) { stopRequested = 1; }

// Ctrl-C, a hang-up or SIGTERM during a reception end it like a lost port:
// what arrived is kept.
void stopReceptionOnSignals() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, requestStop);
}

// The reception loop of "Прием", stopped by a signal or by the time-out,
// which counts from the last byte that arrived.
Received receiveFramed(SerialLink& link, ReceivedText& memo, std::optional<TransferClock::duration> timeout) {
  CountedSource source(link);
  TransferWatch watch(timeout, TransferClock::now());
  const auto stop = [&] {
    return stopRequested != 0 || watch.look(source.bytes, TransferClock::now()) == TransferWatch::Verdict::GiveUp;
  };
  switch (receiveTransmission(source, memo, stop)) {
    case ReceptionEnd::Finished: return Received::Complete;
    case ReceptionEnd::PortLost: return Received::PortLost;
    case ReceptionEnd::Stopped: return stopRequested != 0 ? Received::Stopped : Received::TimedOut;
  }
  return Received::Complete;
}

// "ОК" and "Загрузить": every received line becomes a record.
void writeReceived(const std::vector<std::string>& memoLines, const std::string& path, FileWriter& out) {
  LineBuffer buffer;
  std::size_t lineCount = 0;
  takeMemoLines(memoLines, buffer, lineCount);
  if (const std::size_t cut = CountCutLines(buffer, lineCount); cut != 0) {
    std::cerr << "quillmar-cli: " << cut << (cut == 1 ? " received line was" : " received lines were")
              << " longer than 168 characters and cut to the " << kBodyCapacity << " characters a record keeps\n";
  }
  CaptionState captions;
  RecordList list;
  Obrabotka(buffer, lineCount, captions, list);
  if (isRecordFileName(path))
    writeRecords(out, list);
  else
    writeExport(out, list, ExportKind::SdrFile);
  out.commit();
}

// Where the received lines go when OUT cannot take them: the first folder,
// OUT's own or the temporary one, that takes a new file.
std::string keepElsewhere(const std::vector<std::string>& memoLines, const std::string& path) {
  std::string text;  // the lines as "ОК" puts them in the line buffer
  for (const std::string& line : memoLines) text.append(line).append("\r\n");
  const std::size_t slash = path.rfind('/');
  const char* tmp = std::getenv("TMPDIR");
  const std::string folders[] = {slash == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(slash, 1)),
                                 tmp != nullptr ? tmp : "/tmp"};
  for (const std::string& folder : folders) {
    std::string name = folder + "/quillmar-received-XXXXXX.sdr";
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0) continue;
    ::close(fd);
    try {
      writeWholeFile(name, text);
      return name;
    } catch (const IoError&) {
      ::unlink(name.c_str());
    }
  }
  return {};
}

std::string receptionEnd(Received how, const std::string& port, const SerialLink& link) {
  switch (how) {
    case Received::PortLost: return port + " was lost during the reception: " + link.errorText().toStdString();
    case Received::TimedOut: return "no complete transmission on " + port + " within the time-out";
    case Received::Stopped: return "the reception on " + port + " was stopped";
    case Received::Complete: break;
  }
  return {};
}

int saveReceived(const std::vector<std::string>& lines, const std::string& path, FileWriter& out) {
  try {
    writeReceived(lines, path, out);
    return 0;
  } catch (const IoError& error) {
    const std::string kept = keepElsewhere(lines, path);
    const std::string where =
        kept.empty() ? "; the received lines could not be kept anywhere" : "; the received lines are kept in " + kept;
    return fail(path + ": " + describeWithReason(error) + where);
  }
}

UploadText uploadTextOf(const std::string& path) {
  UploadTextBuilder builder;
  reportCutLines(path,
                 forEachInputRecord(path, [&builder](const SurveyRecord& record) { builder.add(record.body.view()); }));
  return builder.take();
}

std::string sentOfTotal(std::size_t sent, std::size_t total) {
  return std::to_string(sent) + " of " + std::to_string(total) + " bytes";
}

// Keeps an eye on the upload: says on stderr, every few seconds without
// progress, that the instrument holds it; gives up at the time-out.
bool uploadStillGoing(TransferWatch& watch, std::size_t sent, std::size_t total) {
  switch (watch.look(sent, TransferClock::now())) {
    case TransferWatch::Verdict::Moving: return true;
    case TransferWatch::Verdict::Held:
      std::cerr << "quillmar-cli: the instrument holds the transfer: " << sentOfTotal(sent, total) << " sent\n";
      return true;
    case TransferWatch::Verdict::GiveUp: return false;
  }
  return true;
}

}  // namespace

int runReceive(const std::vector<std::string>& args) {
  const auto options = parse(args, LinkDirection::Reception);
  if (!options) return 2;
  stopRequested = 0;
  stopReceptionOnSignals();
  // Nothing is taken from the port before OUT is known to be writable; OUT
  // itself is replaced only once something has arrived.
  std::optional<FileWriter> out;
  try {
    out.emplace(options->path);
  } catch (const IoError& error) {
    return fail(options->path + ": " + describeWithReason(error));
  }
  const auto app = ensureQtApplication();
  SerialLink link;
  if (const std::string why = openPort(link, *options, LinkDirection::Reception); !why.empty()) return fail(why);
  ReceivedText memo;
  const Received how = receiveFramed(link, memo, options->timeout);
  link.close();
  if (memo.empty()) {
    return fail(receptionEnd(how, options->port, link) + "; nothing arrived, " + options->path + " is left as it was");
  }
  const std::vector<std::string> lines = memo.lines();
  const int saved = saveReceived(lines, options->path, *out);
  if (saved != 0 || how == Received::Complete) return saved;
  std::cerr << "quillmar-cli: " << receptionEnd(how, options->port, link) << "; " << options->path << " holds the "
            << lines.size() << " lines that arrived\n";
  return kIncompleteReception;
}

int runSend(const std::vector<std::string>& args) {
  const auto options = parse(args, LinkDirection::Upload);
  if (!options) return 2;
  UploadText upload;
  try {
    upload = uploadTextOf(options->path);
  } catch (const IoError& error) {
    return fail(options->path + ": " + describeWithReason(error));
  }
  const auto app = ensureQtApplication();
  SerialLink link;
  if (const std::string why = openPort(link, *options, LinkDirection::Upload); !why.empty()) return fail(why);
  const std::string& text = upload.bytes;
  std::size_t transmitted = 0;
  TransferWatch watch(options->timeout, TransferClock::now());
  const auto result = link.writeAll(
      text, [&](std::size_t sent) { return uploadStillGoing(watch, sent, text.size()); }, transmitted,
      options->pacing.linePauseMs);
  if (result == SerialLink::WriteResult::Cancelled) {
    return fail("sending to " + options->port + " made no progress for " + options->timeoutText + " s; gave up after " +
                sentOfTotal(transmitted, text.size()));
  }
  if (result != SerialLink::WriteResult::Done) {
    return fail("sending to " + options->port + " failed after " + sentOfTotal(transmitted, text.size()) + ": " +
                link.errorText().toStdString());
  }
  if (upload.framingRecordsLeftOut != 0) {
    std::cerr << "quillmar-cli: left out " << upload.framingRecordsLeftOut
              << " records whose line begins with STX or ETX; the upload carries its own frame\n";
  }
  return 0;
}

}  // namespace quillmar::cli
