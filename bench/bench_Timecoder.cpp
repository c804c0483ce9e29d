// The timecode decoder: frames decoded per second on one core, and building the largest table.
#include <benchmark/benchmark.h>

#include "TimecodeSignal.h"
#include "core/timecode/Timecoder.h"

// One format: the receiver's per-frame calls (submit one frame, then position) over ten seconds of
// a 48 kHz record playing forwards at normal speed.
static void BM_SubmitPosition(benchmark::State& state) {
    Timecoder timecoder;
    Definition def = timecoder.findDefinition(timecoder.definitions()[state.range(0)].name());
    state.SetLabel(def.name().toStdString());
    const unsigned rate = 48000;
    TimecodeSignal signal(def, rate);
    signal.setStart(def.length() / 4);
    signal.move(10.0, 1.0);
    signal.render();
    const qint16* pcm = signal.pcm().constData();
    const qint64 frames = signal.frameCount();
    QTimecoder tc;
    for (auto _ : state) {
        Timecoder::initialization(&tc, &def, rate, false);
        qint64 valid = 0;
        double when = 0.0;
        for (qint64 i = 0; i < frames; ++i) {
            Timecoder::submit(&tc, pcm + 2 * i, 1);
            valid += Timecoder::position(&tc, &when) >= 0;
        }
        benchmark::DoNotOptimize(valid);
        benchmark::DoNotOptimize(when);
    }
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_SubmitPosition)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// traktor_sideB, 2,110,000 positions, from a fresh table each time.
static void BM_BuildLookup(benchmark::State& state) {
    const Definition format = Timecoder().definitions()[4];
    for (auto _ : state) {
        Definition def = format;
        def.setLut(std::make_shared<Lut>());
        benchmark::DoNotOptimize(Timecoder::buildLookup(&def));
    }
}
BENCHMARK(BM_BuildLookup)->Unit(benchmark::kMillisecond);
