// The player's mix, driven by calling its output callback on plain buffers, plus one real stream
// on the test playback device and a hand-over run with the callback on another thread.
#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <portaudio.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "AlsaTestConfig.h"
#include "TestSandbox.h"
#include "core/InstCurve.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/QListDataCurve.h"
#include "core/QSample.h"
#include "core/QWav.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "core/audio/WorkerPlayObject.h"

class TestWorkerPlayObject : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void outputLayout_data();
    void outputLayout();
    void clampAndTruncate_data();
    void clampAndTruncate();
    void looperPlaysOncePerActivation();
    void slowFactorInterpolates();
    void deckTiming_data();
    void deckTiming();
    void deckFollowsCurve_data();
    void deckFollowsCurve();
    void movementThroughSoundEnd();
    void drawonMutesUnlessCutOff_data();
    void drawonMutesUnlessCutOff();
    void deckVolumeZeroStopsGenerating();
    void hostileSounds();
    void relaunchMidRun();
    void resetCurveReanchors();
    void noStreamNoPortAudio();
    void realStream();
    void handOverWhileCallbackRuns();

private:
    QListDataCurve m_curve[2] = {QListDataCurve(ModelGraph::INPUT_A), QListDataCurve(ModelGraph::INPUT_B)};
};

namespace {

Singleton* registry() {
    return Singleton::instance();
}

std::shared_ptr<const QWav> sound(QList<qint16> left, QList<qint16> right = {}, int rate = 48000) {
    QList<QList<qint16>> lists{left};
    if (!right.isEmpty())
        lists.append(right);
    return std::make_shared<const QWav>(rate, int(lists.size()), lists);
}

QList<qint16> ramp(int size, int first, int step = 1) {
    QList<qint16> samples(size);
    for (int i = 0; i < size; ++i)
        samples[i] = qint16(first + i * step);
    return samples;
}

// A canonical 16-bit PCM file of interleaved samples, for the channel loaders.
QString wavFile(const QString& name, const QList<qint16>& interleaved, int channels, int rate = 48000) {
    QByteArray b;
    auto u32 = [&b](quint32 v) { b.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 4); };
    auto u16 = [&b](quint16 v) { b.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 2); };
    const quint32 data = quint32(2 * interleaved.size());
    b.append("RIFF");
    u32(36 + data);
    b.append("WAVEfmt ");
    u32(16), u16(1), u16(quint16(channels)), u32(quint32(rate)), u32(quint32(rate * 2 * channels));
    u16(quint16(2 * channels)), u16(16);
    b.append("data");
    u32(data);
    for (qint16 s : interleaved)
        u16(quint16(s));
    const QString path = TestSandbox::root() + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(b) != b.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QData point(double degrees, double acceleration = 1.0, bool drawon = true) {
    QData p;
    p.setTargetPosition(degrees);
    p.setAcceleration(acceleration);
    p.setDrawon(drawon);
    return p;
}

void fillCurve(QListDataCurve& curve, int points, double first, double perPoint, double acceleration = 1.0,
               bool drawon = true) {
    for (int i = 0; i < points; ++i)
        curve.addQdata(point(first + i * perPoint, acceleration, drawon));
}

// A worker wired as the controller window wires it, loaded on a descriptor without a device.
struct Player {
    explicit Player(int channels = 2, int pos = 0) {
        QObject::connect(registry()->instanceMode(), &Mode::s_ModeGenerateSound, &worker,
                         &WorkerPlayObject::changeStatusGenerateDeck);
        load(channels, pos);
    }
    void load(int channels = 2, int pos = 0) {
        this->channels = channels;
        worker.load(
            std::make_shared<const QSample>(ModelGraph::PLAYBACK, -1, QString(), 48000.0, channels, pos));
    }
    std::vector<qint16> render(int frames) {
        std::vector<qint16> out(size_t(frames * channels));
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
    int channels = 2;
};

bool silent(const std::vector<qint16>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](qint16 s) { return s == 0; });
}

// 76800 samples: a move of 0.75 degrees is exactly 160 samples, one point at 160 frames per point.
constexpr int DECK_SIZE = 76800;
qint16 deckLeft(qint64 i) {
    return qint16(i % 32768);
}
qint16 deckRight(qint64 i) {
    return qint16(-(i % 32768));
}
std::shared_ptr<const QWav> deckSound() {
    QList<qint16> l(DECK_SIZE), r(DECK_SIZE);
    for (int i = 0; i < DECK_SIZE; ++i)
        l[i] = deckLeft(i), r[i] = deckRight(i);
    return sound(l, r);
}

} // namespace

