// The timecode receiver on its input's audio thread: frames executed per second on one core, and the
// one-time back-fill when the first decoded position meets the points taken before it.
// Runs inside a test sandbox, since choosing the format writes the configuration file.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <ctime>

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

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
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

// A run that went `seconds` (the argument) without a position at 600 points a second, the highest
// processing rate, then the point that carries the first one. The appends are timed in groups of
// the points one input callback holds (256 frames at 80 frames a point: at most 4), from the group
// with that point until the moved points are all stored: the worst group is what one callback of the
// input spends on the back-fill (the appends themselves included), and the iteration time. Timed on
// the thread's own CPU clock, so that the machine's other work does not count. The counters give the
// worst over all iterations and the first group of the last one.
static void BM_BackFillPerCallback(benchmark::State& state) {
    constexpr int POINTS_PER_CALLBACK = 4;
    constexpr int FRAMES_PER_POINT = 80;
    const int before = int(state.range(0) * 600);
    configure("serato_sideA_FullDVS", true);
    QCurve curve(ModelGraph::INPUT_A);
    const auto pointAt = [](int i, qint32 timecode) {
        QData p;
        p.setSamplerate(i * FRAMES_PER_POINT);
        p.setY(timecode < 0 ? i * 0.5 : double(timecode));
        p.setTargetPosition(i * 0.1);
        p.setTimecode(timecode);
        return p;
    };
    double first = 0.0;
    double worstEver = 0.0;
    int callbacks = 0;
    for (auto _ : state) {
        curve.reset();
        for (int i = 0; i < before; ++i)
            curve.addDataCurve(pointAt(i, -1));
        double worst = 0.0;
        callbacks = 0;
        int i = before;
        do {
            const double start = threadSeconds();
            for (int k = 0; k < POINTS_PER_CALLBACK; ++k, ++i)
                curve.addDataCurve(pointAt(i, 20000 + i));
            const double seconds = threadSeconds() - start;
            if (callbacks++ == 0)
                first = seconds;
            worst = std::max(worst, seconds);
        } while (curve.curveGlobal()->pendingBackFill() > 0);
        state.SetIterationTime(worst);
        worstEver = std::max(worstEver, worst);
    }
    state.counters["points_moved"] = before;
    state.counters["first_callback_us"] = first * 1e6;
    state.counters["worst_callback_us"] = worstEver * 1e6;
    state.counters["callbacks_to_store"] = callbacks;
}
BENCHMARK(BM_BackFillPerCallback)
    ->Arg(2)
    ->Arg(600)
    ->Arg(3600)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

#include "SandboxedBenchmarkMain.h"
