// One frame of the graph painter rendered into a 1900 x 500 picture, as the display timer asks for it:
// the default view during a run, the widest and densest view during a run, a 30-minute run zoomed
// out to the whole curve, and two painters following a run tick by tick. Both curves (live and
// reference) are drawn, with phrasing areas, the crossfader bands, the waveform band and the vinyl disc.
#define QUILLON_BENCH_WIDGETS
#include <benchmark/benchmark.h>

#include <QImage>

#include <cmath>
#include <memory>

#include "SyntheticCurve.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/Phrasing.h"
#include "core/QCurve.h"
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
// `still`: the display timer's frames while the view stays as it is. Otherwise the window moves by a
// sample every frame, so each frame walks every point again, as the first frame after a zoom step does.
static void thirtyMinutes(benchmark::State& state, bool still) {
    configure(84.0, 300.0, 8.0);
    const std::unique_ptr<QWPainter> painter = makePainter();
    const qint64 points = 30 * 60 * 300;
    SyntheticCurve::fill(*painter->curve_Main(), 0, points, 160.0);
    SyntheticCurve::fill(*painter->curve_Secondary(), 0, points, 160.0, 0.7);
    registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, points * 160.0);
    QImage image(painter->size(), QImage::Format_ARGB32_Premultiplied);
    painter->setXRange(0, qint64(points * 160.0));
    painter->render(&image);
    int frame = 0;
    for (auto _ : state) {
        if (!still)
            painter->setXRange(++frame % 2, qint64(points * 160.0));
        painter->render(&image);
    }
}

static void BM_FrameThirtyMinutesZoomedOut(benchmark::State& state) {
    thirtyMinutes(state, true);
}
BENCHMARK(BM_FrameThirtyMinutesZoomedOut)->Unit(benchmark::kMillisecond);

static void BM_FrameThirtyMinutesZoomStep(benchmark::State& state) {
    thirtyMinutes(state, false);
}
BENCHMARK(BM_FrameThirtyMinutesZoomStep)->Unit(benchmark::kMillisecond);

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