void TestWorkerPlayObject::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    registry()->instanceCurve()->setCurveMain(ModelGraph::INPUT_A, &m_curve[0]);
    registry()->instanceCurve()->setCurveMain(ModelGraph::INPUT_B, &m_curve[1]);
}

void TestWorkerPlayObject::init() {
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

void TestWorkerPlayObject::outputLayout_data() {
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("pair"); // -1: nothing is written
    QTest::newRow("stereo") << 2 << 0 << 0;
    QTest::newRow("4 channels, pos 2") << 4 << 2 << 1;
    QTest::newRow("4 channels, pos 3") << 4 << 3 << 1;
    QTest::newRow("3 channels, pos 0") << 3 << 0 << 0;
    QTest::newRow("3 channels, incomplete pair") << 3 << 2 << -1;
    QTest::newRow("pair past the frame") << 2 << 2 << -1;
    QTest::newRow("mono") << 1 << 0 << -1;
    QTest::newRow("negative pos") << 4 << -2 << -1;
}

void TestWorkerPlayObject::outputLayout() {
    QFETCH(int, channels);
    QFETCH(int, pos);
    QFETCH(int, pair);
    Player player(channels, pos);
    player.worker.updateWavLooper(wavFile("layout.wav", QList<qint16>(2 * 64, 1000), 2));
    player.worker.activatedOnTimeLooper();
    // A guard after the buffer catches a write past it.
    const int frames = 16;
    std::vector<qint16> out(size_t(frames * channels + 8), 0x5555);
    WorkerPlayObject::paTestOutputCallback(nullptr, out.data(), frames, nullptr, 0, player.worker.context());
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const bool played = pair >= 0 && (c == 2 * pair || c == 2 * pair + 1);
            QCOMPARE(out[size_t(f * channels + c)], qint16(played ? 1000 : 0));
        }
    }
    for (size_t i = size_t(frames * channels); i < out.size(); ++i)
        QCOMPARE(out[i], qint16(0x5555));
}

void TestWorkerPlayObject::clampAndTruncate_data() {
    QTest::addColumn<qint16>("sample");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<qint16>("expected");
    QTest::newRow("40000") << qint16(20000) << "200" << qint16(32767);
    QTest::newRow("-40000") << qint16(-20000) << "200" << qint16(-32768);
    QTest::newRow("1.9") << qint16(19) << "10" << qint16(1);
    QTest::newRow("-1.9") << qint16(-19) << "10" << qint16(-1);
}

void TestWorkerPlayObject::clampAndTruncate() {
    QFETCH(qint16, sample);
    QFETCH(QString, volume);
    QFETCH(qint16, expected);
    registry()->instanceSetting()->setParamVolumeLooper(volume);
    Player player;
    player.worker.updateWavLooper(wavFile("clamp.wav", QList<qint16>(64, sample), 1));
    player.worker.activatedOnTimeLooper();
    const std::vector<qint16> out = player.render(4);
    QCOMPARE(out[0], expected);
    QCOMPARE(out[1], expected);
}

void TestWorkerPlayObject::looperPlaysOncePerActivation() {
    Player player;
    player.worker.updateWavLooper(wavFile("looper.wav", ramp(1000, 1), 1));
    player.worker.activatedOnTimeLooper();
    std::vector<qint16> l = player.left(500);
    player.worker.restartSound(); // while playing: changes nothing
    const std::vector<qint16> rest = player.left(700);
    l.insert(l.end(), rest.begin(), rest.end());
    for (int f = 0; f < 1200; ++f)
        QCOMPARE(l[size_t(f)], qint16(f < 999 ? f + 1 : 0));
    player.worker.activatedOnTimeLooper();
    QCOMPARE(player.left(3), (std::vector<qint16>{1, 2, 3}));
}

void TestWorkerPlayObject::slowFactorInterpolates() {
    Player player;
    // 24000 Hz on a 48000 Hz output: factor 0.5, position k / 2 at frame k.
    player.worker.updateWavSoundA(wavFile("slow.wav", ramp(64, 0, 100), 1, 24000));
    player.load();
    QCOMPARE(player.worker.setup().channel[PlaySetup::SOUND_A].factorSpeed, 0.5);
    player.worker.activatedOnTimeSoundA();
    const std::vector<qint16> l = player.left(120);
    QCOMPARE(l[21], qint16(1050)); // position 10.5: the mean of 1000 and 1100
    for (int f = 0; f < 120; ++f)
        QCOMPARE(l[size_t(f)], qint16(50 * f));
}

