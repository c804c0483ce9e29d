// The recorder's input callback on plain buffers, then real input streams on the test capture device:
// a generated timecode record in one pair of the device's frame and a known pattern in another, run
// through the dispatcher as a recorder-mode run does.
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <portaudio.h>

#include <vector>

#include "AlsaTestConfig.h"
#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/ManageWAV.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/QDeviceRegEx.h"
#include "core/QSample.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/audio/DeviceObject.h"
#include "core/audio/WorkerRecorderObject.h"
#include "core/timecode/ReceiveTimecodeDVSObject.h"
#include "core/timecode/Timecoder.h"

class TestWorkerRecorderObject : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void callbackReadsItsPair_data();
    void callbackReadsItsPair();
    void countInGatesTheCallback();
    void masterRecordsWithoutReceiver();
    void recordedRun();
    void countInOnRealStream();
    void cyclesPairEveryInitialise();
    void twoRunsTwoFolders();
};

namespace {

constexpr int PAIR_A = 5;
constexpr int PAIR_MASTER = 2;
constexpr qint64 SILENCE = 8192;

// Half a second forwards, then half a second backwards, at the capture device's rate.
std::unique_ptr<TimecodeSignal> g_signal;
// The capture device's channels, as the catalogue lists it.
int g_channels = 0;

Singleton* registry() {
    return Singleton::instance();
}

Mode* mode() {
    return registry()->instanceMode();
}

double framesCounted() {
    return registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_A);
}

QString captureEntry(int pos) {
    for (const QString& text : registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT)) {
        const QDeviceRegEx parsed(text);
        if (parsed.name() == AlsaTestConfig::CAPTURE_DEVICE && parsed.pos() == pos)
            return text;
    }
    return QString();
}

// The master's pair: a ramp, left and right apart.
qint16 masterSample(qint64 frame, int right) {
    return qint16(frame % 30011 - 15000 + 7 * right);
}

// The data of a 16-bit stereo WAV file with the canonical 44-byte header, checked field by field.
QByteArray wavData(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "missing";
    const QByteArray bytes = file.readAll();
    const char* h = bytes.constData();
    if (bytes.size() < 44 || bytes.left(4) != "RIFF" || bytes.mid(8, 8) != "WAVEfmt " ||
        qFromLittleEndian<quint16>(h + 22) != 2 || qFromLittleEndian<quint16>(h + 34) != 16 ||
        bytes.mid(36, 4) != "data" || qFromLittleEndian<quint32>(h + 40) != quint32(bytes.size() - 44))
        return "malformed";
    return bytes.mid(44);
}

// The pair as 16-bit little-endian frames: `frames` frames of `sampleAt`, then zeros up to `total`.
QByteArray pairBytes(qint64 frames, qint64 total, const std::function<qint16(qint64, int)>& sampleAt) {
    QByteArray bytes(4 * total, '\0');
    for (qint64 f = 0; f < frames; ++f) {
        qToLittleEndian<qint16>(sampleAt(f, 0), bytes.data() + 4 * f);
        qToLittleEndian<qint16>(sampleAt(f, 1), bytes.data() + 4 * f + 2);
    }
    return bytes;
}

QList<QData> points(const QCurve& curve) {
    QList<QData> out(curve.curveGlobal()->size());
    curve.curveGlobal()->copyRange(0, int(out.size()), out.data());
    return out;
}

bool samePoint(const QData& a, const QData& b) {
    return a.samplerate() == b.samplerate() && a.y() == b.y() && a.acceleration() == b.acceleration() &&
           a.targetPosition() == b.targetPosition() && a.rotation() == b.rotation() &&
           a.drawon() == b.drawon() && a.timecode() == b.timecode();
}

// The recorders and the dispatcher wired as the controller window wires them.
struct Rig {
    QCurve curve{ModelGraph::INPUT_A};
    WorkerRecorderObject a{ModelGraph::INPUT_A, &curve};
    WorkerRecorderObject master{ModelGraph::MASTER, nullptr};
    DeviceObject dispatcher;

