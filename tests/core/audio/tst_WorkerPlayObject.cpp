// The player's mix, driven by calling its output callback on plain buffers, plus one real stream
// on the test playback device and a hand-over run with the callback on another thread.
#include <QFile>
#include <QtTest>

#include <portaudio.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "AlsaTestConfig.h"
#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/InstCurve.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/QDeviceRegEx.h"
#include "core/QListDataCurve.h"
#include "core/QSample.h"
#include "core/QWav.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "core/audio/WorkerPlayObject.h"

namespace {

Singleton* registry() {
    return Singleton::instance();
}

std::shared_ptr<const QWav> sound(QList<qint16> left, QList<qint16> right = {}) {
    QList<QList<qint16>> lists{left};
    if (!right.isEmpty())
        lists.append(right);
    return std::make_shared<const QWav>(48000, int(lists.size()), lists);
}

QList<qint16> ramp(int size, int first, int step = 1) {
    QList<qint16> samples(size);
    for (int i = 0; i < size; ++i)
        samples[i] = qint16(first + i * step);
    return samples;
}

// A stereo file with `samples` on both channels.
QString wavFile(const QString& name, const QList<qint16>& samples, double rate = 48000.0) {
    QByteArray data;
    for (qint16 sample : samples)
        data += TestFiles::le(sample).repeated(2);
    const QString path = TestSandbox::root() + "/" + name;
    return TestFiles::write(path, TestFiles::wavFile(data, quint32(rate))) ? path : QString();
}

QData point(double degrees, double acceleration = 1.0, bool drawon = true) {
    QData p;
    p.setTargetPosition(degrees);
    p.setAcceleration(acceleration);
    p.setDrawon(drawon);
    return p;
}

// Points `perPoint` degrees apart at the speed that is: 0.75 degrees a point is nominal speed.
void fillCurve(QListDataCurve& curve, int points, double first, double perPoint, bool drawon = true) {
    for (int i = 0; i < points; ++i)
        curve.addQdata(point(first + i * perPoint, perPoint / 0.75, drawon));
}

// A worker wired as the controller window wires it, loaded on a descriptor without a device.
struct Player {
    explicit Player(int channels = 2, int pos = 0) : channels(channels) {
        QObject::connect(registry()->instanceMode(), &Mode::s_ModeGenerateSound, &worker,
                         &WorkerPlayObject::changeStatusGenerateDeck);
        worker.load(
            std::make_shared<const QSample>(ModelGraph::PLAYBACK, -1, QString(), 48000.0, channels, pos));
    }
    std::vector<qint16> render(int frames, int guard = 0) {
        std::vector<qint16> out(size_t(frames * channels + guard), 0x5555);
        WorkerPlayObject::paTestOutputCallback(nullptr, out.data(), frames, nullptr, 0, worker.context());
        return out;
    }
    // The left samples of a stereo render.
    std::vector<qint16> left(int frames) {
        std::vector<qint16> out = render(frames), l;
        for (int f = 0; f < frames; ++f)
            l.push_back(out[size_t(f * channels)]);
        return l;
    }
    WorkerPlayObject worker;
    int channels;
};

bool silent(const std::vector<qint16>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](qint16 s) { return s == 0; });
}

// 76800 samples: a move of 0.75 degrees is exactly 160 samples, one point at 160 frames per point.
constexpr int DECK_SIZE = 76800;
// No sample is 0, so a deck that plays from a wrong place is never taken for a silent one; neighbours
// lie 3 apart, so a blend of two shows after truncation.
qint16 deckLeft(qint64 i) {
    return qint16(1 + 3 * i % 32767);
}
qint16 deckRight(qint64 i) {
    return qint16(-1 - 3 * i % 32767);
}
std::shared_ptr<const QWav> deckSound() {
    QList<qint16> l(DECK_SIZE), r(DECK_SIZE);
    for (int i = 0; i < DECK_SIZE; ++i)
        l[i] = deckLeft(i), r[i] = deckRight(i);
    return sound(l, r);
}

// Deck A on the deck sound and 40 points from 0 degrees at nominal speed.
void loadDeckA(QListDataCurve& curve) {
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, deckSound());
    fillCurve(curve, 40, 0.0, 0.75);
}

} // namespace

