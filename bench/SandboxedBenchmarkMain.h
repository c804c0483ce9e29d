#pragma once

// The main of a benchmark that touches the registry: it runs inside a test sandbox, so the
// configuration file it writes lands in a temporary data folder, never beside the build.
#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include "TestSandbox.h"

int main(int argc, char** argv) {
    return TestSandbox::run(argc, argv, [](int argc, char** argv) {
        QCoreApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        return 0;
    });
}
