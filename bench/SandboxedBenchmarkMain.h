#pragma once

// The main of a benchmark that touches the registry: it runs inside a test sandbox, so the
// configuration file it writes lands in a temporary data folder, never beside the build.
// A benchmark of widgets defines QUILLON_BENCH_APPLICATION as QApplication (and includes it) first.
#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include "TestSandbox.h"

#ifndef QUILLON_BENCH_APPLICATION
#define QUILLON_BENCH_APPLICATION QCoreApplication
#endif

int main(int argc, char** argv) {
    return TestSandbox::run(argc, argv, [](int argc, char** argv) {
        QUILLON_BENCH_APPLICATION app(argc, argv);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    });
}