void TestWorkerPlayObject::deckTiming_data() {
    QTest::addColumn<double>("processing");
    QTest::addColumn<double>("inputBuffer");
    QTest::addColumn<int>("samplesPerPoint");
    QTest::addColumn<int>("lag");
    QTest::newRow("300 points, 256 frames") << 300.0 << 256.0 << 160 << 2;
    QTest::newRow("larger input buffer") << 300.0 << 1024.0 << 160 << 7;
    QTest::newRow("no processing buffer") << 0.0 << 256.0 << 0 << 0;
}

void TestWorkerPlayObject::deckTiming() {
    QFETCH(double, processing);
    QFETCH(double, inputBuffer);
    QFETCH(int, samplesPerPoint);
    QFETCH(int, lag);
    registry()->instancePerformance()->setProcessingBuffer(ModelGraph::INPUT_A, processing);
    registry()->instancePerformance()->setInputBuffer(ModelGraph::INPUT_A, inputBuffer);
    Player player;
    const Deck::Setup& deck = player.worker.setup().deck[0];
    QCOMPARE(deck.samplesPerPoint, samplesPerPoint);
    QCOMPARE(deck.lag, lag);

    // Without a usable processing buffer a moving deck stays silent.
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, deckSound());
    fillCurve(m_curve[0], 40, 0.0, 0.75);
    player.worker.updateWav();
    QCOMPARE(silent(player.render(480)), samplesPerPoint == 0);
}

void TestWorkerPlayObject::deckFollowsCurve_data() {
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("perPoint");
    QTest::addColumn<double>("acceleration");
    QTest::addColumn<int>("start");     // sound index of the first frame
    QTest::addColumn<int>("direction"); // 0: silent
    // Re-anchored 2 points behind the newest of 40: the move from point 36 to point 37.
    QTest::newRow("forward") << 0.0 << 0.75 << 1.0 << 5760 << 1;
    QTest::newRow("backward") << 180.0 << -0.75 << -1.0 << 32640 << -1;
    QTest::newRow("forward through 360") << 332.25 << 0.75 << 1.0 << 76640 << 1;
    QTest::newRow("stopped platter") << 90.0 << 0.0 << 0.0 << 0 << 0;
}

void TestWorkerPlayObject::deckFollowsCurve() {
    QFETCH(double, first);
    QFETCH(double, perPoint);
    QFETCH(double, acceleration);
    QFETCH(int, start);
    QFETCH(int, direction);
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, deckSound());
    fillCurve(m_curve[0], 40, first, perPoint, acceleration);
    Player player;
    player.worker.updateWav();
    // Three points of 160 frames, at nominal speed: the sound itself, one sample per frame.
    const std::vector<qint16> out = player.render(480);
    for (int f = 0; f < 480; ++f) {
        const qint64 i = ((start + direction * f) % DECK_SIZE + DECK_SIZE) % DECK_SIZE;
        QCOMPARE(out[size_t(2 * f)], direction ? deckLeft(i) : qint16(0));
        QCOMPARE(out[size_t(2 * f + 1)], direction ? deckRight(i) : qint16(0));
    }
}

void TestWorkerPlayObject::movementThroughSoundEnd() {
    // 36000 samples, gain 1: sample i is i - 18000.
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, sound(ramp(36000, -18000)));
    for (double degrees : {0.0, 0.0, 350.0, 10.0, 20.0, 30.0})
        m_curve[0].addQdata(point(degrees));
    Player player;
    player.worker.updateWav();
    QCOMPARE(player.worker.setup().deck[0].lo, 3600);
    QCOMPARE(player.worker.setup().deck[0].hi, 32400);
    // Point 3 (10 degrees) after point 2 (350): from 35000 upwards through the end, 2000 samples.
    const std::vector<qint16> l = player.left(160);
    for (int f = 0; f < 160; ++f)
        QCOMPARE(l[size_t(f)], qint16(int(std::fmod(35000 + 12.5 * f, 36000.0)) - 18000));
    QCOMPARE(l[79], qint16(35987 - 18000));
    QCOMPARE(l[80], qint16(0 - 18000));
}

