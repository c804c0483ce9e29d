// The waveform band's pictures for a three-minute 44.1 kHz sound under twelve phrasing areas:
// the whole sound once, then each area's samples once more.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>
#include <memory>

#include "core/QWav.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "gui/graph/QWPainterWav.h"

namespace {

constexpr int RATE = 44100;
constexpr int SAMPLES = 3 * 60 * RATE;
constexpr int AREAS = 12;

void BM_Refresh(benchmark::State& state) {
    QList<qint16> samples(SAMPLES);
    for (int i = 0; i < SAMPLES; ++i)
        samples[i] = qint16(20000.0 * std::sin(i * 0.031) * std::sin(i * 0.00001));
    Singleton::instance()->instanceWavPhrasing()->setWavPhrasing(
        ModelGraph::INPUT_A, std::make_shared<const QWav>(RATE, 1, QList<QList<qint16>>{samples}));
    QWPainterWav::Segments segments;
    for (int k = 0; k < AREAS; ++k)
        segments.append(
            {{k * (SAMPLES / AREAS), (k + 1) * (SAMPLES / AREAS)}, QColor::fromHsv(k * 30, 255, 220)});
    QWPainterWav wav(ModelGraph::INPUT_A);
    for (auto _ : state) {
        wav.refresh(&segments);
        benchmark::DoNotOptimize(wav.fullImage().constBits());
    }
    if (wav.areaImageCount() != AREAS || wav.listDataDraw().size() != 2700)
        state.SkipWithError("the pictures were not all drawn");
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond);

} // namespace

#define QUILLON_BENCH_WIDGETS
#include "SandboxedBenchmarkMain.h"
