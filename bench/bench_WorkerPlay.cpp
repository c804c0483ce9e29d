// The player's output callback: one 256-frame buffer at 48 kHz with both decks following live
// 600-points-per-second curves and all four sound channels playing.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "core/InstCurve.h"
#include "core/ManageWAV.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/QListDataCurve.h"
#include "core/QSample.h"
#include "core/QWav.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "core/audio/WorkerPlayObject.h"

namespace {

constexpr int RATE = 48000;
constexpr int FRAMES = 256;
constexpr int POINTS_PER_SECOND = 600;
constexpr int FRAMES_PER_POINT = RATE / POINTS_PER_SECOND;

std::shared_ptr<const QWav> noiseSound(int frames, unsigned seed) {
    std::mt19937 random(seed);
    QList<QList<qint16>> lists(2, QList<qint16>(frames));
    for (QList<qint16>& list : lists) {
        for (qint16& s : list)
            s = qint16(int(random() % 20000) - 10000);
    }
    return std::make_shared<const QWav>(RATE, 2, lists);
}

// Ten seconds of stereo noise as a WAV file, the way the channels' sounds are given.
QString noiseFile(const QTemporaryDir& dir, const QString& name, unsigned seed) {
    std::mt19937 random(seed);
    ManageWAV recording;
    for (int i = 0; i < 2 * 10 * RATE; ++i) {
        const qint16 s = qint16(int(random() % 20000) - 10000);
        recording.addData(&s);
    }
    const QString path = dir.filePath(name);
    const QSample sample(ModelGraph::MASTER, -1, QString(), RATE, 2, 0);
    recording.createWAVFile(path, &sample);
    return path;
}

// A platter swinging between half and one and a half times nominal speed, so the deck both blends
// neighbouring samples (slow) and reads single ones (fast).
class Platter {
public:
    QData next() {
        const double speed = 1.0 + 0.5 * std::sin(m_point++ * 0.01);
        m_angle += speed * 360.0 / 1.8 / POINTS_PER_SECOND;
        QData p;
        p.setSamplerate(m_point * FRAMES_PER_POINT);
        p.setTargetPosition(m_angle);
        p.setAcceleration(speed);
        p.setDrawon(true);
        return p;
    }

private:
    int m_point = 0;
    double m_angle = 0.0;
};

} // namespace

static void BM_OutputCallback(benchmark::State& state) {
    // The settings file lives in the data folder beside the build; with its folder present the
    // defaults (looper, recorded sounds and metronome at 50) are written there.
    QDir().mkpath(Path::joinInput(QString()));
    Singleton* registry = Singleton::instance();
    Performance* performance = registry->instancePerformance();
    for (ModelGraph::EnumGraph g : {ModelGraph::INPUT_A, ModelGraph::INPUT_B}) {
        performance->setInputBuffer(g, FRAMES);
        performance->setProcessingBuffer(g, POINTS_PER_SECOND);
    }
    performance->setOutputBuffer(FRAMES);
    registry->instanceSetting()->setParamVolumeDeck("50");
    QListDataCurve curves[2] = {QListDataCurve(ModelGraph::INPUT_A), QListDataCurve(ModelGraph::INPUT_B)};
    registry->instanceCurve()->setCurveMain(ModelGraph::INPUT_A, &curves[0]);
    registry->instanceCurve()->setCurveMain(ModelGraph::INPUT_B, &curves[1]);
    registry->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, noiseSound(10 * RATE, 1));
    registry->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_B, noiseSound(10 * RATE, 2));
    Platter platters[2];
    for (int i = 0; i < 10; ++i) {
        for (int d = 0; d < 2; ++d)
            curves[d].addQdata(platters[d].next());
    }

    WorkerPlayObject worker;
    QObject::connect(registry->instanceMode(), &Mode::s_ModeGenerateSound, &worker,
                     &WorkerPlayObject::changeStatusGenerateDeck);
    worker.load(std::make_shared<const QSample>(ModelGraph::PLAYBACK, -1, QString(), RATE, 2, 0));
    worker.updateVolume();
    worker.updateWav();
    QTemporaryDir dir;
    worker.updateWavLooper(noiseFile(dir, "looper.wav", 3));
    worker.updateWavSoundA(noiseFile(dir, "a.wav", 4));
    worker.updateWavSoundB(noiseFile(dir, "b.wav", 5));
    worker.updateWavMetronum(noiseFile(dir, "metronome.wav", 6));

    std::vector<qint16> out(2 * FRAMES);
    double seconds = 0.0;
    qint64 played = 0;
    for (auto _ : state) {
        // The inputs' receivers append on their own threads; here between buffers, outside the
        // timing, a few points ahead of the output as a live curve is.
        while (curves[0].size() < played / FRAMES_PER_POINT + 10) {
            for (int d = 0; d < 2; ++d)
                curves[d].addQdata(platters[d].next());
        }
        played += FRAMES;
        // A finished channel starts again, so all four always play.
        worker.activatedOnTimeLooper();
        worker.activatedOnTimeSoundA();
        worker.activatedOnTimeSoundB();
        worker.activatedOnTimeMetronum();
        const auto start = std::chrono::steady_clock::now();
        WorkerPlayObject::paTestOutputCallback(nullptr, out.data(), FRAMES, nullptr, 0, worker.context());
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(out.data());
        const double elapsed = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    const PlayContext& context = *worker.context();
    if (!context.deck(0).active() || !context.deck(1).active() || context.deck(0).stalled())
        state.SkipWithError("a deck did not follow its curve");
    state.counters["buffer_percent"] = 100.0 * seconds / double(state.iterations()) / (double(FRAMES) / RATE);
}
BENCHMARK(BM_OutputCallback)->UseManualTime()->Unit(benchmark::kMicrosecond);

#include "SandboxedBenchmarkMain.h"