void TestWorkerPlayObject::drawonMutesUnlessCutOff_data() {
    QTest::addColumn<int>("deck");
    QTest::addColumn<bool>("cutOff");
    QTest::newRow("deck A") << 0 << false;
    QTest::newRow("deck A, cut-off") << 0 << true;
    QTest::newRow("deck B") << 1 << false;
    QTest::newRow("deck B, cut-off") << 1 << true;
}

void TestWorkerPlayObject::drawonMutesUnlessCutOff() {
    QFETCH(int, deck);
    QFETCH(bool, cutOff);
    const ModelGraph::EnumGraph g = deck ? ModelGraph::INPUT_B : ModelGraph::INPUT_A;
    registry()->instanceSetting()->setParamGenerateCutOffSound(cutOff ? "1" : "0");
    registry()->instanceWavPhrasing()->setWavPhrasing(g, deckSound());
    fillCurve(m_curve[deck], 40, 0.0, 0.75, 1.0, false);
    Player player;
    player.worker.updateWav();
    const std::vector<qint16> out = player.render(480);
    QCOMPARE(silent(out), !cutOff);
    if (cutOff)
        QCOMPARE(out[2], deckLeft(5761));
}

void TestWorkerPlayObject::deckVolumeZeroStopsGenerating() {
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, deckSound());
    fillCurve(m_curve[0], 40, 0.0, 0.75);
    Player player;
    player.worker.updateWav();
    registry()->instanceSetting()->setParamVolumeDeck("0");
    player.worker.updateVolume();
    QVERIFY(!registry()->instanceMode()->modeGenerateSound());
    QVERIFY(!player.worker.setup().deck[0].generate && !player.worker.setup().deck[1].generate);
    QVERIFY(silent(player.render(480)));
    QVERIFY(!player.worker.context()->deck(0).active());

    registry()->instanceSetting()->setParamVolumeDeck("100");
    player.worker.updateVolume();
    QVERIFY(player.worker.setup().deck[0].generate);
    // The idle deck kept its place behind the newest point.
    QCOMPARE(player.render(1)[0], deckLeft(5760));
}

void TestWorkerPlayObject::hostileSounds() {
    fillCurve(m_curve[0], 40, 0.0, 0.75);
    Player player;

    // Largest sample 0: gain 1.
    QList<qint16> negative(DECK_SIZE);
    for (int i = 0; i < DECK_SIZE; ++i)
        negative[i] = qint16(-(i % 30000));
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, sound(negative));
    player.worker.updateWav();
    QCOMPARE(player.worker.setup().deck[0].gain, 1.0);
    QCOMPARE(player.render(1)[0], qint16(-5760));

    // An empty scratch sound, an empty looper and an unreadable file: silence, nothing read.
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, std::make_shared<const QWav>());
    player.worker.updateWav();
    player.worker.updateWavLooper(wavFile("empty.wav", {}, 2));
    player.worker.updateWavSoundA(TestSandbox::root() + "/missing.wav");
    player.worker.activatedOnTimeLooper();
    player.worker.activatedOnTimeSoundA();
    QVERIFY(silent(player.render(256)));
    QVERIFY(!player.worker.context()->channel(PlaySetup::LOOPER).active());
    QVERIFY(!player.worker.context()->channel(PlaySetup::SOUND_A).active());
    QVERIFY(!player.worker.context()->deck(0).active());

    // A right row shorter than the left one is read only as far as both go.
    player.worker.updateWavLooper(QString());
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, sound(ramp(100, 1), ramp(10, 1)));
    player.worker.updateWav();
    QCOMPARE(player.worker.setup().deck[0].wav.size(), 10);
    player.render(480);
}

void TestWorkerPlayObject::relaunchMidRun() {
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, sound(ramp(36000, -18000)));
    for (double degrees : {0.0, 0.0, 350.0, 10.0, 20.0, 30.0})
        m_curve[0].addQdata(point(degrees));
    Player player;
    player.worker.updateWav();
    player.worker.updateWavLooper(wavFile("relaunch.wav", ramp(1000, 1), 1));
    player.worker.activatedOnTimeLooper();
    player.render(100);

    player.worker.initRelaunch();
    // The bounds stay, the deck starts again behind the newest point, the looper from 0 and still active.
    QCOMPARE(player.worker.setup().deck[0].lo, 3600);
    const std::vector<qint16> l = player.left(2);
    QCOMPARE(l[0], qint16(35000 - 18000 + 1));
    QCOMPARE(l[1], qint16(35012 - 18000 + 2));
}

