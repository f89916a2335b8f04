// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/transfer_commands.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "cli/load_input.h"
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

using Clock = std::chrono::steady_clock;

constexpr const char* kReceiveUsage =
    "usage: quillmar-cli receive PORT OUT [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n"
    "                            [--flow none|rtscts|xonxoff] [--timeout SEC]\n";
constexpr const char* kSendUsage =
    "usage: quillmar-cli send PORT IN [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n"
    "                         [--flow none|rtscts|xonxoff] [--line-pause MS] [--timeout SEC]\n";
constexpr int kIncompleteReception = 3;

struct TransferOptions {
  std::string port;
  std::string path;
  CommSettings settings = creationCommSettings();
  LinkPacing pacing;
  std::optional<double> timeoutSec;
};

bool setOption(TransferOptions& options, const std::string& flag, const std::string& value, LinkDirection direction) {
  if (flag == "--baud")
    options.settings.baudText = value;
  else if (flag == "--bits")
    options.settings.byteSizeText = value;
  else if (flag == "--stop")
    options.settings.stopBitText = value;
  else if (flag == "--parity")
    options.settings.parityText = value;
  else if (flag == "--flow") {
    const auto flow = flowChoiceOfWord(value);
    if (!flow) return false;
    options.pacing.flow = *flow;
  } else if (flag == "--line-pause" && direction == LinkDirection::Upload) {
    const auto pause = linePauseOfText(value);
    if (!pause) return false;
    options.pacing.linePauseMs = *pause;
  } else if (flag == "--timeout") {
    char* end = nullptr;
    const double seconds = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(seconds > 0)) return false;
    options.timeoutSec = seconds;
  } else {
    return false;
  }
  return true;
}

std::optional<TransferOptions> parse(const std::vector<std::string>& args, LinkDirection direction) {
  if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--")) return std::nullopt;
  TransferOptions options;
  options.port = args[0];
  options.path = args[1];
  options.settings.portText = args[0];
  for (std::size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size() || !setOption(options, args[i], args[i + 1], direction)) return std::nullopt;
  }
  return options;
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

// The memo of the reception dialog, without a window.
class MemoLines final : public ReceptionSink {
 public:
  void showStatus(ReceptionStatus) override {}
  void handOver(std::string_view receivedChunk) override { appendMemoPieces(lines, receivedChunk); }
  std::vector<std::string> lines;
};

enum class Received { Complete, PortLost, TimedOut, Stopped };

volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop(int) { stopRequested = 1; }

// Ctrl-C, a hang-up or SIGTERM during a reception end it like a lost port:
// what arrived is kept.
void stopReceptionOnSignals() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, requestStop);
}

// The reception loop of "Прием", stopped by a signal or by the time-out.
Received receiveFramed(SerialLink& link, MemoLines& memo, std::optional<double> timeoutSec) {
  const auto deadline = timeoutSec ? std::optional(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                                      std::chrono::duration<double>(*timeoutSec)))
                                   : std::nullopt;
  const auto stop = [&deadline] { return stopRequested != 0 || (deadline && Clock::now() >= *deadline); };
  switch (receiveTransmission(link, memo, stop)) {
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

int saveReceived(const MemoLines& memo, const std::string& path, FileWriter& out) {
  try {
    writeReceived(memo.lines, path, out);
    return 0;
  } catch (const IoError& error) {
    const std::string kept = keepElsewhere(memo.lines, path);
    const std::string where =
        kept.empty() ? "; the received lines could not be kept anywhere" : "; the received lines are kept in " + kept;
    return fail(path + ": " + describeWithReason(error) + where);
  }
}

// Gives up on a transfer that has not moved for the given time.
class ProgressWatch {
 public:
  explicit ProgressWatch(std::optional<double> limitSec) : limitSec_(limitSec) {}
  bool stillMoving(std::size_t done) {
    if (done != done_ || !limitSec_) {
      done_ = done;
      since_ = Clock::now();
      return true;
    }
    return Clock::now() - since_ < std::chrono::duration<double>(*limitSec_);
  }

 private:
  std::optional<double> limitSec_;
  std::size_t done_ = 0;
  Clock::time_point since_ = Clock::now();
};

UploadText uploadTextOf(const std::string& path) {
  UploadTextBuilder builder;
  forEachInputRecord(path, [&builder](const SurveyRecord& record) { builder.add(record.body.view()); });
  return builder.take();
}

}  // namespace

int runReceive(const std::vector<std::string>& args) {
  const auto options = parse(args, LinkDirection::Reception);
  if (!options) {
    std::cerr << kReceiveUsage;
    return 2;
  }
  stopRequested = 0;
  // Nothing is taken from the port before OUT is known to be creatable.
  std::optional<FileWriter> out;
  try {
    out.emplace(options->path);
  } catch (const IoError& error) {
    return fail(options->path + ": " + describeWithReason(error));
  }
  const auto app = ensureQtApplication();
  SerialLink link;
  if (const std::string why = openPort(link, *options, LinkDirection::Reception); !why.empty()) return fail(why);
  stopReceptionOnSignals();
  MemoLines memo;
  const Received how = receiveFramed(link, memo, options->timeoutSec);
  link.close();
  const int saved = saveReceived(memo, options->path, *out);
  if (saved != 0 || how == Received::Complete) return saved;
  std::cerr << "quillmar-cli: " << receptionEnd(how, options->port, link) << "; " << options->path << " holds the "
            << memo.lines.size() << " lines that arrived\n";
  return kIncompleteReception;
}

int runSend(const std::vector<std::string>& args) {
  const auto options = parse(args, LinkDirection::Upload);
  if (!options) {
    std::cerr << kSendUsage;
    return 2;
  }
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
  ProgressWatch watch(options->timeoutSec);
  const auto result = link.writeAll(
      text, [&watch](std::size_t sent) { return watch.stillMoving(sent); }, transmitted, options->pacing.linePauseMs);
  const std::string sentOfTotal = std::to_string(transmitted) + " of " + std::to_string(text.size()) + " bytes";
  if (result == SerialLink::WriteResult::Cancelled) {
    std::ostringstream limit;
    limit << *options->timeoutSec;
    return fail("sending to " + options->port + " made no progress for " + limit.str() + " s; gave up after " +
                sentOfTotal);
  }
  if (result != SerialLink::WriteResult::Done) {
    return fail("sending to " + options->port + " failed after " + sentOfTotal + ": " + link.errorText().toStdString());
  }
  if (upload.framingRecordsLeftOut != 0) {
    std::cerr << "quillmar-cli: left out " << upload.framingRecordsLeftOut
              << " records whose line begins with STX or ETX; the upload carries its own frame\n";
  }
  return 0;
}

}  // namespace quillmar::cli
