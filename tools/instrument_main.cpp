// SPDX-License-Identifier: GPL-3.0-or-later
// quillmar-instrument: stands in for a total station on a pseudo-terminal, so
// that reception and upload can be tried without an instrument.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/instrument/instrument.h"
#include "tools/instrument/pty_pair.h"

namespace {

using namespace quillmar::instrument;
using std::chrono::milliseconds;

constexpr const char* kUsage =
    "usage: quillmar-instrument send FILE [--baud B] [--pause-after LINES] [--pause-ms MS]\n"
    "                                [--as-is] [--start-after MS] [--linger MS]\n"
    "       quillmar-instrument capture OUT [--timeout SEC]\n"
    "Opens a pseudo-terminal and prints its path: give that path as the port.\n"
    "send     sends the SDR lines of FILE framed by STX CR LF and ETX CR LF (--as-is:\n"
    "         the file's bytes unchanged), paced at B baud (10 bits a byte), pausing\n"
    "         MS ms (default 300) after every LINES lines. Without --start-after each\n"
    "         Enter sends once and q or end of input quits; with it, the book is\n"
    "         sent once after MS ms and the port stays open --linger MS (default 2000).\n"
    "capture  writes what is uploaded, up to ETX CR LF, to OUT; --timeout gives up\n"
    "         after SEC seconds without a byte.\n";

struct Options {
  std::string mode;
  std::string path;
  Pacing pacing;
  bool asIs = false;
  std::optional<long> startAfterMs;
  long lingerMs = 2000;
  std::optional<long> timeoutSec;
};

std::optional<long> number(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0) return std::nullopt;
  return value;
}

std::optional<Options> parse(const std::vector<std::string>& args) {
  if (args.size() < 2 || (args[0] != "send" && args[0] != "capture")) return std::nullopt;
  Options options;
  options.mode = args[0];
  options.path = args[1];
  options.pacing.pause = milliseconds(300);
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& flag = args[i];
    if (flag == "--as-is") {
      options.asIs = true;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const auto value = number(args[++i]);
    if (!value) return std::nullopt;
    if (flag == "--baud")
      options.pacing.baud = static_cast<int>(*value);
    else if (flag == "--pause-after")
      options.pacing.pauseAfterLines = static_cast<std::size_t>(*value);
    else if (flag == "--pause-ms")
      options.pacing.pause = milliseconds(*value);
    else if (flag == "--start-after")
      options.startAfterMs = *value;
    else if (flag == "--linger")
      options.lingerMs = *value;
    else if (flag == "--timeout")
      options.timeoutSec = *value;
    else
      return std::nullopt;
  }
  return options;
}

std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int runSend(const Options& options, const PtyPair& pty) {
  const auto text = readFile(options.path);
  if (!text) {
    std::cerr << "cannot read " << options.path << "\n";
    return 1;
  }
  const std::string bytes = options.asIs ? *text : framedFieldBook(*text);
  auto sendOnce = [&] {
    if (!sendPaced(pty.instrumentFd(), bytes, options.pacing)) {
      std::cerr << "the link failed while sending\n";
      return false;
    }
    std::cout << "Sent " << bytes.size() << " bytes" << std::endl;
    return true;
  };
  if (options.startAfterMs) {
    std::this_thread::sleep_for(milliseconds(*options.startAfterMs));
    const bool sent = sendOnce();
    std::this_thread::sleep_for(milliseconds(options.lingerMs));
    return sent ? 0 : 1;
  }
  std::cout << "Press Enter to send the field book, q to quit." << std::endl;
  for (std::string line; std::getline(std::cin, line) && line != "q";) {
    if (!sendOnce()) return 1;
  }
  return 0;
}

int runCapture(const Options& options, const PtyPair& pty) {
  std::cout << "Waiting for an upload..." << std::endl;
  const milliseconds timeout = options.timeoutSec ? milliseconds(*options.timeoutSec * 1000) : milliseconds(-1);
  const Capture capture = captureUntilEtx(pty.instrumentFd(), timeout);
  std::ofstream out(options.path, std::ios::binary);
  out.write(capture.bytes.data(), static_cast<std::streamsize>(capture.bytes.size()));
  out.close();
  if (!out) {
    std::cerr << "cannot write " << options.path << "\n";
    return 1;
  }
  std::cout << "Captured " << capture.bytes.size() << " bytes"
            << (capture.complete ? "" : " (no ETX CR LF: the upload is incomplete)") << std::endl;
  return capture.complete ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = parse(std::vector<std::string>(argv + 1, argv + argc));
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    PtyPair pty;
    std::cout << "Port: " << pty.portPath() << std::endl;
    return options->mode == "send" ? runSend(*options, pty) : runCapture(*options, pty);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}