    Rig() {
        QObject::connect(&dispatcher, &DeviceObject::s_SampleA, &a, &WorkerRecorderObject::load);
        QObject::connect(&dispatcher, &DeviceObject::s_SampleMaster, &master, &WorkerRecorderObject::load);
    }
    // The run chain: descriptors, streams opened, count-in over, receivers initialised, streams started.
    void start(bool synchronised = true) {
        curve.reset();
        dispatcher.controllerDevices();
        dispatcher.run();
        if (synchronised)
            mode()->modeStartSynchronized_on();
        a.timecodeInitialise();
        a.record();
        master.record();
    }
    void stop() {
        a.stop();
        master.stop();
        mode()->modeStartSynchronized_off();
    }
    QString wavA() const {
        const PathFile* files = registry()->instancePathFile();
        return Path::joinRecording(files->pathDirectory_recording()) + "/" + files->filenameSound_a() +
               ".wav";
    }
    QString wavMaster() const {
        const PathFile* files = registry()->instancePathFile();
        return Path::joinRecording(files->pathDirectory_recording()) + "/" + files->filenameSound_master() +
               ".wav";
    }
};

} // namespace

void TestWorkerRecorderObject::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    const QString a = captureEntry(PAIR_A);
    const QString master = captureEntry(PAIR_MASTER);
    QVERIFY(!a.isEmpty() && !master.isEmpty());
    const QDeviceRegEx device(a);
    g_channels = device.channels();
    QVERIFY(g_channels > 2 * PAIR_A + 1);

    Timecoder timecoder;
    const Definition def = timecoder.findDefinition("generic_V2");
    g_signal = std::make_unique<TimecodeSignal>(def, unsigned(device.samplerate()));
    g_signal->setStart(def.length() / 2 + 0.375);
    g_signal->move(0.5, 1.0);
    g_signal->move(0.5, -1.0);
    g_signal->render();
    const TimecodeSignal& signal = *g_signal;
    QVERIFY(AlsaTestConfig::writeCaptureFile(
        TestSandbox::alsaCaptureFile(), g_channels, signal.frameCount(),
        [&signal](qint64 f, int c) {
            if (c / 2 == PAIR_A)
                return signal.pcm()[2 * f + c % 2];
            if (c / 2 == PAIR_MASTER)
                return masterSample(f, c % 2);
            return qint16(1000 + 13 * c); // never silent, never either pair
        },
        SILENCE));

    Setting* setting = registry()->instanceSetting();
    setting->setParamInput_A(a);
    setting->setParamInput_B(QString());
    setting->setParamInput_Master(master);
    setting->setParamOutput_Playback(QString());
    setting->setParamTimecode("generic_V2");
    mode()->modeFullDVS_off();
    mode()->setInputText(ModelInput::TEXT_A);
    Performance* performance = registry()->instancePerformance();
    performance->setInputBuffer(ModelGraph::INPUT_A, 256);
    performance->setProcessingBuffer(ModelGraph::INPUT_A, 300);
}

void TestWorkerRecorderObject::init() {
    mode()->modeStartSynchronized_off();
    mode()->modeRecorder_on();
    registry()->instancePathFile()->newPathDirectory_recording();
}

void TestWorkerRecorderObject::callbackReadsItsPair_data() {
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("pos");
    QTest::addColumn<bool>("read");
    QTest::newRow("2 channels, pair 0") << 2 << 0 << true;
    QTest::newRow("4 channels, pair 1") << 4 << 1 << true;
    QTest::newRow("3 channels, pair 0") << 3 << 0 << true;
    QTest::newRow("3 channels, pair 1 incomplete") << 3 << 1 << false;
    QTest::newRow("2 channels, pair 1 outside") << 2 << 1 << false;
    QTest::newRow("negative pair") << 4 << -1 << false;
    QTest::newRow("mono") << 1 << 0 << false;
    QTest::newRow("no channels") << 0 << 0 << false;
}

