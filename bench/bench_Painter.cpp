// One frame of the graph painter rendered into a 1900 x 500 picture, as the display timer asks for it:
// the default view during a run, the widest and densest view during a run, a 30-minute run zoomed
// out to the whole curve (still, a wheel step, a pan step), two painters following a run tick by
// tick, and how long the input's appends wait on the curve's lock while a painter follows a run
// whose first hour had no position. Both curves (live and reference) are drawn, with phrasing
// areas, the crossfader bands, the waveform band and the vinyl disc.
#define QUILLON_BENCH_WIDGETS
#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <thread>

#include "SyntheticCurve.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/Phrasing.h"
#include "core/QCurve.h"
#include "core/QListDataCurve.h"
#include "core/QWav.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/WavPhrasing.h"
#include "gui/graph/QWPainter.h"

namespace {

constexpr double RATE = 48000.0;
// One display tick at 120 Hz.
constexpr double TICK = RATE / 120.0;

Singleton* registry() {
    return Singleton::instance();
}

void configure(double bpm, double pointsPerSecond, double beats) {
    Performance* performance = registry()->instancePerformance();
    performance->setProcessingBuffer(ModelGraph::INPUT_A, pointsPerSecond);
    RecordingLooperTraining* set = registry()->instanceLooperTraining();
    set->setMode(ModelActivatedMode::Training);
    set->setBpm(bpm);
    set->setFactorSpeed(bpm);
    set->setBpmSamplerate(ModelGraph::INPUT_A, performance->inputSample(ModelGraph::INPUT_A).get());
    registry()->instanceMode()->setDisplayBPM(beats);
    registry()->instancePhrasing()->setListPhrasing(
        ModelGraph::INPUT_A, {QPhrasing("Baby", {208, 0, 24}, 20.0, 110.0), QPhrasing("Chirp", {254, 194, 0}, 110.0, 200.0),
                              QPhrasing("Tear", {1, 194, 193}, 200.0, 300.0)});
    QList<QList<qint16>> channels(2);
    for (int i = 0; i < 96000; ++i)
        channels[0].append(qint16(12000 * std::sin(i * 0.01)));
    channels[1] = channels[0];
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A,
                                                      std::make_shared<const QWav>(int(RATE), 2, channels));
}

std::unique_ptr<QWPainter> makePainter() {
    auto painter = std::make_unique<QWPainter>(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    painter->resize(1900, 500);
    painter->refreshListManagePhrasing();
    painter->refreshVariable();
    painter->initGraph();
    return painter;
}

// A run in progress: `seconds` already recorded, then each frame one display tick of new points.
void running(benchmark::State& state, double bpm, double pointsPerSecond, double beats) {
    configure(bpm, pointsPerSecond, beats);
    Mode* mode = registry()->instanceMode();
    mode->modeRun_on();
    mode->modeCurrentTimerAutoresize_on();
    const std::unique_ptr<QWPainter> painter = makePainter();
    const double step = RATE / pointsPerSecond;
    const qint64 recorded = qint64(60.0 * pointsPerSecond);
    SyntheticCurve::fill(*painter->curve_Main(), 0, recorded, step);
    SyntheticCurve::fill(*painter->curve_Secondary(), 0, recorded * 2, step, 0.7);
    QImage image(painter->size(), QImage::Format_ARGB32_Premultiplied);
    qint64 next = recorded;
    double now = recorded * step;
    for (auto _ : state) {
        state.PauseTiming();
        now += TICK;
        const qint64 last = qint64(now / step);
        SyntheticCurve::fill(*painter->curve_Main(), next, last - next, step);
        next = last;
        registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, std::trunc(now));
        state.ResumeTiming();
        painter->render(&image);
    }
    mode->modeRun_off();
    mode->modeCurrentTimerAutoresize_off();
}

} // namespace

// 8 beats at 84 BPM and 300 points a second: about 1 700 points of each curve in view.
static void BM_FrameDefault(benchmark::State& state) {
    running(state, 84.0, 300.0, 8.0);
}
BENCHMARK(BM_FrameDefault)->Unit(benchmark::kMillisecond);

