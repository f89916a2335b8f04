// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument link: a 1 MB field book sent over a pseudo-terminal as fast
// as it can be written, received byte by byte as "Прием" does (the port
// adapter and the reception machine of the window's worker), checked byte
// for byte; and building UploadText from a document.
#include <benchmark/benchmark.h>
#include <QCoreApplication>

#include <thread>

#include "link/reception.h"
#include "link/serial/serial_link.h"
#include "link/upload_text.h"
#include "records/import.h"
#include "tools/field_book_generator.h"
#include "tools/instrument/instrument.h"
#include "tools/instrument/pty_pair.h"

namespace quillmar {
namespace {

class Received final : public ReceptionSink {
 public:
  void showStatus(ReceptionStatus) override {}
  void handOver(std::string_view chunk) override { bytes.append(chunk); }
  std::string bytes;
};

std::string framedBook(std::size_t bytes) {
  const std::string book = tools::generateFieldBook({tools::Layout::Sdr3x, bytes / 90, 3});
  return instrument::framedFieldBook(book);
}

void BM_ReceiveOneMegabyte(benchmark::State& state) {
  const std::string sent = framedBook(1 << 20);
  for (auto _ : state) {
    instrument::PtyPair pty;
    SerialLink link;
    if (!link.open(QString::fromStdString(pty.portPath()), QIODevice::ReadOnly, PortParameters{})) {
      state.SkipWithError("cannot open the pseudo-terminal");
      return;
    }
    std::thread instrumentSide([&] { instrument::sendPaced(pty.instrumentFd(), sent, {}); });
    Received received;
    receiveTransmission(link, received, [] { return false; });
    instrumentSide.join();
    if (received.bytes != sent.substr(0, sent.size() - 2)) state.SkipWithError("bytes were lost or changed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(sent.size()));
}
BENCHMARK(BM_ReceiveOneMegabyte)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildUploadText(benchmark::State& state) {
  const std::string text =
      tools::generateFieldBook({tools::Layout::Sdr3x, static_cast<std::size_t>(state.range(0)), 5});
  LineBuffer lines;
  ImportSdrText(text, lines);
  RecordList list;
  CaptionState captions;
  Obrabotka(lines, lines.size(), captions, list);
  for (auto _ : state) benchmark::DoNotOptimize(buildUploadText(list));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildUploadText)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmar

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
