// The recorders on real input streams of the test capture device: a generated timecode record in one
// pair of the device's frame and a known pattern in another, run through the dispatcher as a
// recorder-mode run does; then loads that open nothing, in cycles.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

#include <portaudio.h>

#include "AlsaTestConfig.h"
#include "TestFiles.h"
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
#include "core/timecode/Timecoder.h"

class TestWorkerRecorderObject : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void recordedRuns();
    void twentyCycles();
};

namespace {

constexpr int PAIR_A = 5;
constexpr int PAIR_MASTER = 2;
constexpr qint64 SILENCE = 8192;

// Half a second forwards, then half a second backwards, at the capture device's rate.
std::unique_ptr<TimecodeSignal> g_signal;

Singleton* registry() {
    return Singleton::instance();
}

Mode* mode() {
    return registry()->instanceMode();
}

double framesCounted() {
    return registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_A);
}

// The master's pair: a ramp, left and right apart.
qint16 masterSample(qint64 frame, int right) {
    return qint16(frame % 30011 - 15000 + 7 * right);
}

// The data of a 16-bit stereo WAV file of the signal's rate, with the canonical 44-byte header.
QByteArray wavData(const QString& path) {
    const QByteArray bytes = TestFiles::read(path);
    return bytes.left(44) == TestFiles::wavFile(bytes.mid(44), g_signal->sampleRate()).left(44) ? bytes.mid(44)
                                                                                               : "malformed";
}

QString recordingFolder() {
    return Path::joinRecording(registry()->instancePathFile()->pathDirectory_recording());
}

// Input A's or the master's WAV in the current recording folder.
QString recorded(bool master) {
    const PathFile* files = registry()->instancePathFile();
    return recordingFolder() + "/" + (master ? files->filenameSound_master() : files->filenameSound_a()) +
           ".wav";
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

} // namespace

void TestWorkerRecorderObject::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    // The catalogue lists a device's positions in order.
    const QStringList capture =
        registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]");
    QVERIFY(capture.size() > PAIR_A);
    const QDeviceRegEx device(capture[PAIR_A]);

    const Definition def = Timecoder().findDefinition("generic_V2");
    g_signal = std::make_unique<TimecodeSignal>(def, unsigned(device.samplerate()));
    g_signal->setStart(def.length() / 2 + 0.375);
    g_signal->move(0.5, 1.0);
    g_signal->move(0.5, -1.0);
    g_signal->render();
    const TimecodeSignal& signal = *g_signal;
    // The other channels are never silent and never either pair.
    const auto sampleAt = [&signal](qint64 f, int c) {
        return c / 2 == PAIR_A        ? signal.pcm()[2 * f + c % 2]
               : c / 2 == PAIR_MASTER ? masterSample(f, c % 2)
                                      : qint16(1000 + 13 * c);
    };
    QVERIFY(AlsaTestConfig::writeCaptureFile(TestSandbox::alsaCaptureFile(), device.channels(),
                                             signal.frameCount(), sampleAt, SILENCE));

    Setting* setting = registry()->instanceSetting();
    setting->setParamInput_A(capture[PAIR_A]);
    setting->setParamInput_Master(capture[PAIR_MASTER]);
    setting->setParamTimecode("generic_V2");
    mode()->modeFullDVS_off();
    mode()->modeRecorder_on();
    mode()->setInputText(ModelInput::TEXT_A);
    registry()->instancePerformance()->setInputBuffer(ModelGraph::INPUT_A, 256);
    registry()->instancePerformance()->setProcessingBuffer(ModelGraph::INPUT_A, 300);
}