// Channels 2 pos and 2 pos + 1 of every frame, in order; a buffer sized exactly, so a read past it
// shows under AddressSanitizer.
void TestWorkerRecorderObject::callbackReadsItsPair() {
    QFETCH(int, channels);
    QFETCH(int, pos);
    QFETCH(bool, read);
    constexpr int FRAMES = 64;
    std::vector<qint16> buffer(size_t(FRAMES * channels));
    for (size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = qint16(i + 1);
    ManageWAV wav;
    WorkerRecorderObject::Context context;
    context.mode = mode();
    context.wav = &wav;
    context.channels = channels;
    context.pos = pos;
    mode()->modeStartSynchronized_on();
    QCOMPARE(WorkerRecorderObject::paTestInputCallback(buffer.data(), nullptr, FRAMES, nullptr, 0, &context),
             int(paContinue));
    const QString path = TestSandbox::root() + "/pair.wav";
    auto sample = std::make_shared<const QSample>(ModelGraph::INPUT_A, 0, "x", 48000.0, 2, 0);
    QVERIFY(wav.createWAVFile(path, sample.get()));
    const QByteArray expected = pairBytes(read ? FRAMES : 0, read ? FRAMES : 0, [&](qint64 f, int right) {
        return qint16(f * channels + 2 * pos + right + 1);
    });
    QCOMPARE(wavData(path), expected);
}

// Until the count-in ends nothing reaches the receiver or the buffer; the first synchronised buffer
// restarts the input's time base, so the counter then counts exactly the frames recorded.
void TestWorkerRecorderObject::countInGatesTheCallback() {
    QCurve curve(ModelGraph::INPUT_A);
    WorkerRecorderObject worker(ModelGraph::INPUT_A, &curve);
    ManageWAV wav;
    WorkerRecorderObject::Context* context = worker.context();
    context->wav = &wav;
    context->channels = 2;
    context->pos = 0;
    worker.timecodeInitialise();
    Time* time = registry()->instanceTime();
    time->incrementCurrentSamplerate_m_s(ModelGraph::INPUT_A);
    const double before = framesCounted();
    const qint16* pcm = g_signal->pcm().constData();

    for (int buffer = 0; buffer < 8; ++buffer)
        WorkerRecorderObject::paTestInputCallback(pcm + 2 * 256 * buffer, nullptr, 256, nullptr, 0, context);
    QCOMPARE(curve.curveGlobal()->size(), 0);
    QCOMPARE(wav.size(), qint64(0));
    QCOMPARE(framesCounted(), before);

    mode()->modeStartSynchronized_on();
    for (int buffer = 0; buffer < 8; ++buffer)
        WorkerRecorderObject::paTestInputCallback(pcm + 2 * 256 * buffer, nullptr, 256, nullptr, 0, context);
    QCOMPARE(framesCounted(), 2048.0);
    QCOMPARE(wav.size(), qint64(2 * 2048));
    const int step = int(registry()->instancePerformance()->processingSampleStep(ModelGraph::INPUT_A));
    QCOMPARE(curve.curveGlobal()->size(), 2047 / step + 1);
    QVERIFY(context->tempoUpdated.load());
    context->wav = nullptr;
}

void TestWorkerRecorderObject::masterRecordsWithoutReceiver() {
    WorkerRecorderObject master(ModelGraph::MASTER, nullptr);
    QVERIFY(!master.context()->receiver);
    ManageWAV wav;
    master.context()->wav = &wav;
    master.context()->channels = 2;
    const double before = framesCounted();
    mode()->modeStartSynchronized_on();
    WorkerRecorderObject::paTestInputCallback(g_signal->pcm().constData(), nullptr, 256, nullptr, 0,
                                              master.context());
    QCOMPARE(wav.size(), qint64(512));
    QCOMPARE(framesCounted(), before);
    QVERIFY(!master.context()->tempoUpdated.load());
    master.timecodeInitialise(); // nothing to initialise
    master.context()->wav = nullptr;

    // Outside recorder mode a buffer is not appended to.
    mode()->modeRecorder_off();
    ManageWAV idle;
    master.context()->wav = &idle;
    WorkerRecorderObject::paTestInputCallback(g_signal->pcm().constData(), nullptr, 256, nullptr, 0,
                                              master.context());
    QCOMPARE(idle.size(), qint64(0));
    master.context()->wav = nullptr;
}

// Input A decodes and records its pair, the master records its own; each WAV holds exactly the frames
// its callback saw: the file's pair, then the silence that follows it.
void TestWorkerRecorderObject::recordedRun() {
    const TimecodeSignal& signal = *g_signal;
    const qint64 fileFrames = signal.frameCount();
    Rig rig;
    rig.start();
    QVERIFY(rig.a.isOpen() && rig.master.isOpen());
    QVERIFY(rig.a.recording() && rig.master.recording());
    QTRY_VERIFY_WITH_TIMEOUT(framesCounted() >= fileFrames + SILENCE &&
                                 rig.master.recording()->size() >= 2 * (fileFrames + SILENCE),
                             60000);
    rig.stop();
    QVERIFY(!rig.a.isOpen() && !rig.master.isOpen());
    QVERIFY(!rig.a.recording() && !rig.master.recording());
    QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));

    const qint64 counted = qint64(framesCounted());
    const QByteArray a = wavData(rig.wavA());
    QCOMPARE(a.size(), 4 * counted);
    QVERIFY(a ==
            pairBytes(fileFrames, counted, [&](qint64 f, int right) { return signal.pcm()[2 * f + right]; }));
    const QByteArray master = wavData(rig.wavMaster());
    QVERIFY(master.size() >= 4 * (fileFrames + SILENCE) && master.size() % 4 == 0);
    QVERIFY(master == pairBytes(fileFrames, master.size() / 4, masterSample));

    // The live curve holds what the receiver makes of exactly these frames, one point every 147.
    const QList<QData> live = points(rig.curve);
    QCOMPARE(live.size(), qsizetype((counted - 1) / 147 + 1));
    QCurve referenceCurve(ModelGraph::INPUT_A);
    ReceiveTimecodeDVSObject reference(ModelGraph::INPUT_A, &referenceCurve);
    reference.initialise();
    reference.updateBPM();
    for (qint64 f = 0; f < fileFrames; ++f)
        reference.execute(signal.pcm().constData() + 2 * f);
    const QList<QData> expected = points(referenceCurve);
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (!samePoint(live[i], expected[i]))
            QFAIL(qPrintable(QStringLiteral("point %1 differs").arg(i)));
    }

    // Forwards for the first half second, backwards for the second.
    const double rate = signal.sampleRate();
    const auto at = [&](double seconds) { return live[qsizetype(seconds * rate / 147)]; };
    const double travel = 0.35 * 1000.0 * rate / (rate + 1000.0);
    QVERIFY2(qAbs((at(0.45).y() - at(0.1).y()) / travel - 1.0) < 0.02,
             qPrintable(QString::number(at(0.45).y())));
    QVERIFY2(qAbs((at(0.6).y() - at(0.95).y()) / travel - 1.0) < 0.02,
             qPrintable(QString::number(at(0.95).y())));
    for (const QData& p : live) {
        const double t = p.samplerate() / rate;
        if (t >= 0.1 && t <= 0.45)
            QCOMPARE(p.rotation(), ModelRotation::FORWARD);
        if (t >= 0.6 && t <= 0.95)
            QCOMPARE(p.rotation(), ModelRotation::BACK);
    }
}

