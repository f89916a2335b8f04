// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks of windows and drawing run headless on Qt's offscreen platform.
#include <benchmark/benchmark.h>
#include <QApplication>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
