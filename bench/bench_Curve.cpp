// Appending to a curve as the timecode receiver does, and searching a long curve as the painter does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "core/QCurve.h"
#include "core/QListDataCurve.h"

namespace {

QData point(int i) {
    QData p;
    p.setSamplerate(i * 160);
    p.setY(i * 0.01);
    p.setTargetPosition(i * 1.2);
    p.setRotation(ModelRotation::FORWARD);
    p.setDrawon(true);
    return p;
}

// Frames 160 apart with a jitter of a few frames, as a 44.1 kHz input with a fractional step gives.
void fillIrregular(QListDataCurve& list, int count) {
    std::mt19937 random(1);
    for (int i = 0; i < count; ++i) {
        QData p = point(i);
        p.setSamplerate(i * 160 + int(random() % 7));
        list.addQdata(p);
    }
}

constexpr int TEN_MILLION = 10'000'000;

// The mean, the largest and two high percentiles of timings in nanoseconds.
void reportSpread(benchmark::State& state, const std::vector<float>& ns) {
    double sum = 0;
    for (float v : ns)
        sum += v;
    std::vector<float> sorted = ns;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    state.counters["mean_ns"] = sum / n;
    state.counters["p99.9_ns"] = sorted[n - n / 1000];
    state.counters["p99.99_ns"] = sorted[n - n / 10000];
    state.counters["max_ns"] = sorted.back();
    state.counters["max_over_mean"] = sorted.back() / (sum / n);
}

} // namespace

// 10 million appends through QCurve::addDataCurve, each timed on its own (the two clock reads
// included), so that a slow append shows against the mean.
static void BM_AppendTenMillion(benchmark::State& state) {
    std::vector<float> ns(TEN_MILLION);
    for (auto _ : state) {
        QCurve curve(ModelGraph::INPUT_A);
        for (int i = 0; i < TEN_MILLION; ++i) {
            const QData p = point(i);
            const auto start = std::chrono::steady_clock::now();
            curve.addDataCurve(p);
            const auto end = std::chrono::steady_clock::now();
            ns[i] = std::chrono::duration<float, std::nano>(end - start).count();
        }
        benchmark::DoNotOptimize(curve.curveGlobal()->size());
    }
    reportSpread(state, ns);
}
BENCHMARK(BM_AppendTenMillion)->Iterations(1)->Unit(benchmark::kMillisecond);

// The floor under the figures above: the same number of 48-byte copies into fresh memory, timed the
// same way. Its largest times are the system's (first touch of a page, preemption), not the list's.
static void BM_PlainWritesTenMillion(benchmark::State& state) {
    std::vector<float> ns(TEN_MILLION);
    for (auto _ : state) {
        // Untouched memory, as a new segment is.
        auto* memory = static_cast<QData*>(::operator new(sizeof(QData) * TEN_MILLION));
        for (int i = 0; i < TEN_MILLION; ++i) {
            const QData p = point(i);
            const auto start = std::chrono::steady_clock::now();
            std::memcpy(static_cast<void*>(&memory[i]), &p, sizeof p);
            benchmark::ClobberMemory();
            const auto end = std::chrono::steady_clock::now();
            ns[i] = std::chrono::duration<float, std::nano>(end - start).count();
        }
        ::operator delete(memory);
    }
    reportSpread(state, ns);
}
BENCHMARK(BM_PlainWritesTenMillion)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same appends without the clock around each, for the plain throughput.
static void BM_AppendThroughput(benchmark::State& state) {
    const int count = int(state.range(0));
    for (auto _ : state) {
        QCurve curve(ModelGraph::INPUT_A);
        for (int i = 0; i < count; ++i)
            curve.addDataCurve(point(i));
        benchmark::DoNotOptimize(curve.curveGlobal()->size());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AppendThroughput)->Arg(TEN_MILLION)->Iterations(3)->Unit(benchmark::kMillisecond);

// Searches from the guess a processing step gives, as QCurve makes it: arg 0 the number of points,
// arg 1 the assumed step in frames while the points lie about 160 apart (160 right, 1600 and 16 ten
// times off). Both directions per item, over frames spread across the whole curve.
static void BM_SearchFromGuess(benchmark::State& state) {
    const int count = int(state.range(0));
    const double step = double(state.range(1));
    QListDataCurve list;
    fillIrregular(list, count);
    std::mt19937 random(2);
    std::vector<qint32> frames(4096);
    for (qint32& s : frames)
        s = 1 + qint32(random() % (qint64(count) * 160));
    size_t k = 0;
    for (auto _ : state) {
        const qint32 s = frames[k++ & 4095];
        const int guess = int(s / step);
        benchmark::DoNotOptimize(list.indexAtOrAfter(s, guess));
        benchmark::DoNotOptimize(list.indexAtOrBefore(s, guess));
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetComplexityN(count);
}
BENCHMARK(BM_SearchFromGuess)
    ->ArgsProduct({{1 << 10, 1 << 14, 1 << 17, 1 << 20}, {160}})
    ->ArgsProduct({{1 << 10, 1 << 14, 1 << 17, 1 << 20}, {1600}})
    ->ArgsProduct({{1 << 10, 1 << 14, 1 << 17, 1 << 20}, {16}});

// Copying the newest few points, as the painter does each frame and the player each callback.
static void BM_CopyNewest(benchmark::State& state) {
    QListDataCurve list;
    fillIrregular(list, 1 << 20);
    std::vector<QData> out(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            list.copyRange(list.size() - int(state.range(0)), int(state.range(0)), out.data()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CopyNewest)->Arg(2)->Arg(20);