// Input A decodes and records its pair, the master records its own without a receiver; each WAV holds
// exactly the frames its callback saw: the file's pair, then the silence that follows it. A count left
// from an earlier run must not survive into this one.
void TestWorkerRecorderObject::recordedRuns() {
    const TimecodeSignal& signal = *g_signal;
    const qint64 fileFrames = signal.frameCount();
    registry()->instanceTime()->incrementCurrentSamplerate_m_s(ModelGraph::INPUT_A);
    // The recorders and the dispatcher wired as the controller window wires them.
    QCurve curve(ModelGraph::INPUT_A);
    WorkerRecorderObject a(ModelGraph::INPUT_A, &curve), master(ModelGraph::MASTER, nullptr);
    DeviceObject dispatcher;
    connect(&dispatcher, &DeviceObject::s_SampleA, &a, &WorkerRecorderObject::load);
    connect(&dispatcher, &DeviceObject::s_SampleMaster, &master, &WorkerRecorderObject::load);
    // The run chain: descriptors, streams opened, count-in over (or not), receiver initialised, start.
    const auto start = [&](bool synchronised) {
        dispatcher.controllerDevices();
        dispatcher.run();
        synchronised ? mode()->modeStartSynchronized_on() : mode()->modeStartSynchronized_off();
        a.timecodeInitialise();
        a.record();
        master.record();
    };
    start(true);
    QVERIFY(a.isOpen() && master.isOpen());
    QTRY_VERIFY_WITH_TIMEOUT(framesCounted() >= fileFrames + SILENCE &&
                                 master.recording()->size() >= 2 * (fileFrames + SILENCE),
                             60000);
    a.stop();
    master.stop();

    const qint64 counted = qint64(framesCounted());
    const QString pathA = recorded(false), pathMaster = recorded(true);
    const QByteArray dataA = wavData(pathA), dataMaster = wavData(pathMaster);
    QCOMPARE(dataA.size(), 4 * counted);
    QVERIFY(dataA ==
            pairBytes(fileFrames, counted, [&](qint64 f, int right) { return signal.pcm()[2 * f + right]; }));
    QVERIFY(dataMaster.size() >= 4 * (fileFrames + SILENCE));
    QVERIFY(dataMaster == pairBytes(fileFrames, dataMaster.size() / 4, masterSample));

    // One point every 147 frames (300 a second); the record travels forwards for the first half second
    // and backwards for the second, by the distance the motion gives (2 % for the decoder's settling).
    QList<QData> live(curve.curveGlobal()->size());
    curve.curveGlobal()->copyRange(0, int(live.size()), live.data());
    QCOMPARE(live.size(), qsizetype((counted - 1) / 147 + 1));
    const double rate = signal.sampleRate();
    const auto at = [&](double seconds) { return live[qsizetype(seconds * rate / 147)].y(); };
    const double travel = 0.35 * 1000.0 * rate / (rate + 1000.0);
    QVERIFY2(qAbs((at(0.45) - at(0.1)) / travel - 1.0) < 0.02, qPrintable(QString::number(at(0.45))));
    QVERIFY2(qAbs((at(0.6) - at(0.95)) / travel - 1.0) < 0.02, qPrintable(QString::number(at(0.95))));
    for (const QData& p : live) {
        const double t = p.samplerate() / rate;
        if ((t >= 0.1 && t <= 0.45) || (t >= 0.6 && t <= 0.95))
            QCOMPARE(p.rotation(), t < 0.5 ? ModelRotation::FORWARD : ModelRotation::BACK);
    }

    // A second run, its count-in never over, decodes and records nothing, and without a new folder from
    // the recorder toggle still writes into a new one: the first run's files stay as they were.
    start(false);
    QTest::qWait(300);
    a.stop();
    master.stop();
    QCOMPARE(curve.curveGlobal()->size(), live.size());
    QCOMPARE(framesCounted(), double(counted));
    QVERIFY(recordingFolder() != QFileInfo(pathA).path());
    QCOMPARE(wavData(recorded(false)), QByteArray());
    QCOMPARE(wavData(recorded(true)), QByteArray());
    QVERIFY(wavData(pathA) == dataA && wavData(pathMaster) == dataMaster);
}

// Loads that open nothing, loads twice, stops without loads, in and out of recorder mode: PortAudio is
// initialised exactly while a stream is open, and a WAV appears only for a stream opened in recorder mode,
// also for a take that a second load replaced before any stop. A take that cannot be written (a file
// stands where the recording folder goes) is reported with its path, never dropped silently.
void TestWorkerRecorderObject::twentyCycles() {
    const std::shared_ptr<const QSample> real = registry()->sampleA();
    QVERIFY(real);
    const int id = real->deviceID(), channels = real->channels();
    const auto made = [&](int deviceID, const QString& name, int frame, int pos) {
        return std::make_shared<const QSample>(ModelGraph::INPUT_A, deviceID, name, real->samplerate(), frame,
                                               pos);
    };
    const char* const capture = AlsaTestConfig::CAPTURE_DEVICE;
    // Only the first opens: then no device name, a name the index no longer has, an index past the list,
    // an incomplete last pair, a negative pair, no descriptor.
    const std::shared_ptr<const QSample> samples[] = {real,
                                                      made(id, QString(), channels, PAIR_A),
                                                      made(id, "gone", channels, PAIR_A),
                                                      made(id + 1000, capture, channels, 0),
                                                      made(id, capture, channels - 1, channels / 2 - 1),
                                                      made(id, capture, channels, -1),
                                                      nullptr};
    QCurve curve(ModelGraph::INPUT_A);
    WorkerRecorderObject worker(ModelGraph::INPUT_A, &curve);
    WorkerRecorderObject never(ModelGraph::INPUT_B, nullptr);
    QSignalSpy failed(&worker, &WorkerRecorderObject::s_WriteFailed);
    for (int cycle = 0; cycle < 20; ++cycle) {
        const std::shared_ptr<const QSample>& sample = samples[cycle % 7];
        const bool opens = sample == real, recorder = cycle % 3 != 1, blocked = cycle % 5 == 0;
        recorder ? mode()->modeRecorder_on() : mode()->modeRecorder_off();
        cycle % 2 ? mode()->modeStartSynchronized_on() : mode()->modeStartSynchronized_off();
        QFile::remove(recordingFolder());
        QDir(recordingFolder()).removeRecursively();
        if (blocked) {
            QFile file(recordingFolder());
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        failed.clear();
        const bool replaced = cycle % 4 == 0 && recorder;
        if (cycle % 4 == 0)
            worker.load(real); // replaced by the next load
        worker.load(sample);
        never.record();
        never.stop(); // must not end PortAudio under the other worker's stream
        QCOMPARE(worker.isOpen(), opens);
        QCOMPARE(Pa_GetDeviceCount() > 0, opens);
        QCOMPARE(worker.recording() != nullptr, opens && recorder);
        worker.record();
        worker.stop();
        worker.stop();
        QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
        const int takes = (opens && recorder) + replaced;
        QCOMPARE(QDir(recordingFolder()).entryList(QDir::Files),
                 takes && !blocked ? QStringList{real->filename()} : QStringList());
        QCOMPARE(failed.size(), blocked ? takes : 0);
        for (const QList<QVariant>& failure : failed)
            QVERIFY(failure[0] == recordingFolder() + "/" + real->filename() &&
                    !failure[1].toString().isEmpty());
    }
    worker.load(real); // left open: the destructor aborts it
    QVERIFY(worker.isOpen());
}

QUILLON_TEST_MAIN(TestWorkerRecorderObject)
#include "tst_WorkerRecorderObject.moc"