// 64 beats at 50 BPM and 600 points a second: about 46 000 points of each curve in view.
static void BM_FrameWorstCase(benchmark::State& state) {
    running(state, 50.0, 600.0, 64.0);
}
BENCHMARK(BM_FrameWorstCase)->Unit(benchmark::kMillisecond);

// 30 minutes at 300 points a second (540 000 points of each curve), the window set to the whole run.
enum class ThirtyMinutes { Still, ZoomStep, PanStep };

// Still: the display timer's frames while the view stays as it is. ZoomStep: every frame one wheel
// step in or out (a quarter of the window) around its middle. PanStep: zoomed in on half the run,
// every frame a drag by a tenth of the window one way or back. The last two walk every point in view
// again, as the first frame after such a step does.
static void thirtyMinutes(benchmark::State& state, ThirtyMinutes kind) {
    configure(84.0, 300.0, 8.0);
    const std::unique_ptr<QWPainter> painter = makePainter();
    const qint64 points = 30 * 60 * 300;
    SyntheticCurve::fill(*painter->curve_Main(), 0, points, 160.0);
    SyntheticCurve::fill(*painter->curve_Secondary(), 0, points, 160.0, 0.7);
    registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, points * 160.0);
    QImage image(painter->size(), QImage::Format_ARGB32_Premultiplied);
    const qint64 whole = qint64(points * 160.0);
    const qint64 half = whole / 2;
    if (kind == ThirtyMinutes::PanStep)
        painter->setXRange(half / 2, half / 2 + half);
    else
        painter->setXRange(0, whole);
    painter->render(&image);
    int frame = 0;
    for (auto _ : state) {
        const bool odd = ++frame % 2 != 0;
        if (kind == ThirtyMinutes::ZoomStep)
            painter->setXRange(odd ? whole / 8 : 0, odd ? whole - whole / 8 : whole);
        else if (kind == ThirtyMinutes::PanStep)
            painter->setXRange(half / 2 + (odd ? half / 10 : 0), half / 2 + half + (odd ? half / 10 : 0));
        painter->render(&image);
    }
}

static void BM_FrameThirtyMinutesZoomedOut(benchmark::State& state) {
    thirtyMinutes(state, ThirtyMinutes::Still);
}
BENCHMARK(BM_FrameThirtyMinutesZoomedOut)->Unit(benchmark::kMillisecond);

static void BM_FrameThirtyMinutesZoomStep(benchmark::State& state) {
    thirtyMinutes(state, ThirtyMinutes::ZoomStep);
}
BENCHMARK(BM_FrameThirtyMinutesZoomStep)->Unit(benchmark::kMillisecond);

static void BM_FrameThirtyMinutesPanStep(benchmark::State& state) {
    thirtyMinutes(state, ThirtyMinutes::PanStep);
}
BENCHMARK(BM_FrameThirtyMinutesPanStep)->Unit(benchmark::kMillisecond);

