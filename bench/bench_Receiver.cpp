// The timecode receiver on its input's audio thread: frames executed per second on one core, and the
// one-time back-fill when the first decoded position meets the points taken before it.
// Runs inside a test sandbox, since choosing the format writes the configuration file.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>

#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/timecode/ReceiveTimecodeDVSObject.h"
#include "core/timecode/Timecoder.h"

namespace {

constexpr unsigned RATE = 48000;
constexpr double POINTS_PER_SECOND = 300.0;

void configure(const QString& format, bool fullDVS) {
    Singleton* registry = Singleton::instance();
    registry->instanceSetting()->setParamTimecode(format);
    fullDVS ? registry->instanceMode()->modeFullDVS_on() : registry->instanceMode()->modeFullDVS_off();
    registry->instancePerformance()->setProcessingBuffer(ModelGraph::INPUT_A, POINTS_PER_SECOND);
}

// Ten seconds of scratching: normal speed, a pull back, a push forwards, a stop.
TimecodeSignal scratch(const QString& format) {
    Timecoder timecoder;
    TimecodeSignal signal(timecoder.findDefinition(format), RATE);
    signal.setStart(50000.375);
    for (int i = 0; i < 5; ++i) {
        signal.move(1.0, 1.0);
        signal.ramp(0.2, 1.0, -1.5);
        signal.ramp(0.3, -1.5, 2.0);
        signal.ramp(0.5, 2.0, 0.0);
    }
    signal.render();
    return signal;
}

} // namespace

// Per iteration one run of ten seconds from initialise on; the table is built before timing.
static void BM_Execute(benchmark::State& state) {
    const bool fullDVS = state.range(0) != 0;
    const QString format = fullDVS ? "serato_sideA_FullDVS" : "generic_V2";
    state.SetLabel((format + (fullDVS ? " absolute" : " relative")).toStdString());
    configure(format, fullDVS);
    const TimecodeSignal signal = scratch(format);
    const qint16* pcm = signal.pcm().constData();
    const qint64 frames = signal.frameCount();
    QCurve curve(ModelGraph::INPUT_A);
    ReceiveTimecodeDVSObject receiver(ModelGraph::INPUT_A, &curve);
    receiver.initialise();
    for (auto _ : state) {
        state.PauseTiming();
        curve.reset();
        receiver.initialise();
        receiver.updateBPM();
        state.ResumeTiming();
        for (qint64 i = 0; i < frames; ++i)
            receiver.execute(pcm + 2 * i);
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["points"] = curve.curveGlobal()->size();
}
BENCHMARK(BM_Execute)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Two seconds of points without a position, then the point that carries the first one: the
// append that moves them all, timed alone.
static void BM_BackFillTwoSeconds(benchmark::State& state) {
    const int before = int(2 * POINTS_PER_SECOND);
    configure("serato_sideA_FullDVS", true);
    QCurve curve(ModelGraph::INPUT_A);
    for (auto _ : state) {
        curve.reset();
        for (int i = 0; i < before; ++i) {
            QData p;
            p.setSamplerate(i * 160);
            p.setY(i * 0.5);
            p.setTargetPosition(i * 0.1);
            p.setTimecode(-1);
            curve.addDataCurve(p);
        }
        QData first;
        first.setSamplerate(before * 160);
        first.setY(20000.0);
        first.setTimecode(20000);
        const auto start = std::chrono::steady_clock::now();
        curve.addDataCurve(first);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["points_moved"] = before;
}
BENCHMARK(BM_BackFillTwoSeconds)->UseManualTime()->Unit(benchmark::kMicrosecond);

#include "SandboxedBenchmarkMain.h"