// Streams that run through the whole count-in leave no point and an empty recording.
void TestWorkerRecorderObject::countInOnRealStream() {
    Rig rig;
    registry()->instanceTime()->resetCurrentSamplerate_m_s(ModelGraph::INPUT_A);
    rig.start(false);
    QVERIFY(rig.a.isOpen());
    QTest::qWait(300);
    rig.stop();
    QCOMPARE(rig.curve.curveGlobal()->size(), 0);
    QCOMPARE(framesCounted(), 0.0);
    QCOMPARE(wavData(rig.wavA()), QByteArray());
    QCOMPARE(wavData(rig.wavMaster()), QByteArray());
}

// Loads that open nothing, loads twice, stops without loads: every stream that opened is closed and
// PortAudio is left terminated; a WAV appears only for a stream that opened in recorder mode.
void TestWorkerRecorderObject::cyclesPairEveryInitialise() {
    registry()->instanceSetting()->setParamInput_A(captureEntry(PAIR_A));
    const std::shared_ptr<const QSample> real = registry()->sampleA();
    QVERIFY(real);
    const int id = real->deviceID();
    const double rate = real->samplerate();
    const auto made = [&](int deviceID, const QString& name, int channels, int pos) {
        return std::make_shared<const QSample>(ModelGraph::INPUT_A, deviceID, name, rate, channels, pos);
    };
    struct Case {
        std::shared_ptr<const QSample> sample;
        bool opens;
    };
    const QList<Case> cases = {
        {real, true},
        {QSample::byDefault(ModelGraph::INPUT_A), false},
        {made(id, QString(), g_channels, PAIR_A), false}, // no device name
        {made(id, "gone", g_channels, PAIR_A), false},    // the index names another device
        {made(id + 1000, AlsaTestConfig::CAPTURE_DEVICE, g_channels, 0), false},       // no such index
        {made(id, AlsaTestConfig::CAPTURE_DEVICE, g_channels, g_channels / 2), false}, // pair outside
        {made(id, AlsaTestConfig::CAPTURE_DEVICE, g_channels, -1), false},
        {nullptr, false},
    };

    QCurve curve(ModelGraph::INPUT_A);
    WorkerRecorderObject worker(ModelGraph::INPUT_A, &curve);
    WorkerRecorderObject never(ModelGraph::INPUT_B, nullptr);
    const QString folder = Path::joinRecording(registry()->instancePathFile()->pathDirectory_recording());
    for (int cycle = 0; cycle < 20; ++cycle) {
        const Case& c = cases[cycle % cases.size()];
        const bool recorder = cycle % 3 != 1;
        recorder ? mode()->modeRecorder_on() : mode()->modeRecorder_off();
        cycle % 2 ? mode()->modeStartSynchronized_on() : mode()->modeStartSynchronized_off();
        QDir(folder).removeRecursively();
        if (cycle % 4 == 0)
            worker.load(real); // replaced by the next load
        worker.load(c.sample);
        QCOMPARE(worker.isOpen(), c.opens);
        QCOMPARE(worker.recording() != nullptr, c.opens && recorder);
        worker.record();
        never.record();
        if (c.opens)
            QVERIFY(Pa_GetDeviceCount() > 0);
        worker.stop();
        worker.stop();
        never.stop();
        QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
        const QStringList written = QDir(folder).entryList(QDir::Files);
        QCOMPARE(written.size(), c.opens && recorder ? 1 : 0);
        if (!written.isEmpty())
            QCOMPARE(written[0], c.sample->filename());
    }
    worker.load(real); // left open: the destructor aborts it
    QVERIFY(worker.isOpen());
}