// An hour of points without a position (300 a second), then the first position: the back-fill moves
// the whole hour while an input thread goes on appending, one callback of 4 points every 2 ms, and the
// painter follows the run at 120 Hz on this thread. Reports the longest callback (its appends, which
// wait for the curve's lock whenever the painter holds it) until the back-fill is stored and a few
// frames after; the time per iteration is the whole scene.
static void BM_InputWaitDuringBackFill(benchmark::State& state) {
    configure(84.0, 300.0, 8.0);
    Mode* mode = registry()->instanceMode();
    mode->modeRun_on();
    mode->modeCurrentTimerAutoresize_on();
    const double step = 160.0;
    const qint64 hour = 3600 * 300;
    double worst = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::unique_ptr<QWPainter> painter = makePainter();
        QCurve& curve = *painter->curve_Main();
        for (qint64 i = 0; i < hour; ++i) {
            QData p = SyntheticCurve::point(i, step);
            p.setTimecode(-1);
            curve.addDataCurve(p);
        }
        QImage image(painter->size(), QImage::Format_ARGB32_Premultiplied);
        registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, hour * step);
        painter->render(&image);
        state.ResumeTiming();
        std::atomic<qint64> appended{hour};
        std::atomic<bool> stop{false};
        std::atomic<qint64> longest{0};
        std::atomic<bool> realtime{false};
        std::thread input([&] {
            // As an audio callback's thread, ahead of the machine's other work where the system lets it.
            sched_param priority{};
            priority.sched_priority = 50;
            realtime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
            qint64 next = hour;
            auto tick = std::chrono::steady_clock::now();
            while (!stop.load()) {
                const auto begin = std::chrono::steady_clock::now();
                for (int k = 0; k < 4; ++k)
                    curve.addDataCurve(SyntheticCurve::point(next++, step));
                const qint64 took = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::steady_clock::now() - begin)
                                        .count();
                longest.store(std::max(longest.load(), took));
                appended.store(next);
                tick += std::chrono::milliseconds(2);
                std::this_thread::sleep_until(tick);
            }
        });
        const QListDataCurve* list = curve.curveGlobal();
        int after = 0;
        auto frame = std::chrono::steady_clock::now();
        while (after < 30) {
            if (appended.load() > hour && list->pendingBackFill() == 0)
                ++after;
            registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, appended.load() * step);
            painter->render(&image);
            frame += std::chrono::microseconds(8333);
            std::this_thread::sleep_until(frame);
        }
        stop.store(true);
        input.join();
        worst = std::max(worst, longest.load() / 1e6);
        state.counters["realtime_input"] = realtime.load();
    }
    state.counters["worst_wait_ms"] = worst;
    mode->modeRun_off();
    mode->modeCurrentTimerAutoresize_off();
}
BENCHMARK(BM_InputWaitDuringBackFill)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Two painters, one per deck, following a run from its start for 10 seconds: each iteration is one
// display tick at 120 Hz in which both decks' live curves grow and both painters draw a frame. The
// time per tick counts the whole process's CPU, so Qt's raster threads are included.
static void BM_TwoPaintersFollowingRun(benchmark::State& state) {
    configure(84.0, 300.0, 8.0);
    Performance* performance = registry()->instancePerformance();
    performance->setProcessingBuffer(ModelGraph::INPUT_B, 300.0);
    registry()->instanceLooperTraining()->setBpmSamplerate(ModelGraph::INPUT_B,
                                                           performance->inputSample(ModelGraph::INPUT_B).get());
    registry()->instancePhrasing()->setListPhrasing(ModelGraph::INPUT_B,
                                                    registry()->instancePhrasing()->listPhrasing(ModelGraph::INPUT_A));
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_B,
                                                      registry()->instanceWavPhrasing()->wav(ModelGraph::INPUT_A));
    Mode* mode = registry()->instanceMode();
    mode->modeRun_on();
    mode->modeCurrentTimerAutoresize_on();
    const std::unique_ptr<QWPainter> painterA = makePainter();
    auto painterB = std::make_unique<QWPainter>(ModelGraph::INPUT_B, ModelGraph::INPUT_2);
    painterB->resize(1900, 500);
    painterB->refreshListManagePhrasing();
    painterB->refreshVariable();
    painterB->initGraph();
    const double step = RATE / 300.0;
    // The reference curves are loaded before the run starts.
    SyntheticCurve::fill(*painterA->curve_Secondary(), 0, 3000, step, 0.7);
    SyntheticCurve::fill(*painterB->curve_Secondary(), 0, 3000, step, 1.9);
    QImage imageA(painterA->size(), QImage::Format_ARGB32_Premultiplied);
    QImage imageB(painterB->size(), QImage::Format_ARGB32_Premultiplied);
    qint64 next = 0;
    double now = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        now += TICK;
        const qint64 last = qint64(now / step);
        SyntheticCurve::fill(*painterA->curve_Main(), next, last - next, step);
        SyntheticCurve::fill(*painterB->curve_Main(), next, last - next, step, 0.4);
        next = last;
        registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, std::trunc(now));
        registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_B, std::trunc(now));
        state.ResumeTiming();
        painterA->render(&imageA);
        painterB->render(&imageB);
    }
    mode->modeRun_off();
    mode->modeCurrentTimerAutoresize_off();
}
// 1200 ticks: the 10 seconds of the run.
BENCHMARK(BM_TwoPaintersFollowingRun)->Iterations(1200)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

#include "SandboxedBenchmarkMain.h"
