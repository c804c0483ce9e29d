#pragma once

// The main of a benchmark that touches the registry: it runs inside a test sandbox, so the
// configuration file it writes lands in a temporary data folder, never beside the build.
#include <benchmark/benchmark.h>

#include "TestSandbox.h"

// Benchmarks of widgets define QUILLON_BENCH_WIDGETS for a widget application (offscreen in the sandbox).
#ifdef QUILLON_BENCH_WIDGETS
#include <QApplication>
using BenchmarkApplication = QApplication;
#else
#include <QCoreApplication>
using BenchmarkApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    return TestSandbox::run(argc, argv, [](int argc, char** argv) {
        BenchmarkApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    });
}