void TestWorkerPlayObject::resetCurveReanchors() {
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, deckSound());
    fillCurve(m_curve[0], 40, 0.0, 0.75);
    Player player;
    player.worker.updateWav();
    player.render(2000); // well past the newest point: stalled
    QVERIFY(player.worker.context()->deck(0).stalled());

    // Between runs the curve starts again, shorter than where the deck is.
    m_curve[0].clear();
    fillCurve(m_curve[0], 6, 90.0, 0.75);
    const std::vector<qint16> l = player.left(2);
    QCOMPARE(player.worker.context()->deck(0).index(), 3);
    // From point 2 (91.5 degrees) on: sound index 19520.
    QCOMPARE(l[0], deckLeft(19520));
    QCOMPARE(l[1], deckLeft(19521));
}

void TestWorkerPlayObject::noStreamNoPortAudio() {
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

void TestWorkerPlayObject::realStream() {
    QFile capture(TestSandbox::alsaCaptureFile());
    QVERIFY(capture.open(QIODevice::WriteOnly)); // the test devices are listed only with it
    capture.close();
    QCOMPARE(Pa_Initialize(), paNoError);
    PaDeviceIndex device = paNoDevice;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        if (QByteArray(Pa_GetDeviceInfo(i)->name) == AlsaTestConfig::PLAYBACK_DEVICE)
            device = i;
    }
    Pa_Terminate();
    QVERIFY(device != paNoDevice);

    QList<qint16> pattern(2 * 1000);
    for (int f = 0; f < 1000; ++f)
        pattern[2 * f] = qint16(f + 1), pattern[2 * f + 1] = qint16(-f - 1);
    WorkerPlayObject worker;
    worker.updateWavLooper(wavFile("stream.wav", pattern, 2));
    const auto sample = std::make_shared<const QSample>(ModelGraph::PLAYBACK, device,
                                                        AlsaTestConfig::PLAYBACK_DEVICE, 48000.0, 2, 0);
    worker.load(sample);
    worker.load(sample); // closes the first stream before opening again
    worker.activatedOnTimeLooper();
    worker.play();
    QVERIFY(worker.isPlaying());
    QFile played(TestSandbox::alsaPlaybackFile());
    constexpr int PRIMING = 768;
    constexpr qint64 wanted = 4 * (PRIMING + 1000 + 256);
    QTRY_VERIFY_WITH_TIMEOUT(played.size() >= wanted, 20000);
    worker.stop();
    QVERIFY(!worker.isPlaying());
    QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));

    QVERIFY(played.open(QIODevice::ReadOnly));
    const QByteArray bytes = played.readAll();
    QVERIFY(bytes.size() >= wanted);
    std::vector<qint16> samples(size_t(bytes.size() / 2));
    qFromLittleEndian<qint16>(bytes.constData(), qsizetype(samples.size()), samples.data());
    for (int f = 0; f < PRIMING + 1000 + 256; ++f) {
        const int k = f - PRIMING;
        const qint16 left = k >= 0 && k < 999 ? qint16(k + 1) : qint16(0);
        if (samples[size_t(2 * f)] != left || samples[size_t(2 * f + 1)] != qint16(-left))
            QFAIL(qPrintable(QStringLiteral("frame %1 differs").arg(f)));
    }
}

void TestWorkerPlayObject::handOverWhileCallbackRuns() {
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, deckSound());
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_B, sound(ramp(4000, 0)));
    fillCurve(m_curve[0], 40, 0.0, 0.75);
    Player player;
    player.worker.updateWav();
    const QString looper[2] = {wavFile("a.wav", ramp(3000, 1), 1), wavFile("b.wav", ramp(500, 7), 2)};

    std::atomic<bool> done{false};
    std::atomic<int> buffers{0};
    std::thread audio([&] {
        std::vector<qint16> out(2 * 256);
        while (!done.load()) {
            WorkerPlayObject::paTestOutputCallback(nullptr, out.data(), 256, nullptr, 0,
                                                   player.worker.context());
            buffers.fetch_add(1);
        }
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
        registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, i % 2 ? deckSound() : nullptr);
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

QUILLON_TEST_MAIN(TestWorkerPlayObject)
#include "tst_WorkerPlayObject.moc"
