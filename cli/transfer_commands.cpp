#include "cli/transfer_commands.h"

#include <QCoreApplication>
#include <QFile>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/load_input.h"
#include "export/export_writers.h"
#include "link/comm_settings.h"
#include "link/port_parameters.h"
#include "link/reception.h"
#include "link/serial/port_device.h"
#include "link/serial/serial_link.h"
#include "link/upload_text.h"
#include "records/import.h"
#include "records/io_error.h"
#include "records/record_file.h"

namespace quillmar::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kReceiveUsage =
    "usage: quillmar-cli receive PORT OUT [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT] [--timeout SEC]\n";
constexpr const char* kSendUsage =
    "usage: quillmar-cli send PORT IN [--baud B] [--bits 7|8] [--stop TEXT] [--parity TEXT]\n";

struct TransferOptions {
  std::string port;
  std::string path;
  CommSettings settings = creationCommSettings();
  std::optional<double> timeoutSec;
};

bool setOption(TransferOptions& options, const std::string& flag, const std::string& value, bool timeoutAllowed) {
  if (flag == "--baud") options.settings.baudText = value;
  else if (flag == "--bits") options.settings.byteSizeText = value;
  else if (flag == "--stop") options.settings.stopBitText = value;
  else if (flag == "--parity") options.settings.parityText = value;
  else if (flag == "--timeout" && timeoutAllowed) {
    char* end = nullptr;
    const double seconds = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(seconds > 0)) return false;
    options.timeoutSec = seconds;
  } else {
    return false;
  }
  return true;
}

std::optional<TransferOptions> parse(const std::vector<std::string>& args, bool timeoutAllowed) {
  if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--")) return std::nullopt;
  TransferOptions options;
  options.port = args[0];
  options.path = args[1];
  options.settings.portText = args[0];
  for (std::size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size() || !setOption(options, args[i], args[i + 1], timeoutAllowed)) return std::nullopt;
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

// Stops the reception once the time-out, if any, has passed.
std::function<bool()> deadlinePassed(std::optional<double> timeoutSec) {
  if (!timeoutSec) return [] { return false; };
  const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>(*timeoutSec));
  return [deadline] { return Clock::now() >= deadline; };
}

// "ОК" and "Загрузить": every received line becomes a record.
void writeReceived(const std::vector<std::string>& memoLines, const std::string& path) {
  LineBuffer buffer;
  std::size_t lineCount = 0;
  takeMemoLines(memoLines, buffer, lineCount);
  CaptionState captions;
  RecordList list;
  Obrabotka(buffer, lineCount, captions, list);
  if (isRecordFileName(path)) writeRecordFile(path, list);
  else exportToFile(path, list, ExportKind::SdrFile);
}

std::string uploadTextOf(const std::string& path) {
  UploadTextBuilder builder;
  forEachInputRecord(path, [&builder](const SurveyRecord& record) { builder.add(record); });
  return builder.take();
}

}  // namespace

int runReceive(const std::vector<std::string>& args) {
  const auto options = parse(args, true);
  if (!options) {
    std::cerr << kReceiveUsage;
    return 2;
  }
  const auto app = ensureQtApplication();
  SerialLink link;
  if (!link.open(devicePath(options->port), QIODevice::ReadOnly,
                 recognisedParameters(options->settings, LinkDirection::Reception))) {
    return fail("cannot open " + options->port + " for reading: " + link.errorText().toStdString());
  }
  MemoLines memo;
  switch (receiveTransmission(link, memo, deadlinePassed(options->timeoutSec))) {
    case ReceptionEnd::Finished: break;
    case ReceptionEnd::PortLost:
      return fail(options->port + " was lost during the reception: " + link.errorText().toStdString());
    case ReceptionEnd::Stopped: return fail("no complete transmission on " + options->port + " within the time-out");
  }
  link.close();
  try {
    writeReceived(memo.lines, options->path);
  } catch (const IoError& error) {
    return fail(options->path + ": " + error.what());
  }
  return 0;
}

int runSend(const std::vector<std::string>& args) {
  const auto options = parse(args, false);
  if (!options) {
    std::cerr << kSendUsage;
    return 2;
  }
  std::string text;
  try {
    text = uploadTextOf(options->path);
  } catch (const IoError& error) {
    return fail(options->path + ": " + error.what());
  }
  const auto app = ensureQtApplication();
  SerialLink link;
  if (!link.open(devicePath(options->port), QIODevice::WriteOnly,
                 recognisedParameters(options->settings, LinkDirection::Upload))) {
    return fail("cannot open " + options->port + " for writing: " + link.errorText().toStdString());
  }
  std::size_t transmitted = 0;
  const auto result = link.writeAll(text, [](std::size_t) { return true; }, transmitted);
  if (result != SerialLink::WriteResult::Done) {
    return fail("sending to " + options->port + " failed after " + std::to_string(transmitted) + " of " +
                std::to_string(text.size()) + " bytes: " + link.errorText().toStdString());
  }
  return 0;
}

}  // namespace quillmar::cli