// The second recorder-mode run, without a new folder from the recorder toggle, records into a new
// folder; the first run's files stay as they were.
void TestWorkerRecorderObject::twoRunsTwoFolders() {
    PathFile* files = registry()->instancePathFile();
    Rig rig;
    const auto recordRun = [&] {
        rig.start();
        QTRY_VERIFY_WITH_TIMEOUT(framesCounted() >= 10000 && rig.master.recording()->size() >= 20000, 60000);
        rig.stop();
    };
    recordRun();
    const QString first = Path::joinRecording(files->pathDirectory_recording());
    QMap<QString, QByteArray> kept;
    for (const QString& name : QDir(first).entryList(QDir::Files)) {
        QFile file(first + "/" + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        kept[name] = file.readAll();
    }
    QCOMPARE(kept.size(), 2);

    recordRun();
    const QString second = Path::joinRecording(files->pathDirectory_recording());
    QVERIFY(second != first);
    QCOMPARE(QDir(second).entryList(QDir::Files).size(), 2);
    QCOMPARE(QDir(first).entryList(QDir::Files), QStringList(kept.keys()));
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
        QFile file(first + "/" + it.key());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == it.value());
    }
}

QUILLON_TEST_MAIN(TestWorkerRecorderObject)
#include "tst_WorkerRecorderObject.moc"