class TestWorkerPlayObject : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        AlsaTestConfig::silenceAlsa();
        registry()->instanceCurve()->setCurveMain(ModelGraph::INPUT_A, &m_curve[0]);
        registry()->instanceCurve()->setCurveMain(ModelGraph::INPUT_B, &m_curve[1]);
    }

    void init() {
        Performance* performance = registry()->instancePerformance();
        Setting* setting = registry()->instanceSetting();
        for (ModelGraph::EnumGraph g : {ModelGraph::INPUT_A, ModelGraph::INPUT_B}) {
            performance->setInputBuffer(g, 256);
            performance->setProcessingBuffer(g, 300);
            registry()->instanceWavPhrasing()->setWavPhrasing(g, nullptr);
        }
        performance->setOutputBuffer(256);
        for (auto set : {&Setting::setParamVolumeDeck, &Setting::setParamVolumeRecord,
                         &Setting::setParamVolumeLooper, &Setting::setParamVolumeMetronum})
            (setting->*set)("100");
        setting->setParamGenerateCutOffSound("0");
        m_curve[0].clear();
        m_curve[1].clear();
    }

    void looperOutput_data() {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("pair"); // -1: nothing is written
        QTest::addColumn<qint16>("sample");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<qint16>("out");
        auto row = [](const char* tag, int channels, int pos, int pair, qint16 sample = 1000,
                      const char* volume = "100", qint16 out = 1000) {
            QTest::newRow(tag) << channels << pos << pair << sample << QString(volume) << out;
        };
        row("stereo", 2, 0, 0);
        row("4 channels, pos 2", 4, 2, 1);
        row("4 channels, pos 3", 4, 3, 1);
        row("3 channels, pos 0", 3, 0, 0);
        row("3 channels, incomplete pair", 3, 2, -1);
        row("pair past the frame", 2, 2, -1);
        row("mono", 1, 0, -1);
        row("negative pos", 4, -2, -1);
        row("40000 clamps", 2, 0, 0, 20000, "200", 32767);
        row("-40000 clamps", 2, 0, 0, -20000, "200", -32768);
        row("1.9 truncates", 2, 0, 0, 19, "10", 1);
        row("-1.9 truncates", 2, 0, 0, -19, "10", -1);
    }

    // Exactly `channels` samples a frame, the looper's on the pair, zeros elsewhere, nothing past the
    // buffer (a guard after it).
    void looperOutput() {
        QFETCH(int, channels);
        QFETCH(int, pos);
        QFETCH(int, pair);
        QFETCH(qint16, sample);
        QFETCH(QString, volume);
        QFETCH(qint16, out);
        registry()->instanceSetting()->setParamVolumeLooper(volume);
        Player player(channels, pos);
        player.worker.updateWavLooper(wavFile("looper.wav", QList<qint16>(64, sample)));
        player.worker.activatedOnTimeLooper();
        const std::vector<qint16> written = player.render(16, 8);
        for (size_t i = 0; i < written.size(); ++i) {
            const bool played = pair >= 0 && int(i % channels) / 2 == pair;
            QCOMPARE(written[i], qint16(i >= size_t(16 * channels) ? 0x5555 : played ? out : 0));
        }
    }

    void looperPlaysOncePerActivation() {
        Player player;
        player.worker.updateWavLooper(wavFile("looper.wav", ramp(1000, 1)));
        player.worker.activatedOnTimeLooper();
        std::vector<qint16> l = player.left(500);
        player.worker.restartSound(); // while playing: changes nothing
        const std::vector<qint16> rest = player.left(700);
        l.insert(l.end(), rest.begin(), rest.end());
        for (int f = 0; f < 1200; ++f)
            QCOMPARE(l[size_t(f)], qint16(f < 999 ? f + 1 : 0));
        player.worker.activatedOnTimeLooper();
        QCOMPARE(player.left(3), (std::vector<qint16>{1, 2, 3}));
        // A deactivation cancels the activations still pending, as if they came first; one asked after
        // it stands.
        player.worker.activatedOnTimeLooper();
        player.worker.init(false);
        QVERIFY(silent(player.left(3)));
        player.worker.activatedOnTimeLooper();
        QCOMPARE(player.left(3), (std::vector<qint16>{1, 2, 3}));
    }

    // 24000 Hz on a 48000 Hz output: factor 0.5, position k / 2 at frame k, so frame 21 is at 10.5.
    void slowFactorInterpolates() {
        Player player;
        player.worker.updateWavSoundA(wavFile("slow.wav", ramp(64, 0, 100), 24000.0));
        player.worker.init(false);
        player.worker.activatedOnTimeSoundA();
        const std::vector<qint16> l = player.left(120);
        for (int f = 0; f < 120; ++f)
            QCOMPARE(l[size_t(f)], qint16(50 * f));
    }

    void deckFollowsCurve_data() {
        QTest::addColumn<int>("deck");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("perPoint");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<int>("start");     // sound index of the first frame
        QTest::addColumn<int>("direction"); // 0: silent; the speed is perPoint / 0.75
        // 48 kHz at 300 points a second: 160 frames a point. With 256-frame input buffers the lag is 2
        // points: re-anchored behind the newest of 40, the move from point 36 to point 37.
        QTest::newRow("forward") << 0 << 0.0 << 0.75 << "" << 5760 << 1;
        QTest::newRow("backward") << 0 << 180.0 << -0.75 << "" << 32640 << -1;
        QTest::newRow("forward through 360") << 0 << 332.25 << 0.75 << "" << 76640 << 1;
        QTest::newRow("stopped platter") << 0 << 90.0 << 0.0 << "" << 0 << 0;
        QTest::newRow("deck B") << 1 << 0.0 << 0.75 << "" << 5760 << 1;
        // Below nominal speed neighbouring samples are blended.
        QTest::newRow("half speed") << 0 << 0.0 << 0.375 << "" << 2880 << 1;
        QTest::newRow("half speed backward") << 1 << 180.0 << -0.375 << "" << 35520 << -1;
        QTest::newRow("drawon off") << 0 << 0.0 << 0.75 << "drawon off" << 0 << 0;
        QTest::newRow("drawon off, cut-off") << 0 << 0.0 << 0.75 << "drawon off, cut-off" << 5760 << 1;
        QTest::newRow("deck B, drawon off") << 1 << 0.0 << 0.75 << "drawon off" << 0 << 0;
        QTest::newRow("deck B, drawon off, cut-off")
            << 1 << 0.0 << 0.75 << "drawon off, cut-off" << 5760 << 1;
        QTest::newRow("1024-frame input buffer: lag 7")
            << 0 << 0.0 << 0.75 << "input buffer 1024" << 4960 << 1;
        QTest::newRow("no processing buffer") << 0 << 0.0 << 0.75 << "no processing buffer" << 0 << 0;
    }

    // Three points of 160 frames: at nominal speed the sound itself, one sample per frame.
    void deckFollowsCurve() {
        QFETCH(int, deck);
        QFETCH(double, first);
        QFETCH(double, perPoint);
        QFETCH(QString, condition);
        QFETCH(int, start);
        QFETCH(int, direction);
        const ModelGraph::EnumGraph g = deck ? ModelGraph::INPUT_B : ModelGraph::INPUT_A;
        registry()->instanceSetting()->setParamGenerateCutOffSound(condition.endsWith("cut-off") ? "1" : "0");
        if (condition == "no processing buffer")
            registry()->instancePerformance()->setProcessingBuffer(g, 0.0);
        if (condition == "input buffer 1024")
            registry()->instancePerformance()->setInputBuffer(g, 1024.0);
        registry()->instanceWavPhrasing()->setWavPhrasing(g, deckSound());
        fillCurve(m_curve[deck], 40, first, perPoint, !condition.startsWith("drawon off"));
        Player player;
        player.worker.updateWav();
        const std::vector<qint16> out = player.render(480);
        const double speed = std::abs(perPoint) / 0.75;
        for (int f = 0; f < 480; ++f) {
            const double p = std::fmod(start + direction * speed * f + DECK_SIZE, double(DECK_SIZE));
            const qint64 i = qint64(p);
            const double w = speed < 1.0 ? p - double(i) : 0.0;
            const auto blend = [&](qint16 (*side)(qint64)) {
                return direction ? qint16((1.0 - w) * side(i) + w * side((i + 1) % DECK_SIZE)) : qint16(0);
            };
            QCOMPARE(out[size_t(2 * f)], blend(deckLeft));
            QCOMPARE(out[size_t(2 * f + 1)], blend(deckRight));
        }
    }

    // 36000 samples, gain 1: sample i is i - 18000. Its bounds are 3600 and 32400.
    void movementThroughSoundEndAndRelaunch() {
        registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, sound(ramp(36000, -18000)));
        for (double degrees : {0.0, 0.0, 350.0, 10.0, 20.0, 30.0})
            m_curve[0].addQdata(point(degrees));
        Player player;
        player.worker.updateWav();
        player.worker.updateWavLooper(wavFile("relaunch.wav", ramp(1000, 1)));
        player.worker.activatedOnTimeLooper();
        // Point 3 (10 degrees) after point 2 (350): from 35000 upwards through the end, 2000 samples,
        // with the looper from 1.
        const std::vector<qint16> l = player.left(160);
        for (int f = 0; f < 160; ++f)
            QCOMPARE(l[size_t(f)], qint16(int(std::fmod(35000 + 12.5 * f, 36000.0)) - 18000 + f + 1));
        // A relaunch keeps the bounds; the deck starts again behind the newest point, the looper from
        // its start and still active.
        player.worker.initRelaunch();
        QCOMPARE(player.left(2), (std::vector<qint16>{35000 - 18000 + 1, 35012 - 18000 + 2}));
    }

    void deckVolumeZeroStopsGenerating() {
        loadDeckA(m_curve[0]);
        Player player;
        player.worker.updateWav();
        registry()->instanceSetting()->setParamVolumeDeck("0");
        player.worker.updateVolume();
        QVERIFY(!registry()->instanceMode()->modeGenerateSound());
        QVERIFY(!player.worker.setup().deck[0].generate && !player.worker.setup().deck[1].generate);
        QVERIFY(silent(player.render(480)));
        registry()->instanceSetting()->setParamVolumeDeck("100");
        player.worker.updateVolume();
        // The idle deck kept its place behind the newest point.
        QCOMPARE(player.render(1)[0], deckLeft(5760));
    }

    void hostileSounds() {
        fillCurve(m_curve[0], 40, 0.0, 0.75);
        Player player;
        // Gain 32767 / the largest sample in whole numbers; 1 when that is not above 0.
        for (auto [peak, played] : {std::pair<qint16, qint16>{8000, 32000}, {-5, -5}}) {
            registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A,
                                                              sound(QList<qint16>(DECK_SIZE, peak)));
            player.worker.updateWav();
            QCOMPARE(player.render(1)[0], played);
        }
        // An empty scratch sound, an empty looper and an unreadable file: silence, nothing read.
        registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A,
                                                          std::make_shared<const QWav>());
        player.worker.updateWav();
        player.worker.updateWavLooper(wavFile("empty.wav", {}));
        player.worker.updateWavSoundA(TestSandbox::root() + "/missing.wav");
        player.worker.activatedOnTimeLooper();
        player.worker.activatedOnTimeSoundA();
        QVERIFY(silent(player.render(256)));
        // A right row shorter than the left one is read only as far as both go.
        player.worker.updateWavLooper(QString());
        registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A,
                                                          sound(ramp(100, 1), ramp(10, 1)));
        player.worker.updateWav();
        QCOMPARE(player.worker.setup().deck[0].wav.size(), 10);
        player.render(480);
    }

    void stallResumeAndReset() {
        loadDeckA(m_curve[0]);
        Player player;
        player.worker.updateWav();
        // Past the newest point (39, 29.25 degrees) the deck goes on in its direction for 80 frames...
        std::vector<qint16> l = player.left(560);
        for (int f = 0; f < 560; ++f)
            QCOMPARE(l[size_t(f)], deckLeft(5760 + f));
        QVERIFY(player.worker.context()->deck(0).stalled());
        // ... so the next point's movement (6240 to 6400) starts 80 samples further on and 80 frames into
        // it: 0.5 a frame from 6360; the point after it from its own start again.
        for (int i = 40; i < 43; ++i)
            m_curve[0].addQdata(point(0.75 * i));
        l = player.left(240);
        for (int f = 0; f < 240; ++f)
            QCOMPARE(l[size_t(f)], deckLeft(f < 80 ? 6360 + f / 2 : 6400 + f - 80));
        QVERIFY(!player.worker.context()->deck(0).stalled());
        player.render(2000); // well past the newest point
        QVERIFY(player.worker.context()->deck(0).stalled());
        // Between runs the curve starts again, shorter than where the deck is: from point 2 (91.5
        // degrees) on, sound index 19520.
        m_curve[0].clear();
        fillCurve(m_curve[0], 6, 90.0, 0.75);
        QCOMPARE(player.left(2), (std::vector<qint16>{deckLeft(19520), deckLeft(19521)}));
    }

    void noStreamNoPortAudio() {
        Player player;
        player.worker.play();
        QVERIFY(!player.worker.isPlaying());
        player.worker.stop();
        // A device index that no longer names the device opens nothing and leaves PortAudio terminated.
        player.worker.load(std::make_shared<const QSample>(ModelGraph::PLAYBACK, 0, "gone", 48000.0, 2, 0));
        player.worker.play();
        QVERIFY(!player.worker.isPlaying());
        QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
    }

    void realStream() {
        const QStringList listed = registry()
                                       ->devicesAudio(ModelAudioDeviceInfo::AUDIO_OUTPUT)
                                       .filter(AlsaTestConfig::PLAYBACK_DEVICE);
        QVERIFY(!listed.isEmpty());
        WorkerPlayObject worker;
        worker.updateWavLooper(wavFile("stream.wav", ramp(1000, 1)));
        const auto sample =
            std::make_shared<const QSample>(ModelGraph::PLAYBACK, QDeviceRegEx(listed[0]).id(),
                                            AlsaTestConfig::PLAYBACK_DEVICE, 48000.0, 2, 0);
        worker.load(sample);
        worker.load(sample); // closes the first stream before opening again
        worker.activatedOnTimeLooper();
        worker.play();
        QVERIFY(worker.isPlaying());
        // PortAudio writes 768 frames of silence first.
        constexpr int PRIMING = 768;
        constexpr qint64 FRAMES = PRIMING + 1000 + 256;
        QFile played(TestSandbox::alsaPlaybackFile());
        QTRY_VERIFY_WITH_TIMEOUT(played.size() >= 4 * FRAMES, 20000);
        worker.stop();
        QVERIFY(!worker.isPlaying());
        QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
        QVERIFY(played.open(QIODevice::ReadOnly));
        QByteArray expected(4 * PRIMING, '\0');
        for (qint16 k = 1; k < 1000; ++k)
            expected += TestFiles::le(k).repeated(2);
        expected += QByteArray(4 * FRAMES - expected.size(), '\0');
        QCOMPARE(played.read(4 * FRAMES), expected);
    }

    // Under ThreadSanitizer: no race and no use after free while the GUI thread swaps sounds, changes
    // volumes and relaunches, the input thread adds points and the audio thread renders.
    void handOverWhileCallbackRuns() {
        loadDeckA(m_curve[0]);
        registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_B, sound(ramp(4000, 0)));
        Player player;
        player.worker.updateWav();
        const QString looper[2] = {wavFile("a.wav", ramp(3000, 1)), wavFile("b.wav", ramp(500, 7))};
        std::atomic<bool> done{false};
        std::atomic<int> buffers{0};
        std::thread audio([&] {
            for (; !done.load(); buffers.fetch_add(1))
                player.render(256);
        });
        std::thread input([&] {
            for (int i = 40; !done.load() && i < 200000; ++i)
                m_curve[0].addQdata(point(0.75 * i));
        });
        for (int i = 0; i < 300; ++i) {
            player.worker.updateWavLooper(looper[i % 2]);
            player.worker.activatedOnTimeLooper();
            player.worker.updateWavSoundB(looper[(i + 1) % 2]);
            player.worker.activatedOnTimeSoundB();
            registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A,
                                                              i % 2 ? deckSound() : nullptr);
            player.worker.updateWav();
            player.worker.changeStatusGenerateDeck(i % 3 != 0);
            if (i % 30 == 0) {
                registry()->instanceSetting()->setParamVolumeLooper(QString::number(i % 100));
                player.worker.updateVolume();
                player.worker.initRelaunch();
            }
        }
        done.store(true);
        audio.join();
        input.join();
        QVERIFY(buffers.load() > 0);
    }

private:
    QListDataCurve m_curve[2] = {QListDataCurve(ModelGraph::INPUT_A), QListDataCurve(ModelGraph::INPUT_B)};
};

QUILLON_TEST_MAIN(TestWorkerPlayObject)
#include "tst_WorkerPlayObject.moc"
