#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// The benchmarks' main: widgets on the offscreen platform, then Google Benchmark with its flags.
inline int runOffscreenBenchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
