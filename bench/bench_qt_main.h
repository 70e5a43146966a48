// The main of a benchmark program that needs a QApplication: offscreen unless
// a platform is set, the benchmarks named on the command line, then the
// program's own cleanup. Header only: every benchmark is a program of its own.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

namespace bench_support {

inline int RunQtBenchmarks(int argc, char **argv, const std::function<void()> &cleanup) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  cleanup();
  return 0;
}

}  // namespace bench_support
