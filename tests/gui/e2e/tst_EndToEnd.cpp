// The whole application on the test sound devices: one scenario per process (the CTest entries pass
// its name). Input A's capture device plays a generated timecode record, the playback device's file is
// a pipe that lets the player's stream play a set number of frames per beat (PlaybackSink, BeatGate).
// The devices run far faster than real time, so the checks are on what was decoded, recorded and
// played, never on how long it took.
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

#include "AlsaTestConfig.h"
#include "Artifacts.h"
#include "CountInSteps.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "PlaybackSink.h"
#include "TimecodeSignal.h"
#include "XvfbServer.h"
#include "core/Constant.h"
#include "core/ManageWAV.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/QCurve.h"
#include "core/QDeviceRegEx.h"
#include "core/Performance.h"
#include "core/QSample.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/audio/WorkerRecorderObject.h"
#include "core/library/LibrarySet.h"
#include "core/timecode/Timecoder.h"
#include "gui/Connection.h"
#include "gui/CountIn.h"
#include "gui/QWGridTool.h"
#include "gui/QWMenuDevice.h"
#include "gui/QWView.h"
#include "gui/graph/QWPainter.h"
#include "gui/library/QWMenuLooper.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBMidiLearn.h"
#include "gui/widgets/QBSelectInput.h"
#include "gui/widgets/QComboBoxBpm.h"
#include "gui/widgets/QComboBoxInputBuffer.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QBToggle.h"
#include "gui/widgets/QCustomSlider.h"

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void mainScenario();
    void noDevice();
    void secondRecordingKeepsTheFirst();
    void closingDuringRecording();
};

namespace {

constexpr int PAIR_A = 5;
constexpr int PAIR_MASTER = 2;
constexpr qint64 SILENCE = 16384;
// The player's stream plays this much sound per beat (5 s): more than the looper lasts at the set's
// tempo (2.8 s), so no click lands on it.
constexpr qint64 BEAT_FRAMES = 5 * 44100;
// What the stream may play before the run's start: its priming silence and a few buffers.
constexpr qint64 START_FRAMES = 8192;
constexpr double BEEP_PEAK = 22937;
constexpr double LOOPER_PEAK = 23332;

Singleton* registry() {
    return Singleton::instance();
}

Mode* mode() {
    return registry()->instanceMode();
}

struct Devices {
    QString inputA;
    QString master;
    QString output;
    int channels = 0;
    double rate = 0;
};

// The catalogue's texts for the test devices' pairs.
Devices catalogue() {
    Devices d;
    const QStringList in = registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]");
    const QStringList out = registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_OUTPUT).filter("[tc_playback]");
    if (in.size() <= PAIR_A || out.isEmpty())
        return d;
    d.inputA = in[PAIR_A];
    d.master = in[PAIR_MASTER];
    d.output = out[0];
    const QDeviceRegEx device(d.inputA);
    d.channels = device.channels();
    d.rate = device.samplerate();
    return d;
}

qint16 masterSample(qint64 frame, int right) {
    return qint16(frame % 30011 - 15000 + 7 * right);
}

// Normal speed forwards for `seconds`, on pair A of the capture file; the master pair a ramp; the other
// channels constants that are neither.
std::unique_ptr<TimecodeSignal> captureTimecode(const Devices& d, double seconds) {
    const Definition format = Timecoder().findDefinition("generic_V2");
    auto signal = std::make_unique<TimecodeSignal>(format, unsigned(d.rate));
    signal->setStart(format.length() / 2 + 0.375);
    signal->move(seconds, 1.0);
    signal->render();
    const TimecodeSignal& s = *signal;
    const auto sampleAt = [&s](qint64 f, int c) {
        return c / 2 == PAIR_A        ? s.pcm()[2 * f + c % 2]
               : c / 2 == PAIR_MASTER ? masterSample(f, c % 2)
                                      : qint16(1000 + 13 * c);
    };
    if (!AlsaTestConfig::writeCaptureFile(TestSandbox::alsaCaptureFile(), d.channels, s.frameCount(), sampleAt,
                                          SILENCE))
        return nullptr;
    return signal;
}

void configure(const Devices& d, bool output) {
    Setting* setting = registry()->instanceSetting();
    setting->setParamInput_A(d.inputA);
    setting->setParamInput_Master(d.master);
    setting->setParamOutput_Playback(output ? d.output : QString());
    setting->setParamTimecode("generic_V2");
}

QString recordingFolder() {
    return Path::joinRecording(registry()->instancePathFile()->pathDirectory_recording());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The data of a 16-bit stereo WAV file with the canonical 44-byte header; empty when it is not one.
QByteArray wavData(const QString& path) {
    const QByteArray bytes = readFile(path);
    if (bytes.size() < 44 || bytes.left(4) != "RIFF" || bytes.mid(36, 4) != "data" ||
        qFromLittleEndian<quint32>(bytes.constData() + 40) != quint32(bytes.size() - 44))
        return QByteArray();
    return bytes.mid(44);
}

// Every file of a folder with a digest of its bytes.
QMap<QString, QByteArray> digests(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files.insert(name, QCryptographicHash::hash(readFile(folder + "/" + name), QCryptographicHash::Sha256));
    return files;
}

QList<QData> points(const QWPainter* painter) {
    QListDataCurve* list = painter->curve_Main()->curveGlobal();
    QList<QData> out(list->size());
    list->copyRange(0, int(out.size()), out.data());
    return out;
}

// Runs of sound in the played signal, as (first frame, length, peak), split by at least 0.1 s of silence.
struct Burst {
    qsizetype start;
    qsizetype length;
    int peak;
};
QList<Burst> bursts(const QList<qint16>& samples, qsizetype gap) {
    QList<Burst> out;
    qsizetype quiet = gap;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        if (samples[i] == 0) {
            ++quiet;
            continue;
        }
        if (quiet >= gap)
            out.append({i, 0, 0});
        quiet = 0;
        out.last().length = i - out.last().start + 1;
        out.last().peak = qMax(out.last().peak, qAbs(int(samples[i])));
    }
    return out;
}

// Holds the player's stream to the metronome: a beat comes once the frames let through so far have
// played, and lets BEAT_FRAMES more through once its sounds are asked for. Where each click and each
// play of the looper lands in the sound follows from the beats alone, however the audio thread and the
// GUI's timers are scheduled: a starved stream makes the beats wait instead of landing on the looper.
class BeatGate : public QObject {
public:
    BeatGate(QTimer* metronome, PlaybackSink* sink) : m_sink(sink) {
        metronome->installEventFilter(this);
        // After the metronome's own receiver, which asks for the beat's sounds.
        connect(metronome, &QTimer::timeout, this, [sink] { sink->allow(BEAT_FRAMES); });
    }
    // Beats that came without their frames played: the stream had stopped.
    int early() const { return m_early; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Timer && !m_sink->waitForAllowed())
            ++m_early;
        return false;
    }

private:
    PlaybackSink* m_sink;
    int m_early = 0;
};

// The Looper panel's default row: pressed on the tool bar, as the user does.
void pressPlay(Connection& window) {
    QTest::mouseClick(window.view()->toolBar()->playButton(), Qt::LeftButton);
}

// The controls a run locks, each with whether it is enabled now.
QList<bool> lockedControls(Connection& window) {
    QWGridTool* toolBar = window.view()->toolBar();
    QWMenuDevice* settings = window.view()->settingsPanel();
    QList<bool> enabled;
    for (QWidget* w : std::initializer_list<QWidget*>{
             toolBar->inputSelector(), toolBar->recordToggle(), toolBar->beatCombo(), settings->timecodeCombo(),
             settings->inputACombo(), settings->inputBCombo(), settings->inputRecordingCombo(),
             settings->inputMidiCombo(), settings->learnButton(), settings->outputPlaybackCombo(),
             settings->inputBufferComboA(), settings->inputBufferComboB()})
        enabled << w->isEnabled();
    return enabled;
}

bool runFlagOn() {
    return mode()->modeTraining() || mode()->modeRun() || mode()->modeStartSynchronized() ||
           mode()->modeTrainingLock();
}

// Plays the default Looper row in recorder mode until its start chain ran, input A decoded and both
// takes hold a second of sound, then ends the run with `end`. The master's stream is a stream of its
// own: on a busy machine it may record well behind input A's.
void recordOneRun(Connection& window, const std::function<void()>& end) {
    QSignalSpy started(&window, &Connection::s_startTraining);
    pressPlay(window);
    QTRY_VERIFY_WITH_TIMEOUT(started.count() == 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(window.view()->painterA()->curve_Main()->curveGlobal()->size() > 1000, 10000);
    const auto recorded = [](const WorkerRecorderObject* recorder) {
        return recorder->recording() && recorder->recording()->size() > 2 * 44100;
    };
    QTRY_VERIFY_WITH_TIMEOUT(recorded(window.recorderA()) && recorded(window.recorderMaster()), 10000);
    end();
    QVERIFY(!runFlagOn());
}

} // namespace

// Recorder mode on, play the default Looper row, change the tempo to 200 once it runs, stop after a bar.
void TestEndToEnd::mainScenario() {
    AlsaTestConfig::silenceAlsa();
    const double seconds = 4.0;
    PlaybackSink sink(TestSandbox::alsaPlaybackFile(), 128, 0, START_FRAMES);
    QVERIFY(sink.isOpen());
    const Devices devices = catalogue();
    QVERIFY(!devices.inputA.isEmpty());
    const std::unique_ptr<TimecodeSignal> signal = captureTimecode(devices, seconds);
    QVERIFY(signal);
    configure(devices, true);

    ModalDriver modal;
    Connection window;
    // Also on a failed check: the player's stream ends only once the pipe lets it.
    const auto releaseSink = qScopeGuard([&sink] { sink.release(); });
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWView* view = window.view();
    QWGridTool* toolBar = view->toolBar();
    QTest::mouseClick(toolBar->metronomeToggle(), Qt::LeftButton);
    QTest::mouseClick(toolBar->recordToggle(), Qt::LeftButton);
    QVERIFY(mode()->modeRecorder() && mode()->modeMetronom());
    BeatGate gate(window.metronomeTimer(), &sink);
    // After the start chain, connected earlier: the looper is asked for before the stream plays on.
    connect(&window, &Connection::s_startTraining, &gate, [&sink] { sink.allow(BEAT_FRAMES); });

    QSignalSpy runs(mode(), &Mode::s_RunApp);
    QSignalSpy started(&window, &Connection::s_startTraining);
    QSignalSpy beats(&window, &Connection::s_metronum);
    QSignalSpy bars(&window, &Connection::s_metronum_All4);
    QSignalSpy recordings(view, &QWView::s_NewRecording);
    const qsizetype rows = view->recordingPanel()->rows().size();
    const QList<bool> allEnabled(12, true);
    QCOMPARE(lockedControls(window), allEnabled);

    // The count-in: tags 4 to 0 a beat apart, then exactly one start. Each tag is read right after its
    // step; the hooks are set once the run chain, connected earlier, has scheduled the steps.
    QList<int> tags;
    QObject watcher; // the hooks go with it
    connect(mode(), &Mode::s_RunApp, &watcher, [&] {
        CountInSteps::after(window.countIn(), -1, &watcher, [&] { tags << view->painterA()->tagNumber(); });
    });
    pressPlay(window);
    QTRY_COMPARE(runs.count(), 1);
    QCOMPARE(lockedControls(window), QList<bool>(12, false));
    QTRY_VERIFY_WITH_TIMEOUT(started.count() > 0, 10000);
    QCOMPARE(tags, (QList<int>{4, 3, 2, 1, 0}));
    QCOMPARE(view->painterB()->tagNumber(), 0);

    // The user drags the tempo to 200 during the run, the looper's first play over (the stream waits for
    // the first beat); the metronome follows at once.
    QVERIFY(sink.waitForAllowed());
    QCustomSlider* tempo = view->settingsPanel()->tempoSlider();
    tempo->setSliderDown(true);
    tempo->setValue(200);
    tempo->setSliderDown(false);
    QCOMPARE(window.metronomeTimer()->interval(), 300);

    QTRY_VERIFY_WITH_TIMEOUT(beats.count() >= 2 && view->painterA()->curve_Main()->curveGlobal()->size() > 1000,
                             10000);
    QTest::qWait(100);
    const QImage live = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QVERIFY(!Artifacts::save(live, "end-to-end-live-curve").isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(beats.count() >= 5, 10000);

    // The last beat's sounds play out; the stop then needs the stream free to end.
    QVERIFY(sink.waitForAllowed());
    QCOMPARE(gate.early(), 0);
    sink.release();
    pressPlay(window);
    QVERIFY(!runFlagOn());
    QCOMPARE(lockedControls(window), allEnabled);
    const qsizetype ticks = beats.count();
    QCOMPARE(started.count(), 1);
    QCOMPARE(bars.count(), ticks / 4);
    QTest::qWait(700);
    QCOMPARE(beats.count(), ticks);

    // Input A decoded the record: frames in order, forwards at normal speed, roughly 200 degrees a second
    // of the signal's own time (the relative reckoning reads about 2 % low at 44.1 kHz); input B was
    // not used.
    const QList<QData> live_ = points(view->painterA());
    QVERIFY(live_.size() > 1000);
    QCOMPARE(view->painterB()->curve_Main()->curveGlobal()->size(), 0);
    // The first point is the restart's frame 0 and every point follows one step after the one before:
    // none is left from before the restart, none comes twice, the time base restarted once.
    const qint32 step = live_[1].samplerate();
    QCOMPARE(live_[0].samplerate(), 0);
    QVERIFY(step > 0);
    for (qsizetype i = 1; i < live_.size(); ++i)
        QVERIFY2(live_[i].samplerate() == live_[i - 1].samplerate() + step,
                 qPrintable(QString("point %1 at frame %2 after %3")
                                .arg(i)
                                .arg(live_[i].samplerate())
                                .arg(live_[i - 1].samplerate())));
    const auto at = [&](double t) {
        const auto it = std::lower_bound(live_.begin(), live_.end(), t * devices.rate,
                                         [](const QData& p, double s) { return p.samplerate() < s; });
        return *it;
    };
    const double speed = (at(3.5).targetPosition() - at(0.5).targetPosition()) / 3.0;
    QVERIFY2(qAbs(speed / 200.0 - 1.0) < 0.05, qPrintable(QString::number(speed)));
    for (double t = 0.5; t < 3.5; t += 0.25)
        QCOMPARE(at(t).rotation(), ModelRotation::FORWARD);

    // The export: announced once, a new row, the WAVs exactly what the callbacks saw, the curve file
    // with every live point, a header the library reads back.
    QCOMPARE(recordings.count(), 1);
    QCOMPARE(view->recordingPanel()->rows().size(), rows + 1);
    const PathFile* files = registry()->instancePathFile();
    const QString folder = recordingFolder();
    const QByteArray dataA = wavData(folder + "/" + files->filenameSound_a() + ".wav");
    const qint64 frames = qint64(registry()->instanceTime()->currentSamplerate_m_s(ModelGraph::INPUT_A));
    QCOMPARE(dataA.size(), 4 * frames);
    QVERIFY(live_.last().samplerate() < frames && frames - live_.last().samplerate() <= step);
    QVERIFY(dataA.size() > 4 * signal->frameCount());
    QVERIFY(dataA.left(4 * signal->frameCount()) ==
            QByteArray(reinterpret_cast<const char*>(signal->pcm().constData()), 4 * signal->frameCount()));
    const QByteArray dataMaster = wavData(folder + "/" + files->filenameSound_master() + ".wav");
    QVERIFY(dataMaster.size() > 4 * signal->frameCount());
    for (qint64 f : {qint64(0), qint64(12345), signal->frameCount() - 1})
        QCOMPARE(qFromLittleEndian<qint16>(dataMaster.constData() + 4 * f + 2), masterSample(f, 1));
    const QByteArray curve = readFile(folder + "/" + files->filenameSound_a() + ".qlw");
    QVERIFY(curve.size() >= 8);
    QCOMPARE(qFromLittleEndian<qint32>(curve.constData() + 4), qint32(live_.size()));
    const QStringList headers = QDir(folder).entryList({"Recording_*.qlt"});
    QCOMPARE(headers.size(), 1);
    const QLooper header = LibrarySet::readTrainingFile(folder + "/" + headers[0], "Recording", true);
    QVERIFY(!header.isNull());
    QCOMPARE(QFileInfo(header.path_sound_a()).fileName(), files->filenameSound_a() + ".wav");
    QCOMPARE(QFileInfo(header.path_sound_looper()).fileName(), files->filenameSound_master() + ".wav");

    // What the player played, a sound per beat apart: the looper (about half its peak at volume 50),
    // then a click of the metronome's 50 ms beep on each beat, the looper again with each bar's click.
    const QList<Burst> played = bursts(sink.left(), 4410);
    QCOMPARE(played.size(), 1 + ticks);
    for (qsizetype k = 0; k <= ticks; ++k) {
        const Burst& b = played[k];
        bool expected = b.length > 40000;
        if (k == 0)
            expected = expected && qAbs(b.peak / LOOPER_PEAK - 0.5) < 0.05;
        else if (k % 4 != 0)
            expected = qAbs(b.length - 2205) < 200 && qAbs(b.peak / BEEP_PEAK - 0.5) < 0.05;
        const QString found = QString("sound %1: %2 frames, peak %3").arg(k).arg(b.length).arg(b.peak);
        QVERIFY2(expected, qPrintable(found));
    }
    QCOMPARE(modal.messages(), QStringList());
}

// Without any device a run still counts in, ticks and stops; its time axis starts with the run, the
// painter asking for that once; a stop during the count-in leaves no run flag on and no start to come.
void TestEndToEnd::noDevice() {
    ModalDriver modal;
    Connection window;
    window.show();
    QSignalSpy started(&window, &Connection::s_startTraining);
    QSignalSpy beats(&window, &Connection::s_metronum);
    QSignalSpy asked(window.view()->painterA(), &QWPainter::s_InitStart);
    // The start chain has run when this receiver comes, and no display tick of the run yet.
    QElapsedTimer sinceStart;
    qsizetype askedBefore = -1;
    connect(&window, &Connection::s_startTraining, &window, [&] {
        sinceStart.start();
        askedBefore = asked.count();
    });
    pressPlay(window);
    QTRY_VERIFY_WITH_TIMEOUT(started.count() == 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(beats.count() >= 2, 5000);
    // The time shown is at most the time since the start, not since the application started.
    const std::shared_ptr<const QSample> sample = registry()->instancePerformance()->inputSample(ModelGraph::INPUT_A);
    QVERIFY(sample && sample->samplerateInMs() > 0);
    const double shown = registry()->instanceTime()->currentSamplerate(ModelGraph::INPUT_A);
    const double bound = sinceStart.nsecsElapsed() / 1e6 * sample->samplerateInMs();
    QVERIFY2(shown > 0 && shown <= bound, qPrintable(QString("%1 of at most %2").arg(shown).arg(bound)));
    QCOMPARE(asked.count() - askedBefore, 1);
    pressPlay(window);
    QVERIFY(!runFlagOn());

    pressPlay(window);
    QTRY_VERIFY_WITH_TIMEOUT(mode()->modeTraining(), 5000);
    QTest::qWait(500);
    mode()->modeTraining_off();
    QVERIFY(!runFlagOn());
    QTest::qWait(3000);
    QCOMPARE(started.count(), 1);
    QVERIFY(!runFlagOn());
    QCOMPARE(modal.messages(), QStringList());
}

// A second recorder-mode run writes a set of its own and leaves every file of the first as it was.
void TestEndToEnd::secondRecordingKeepsTheFirst() {
    AlsaTestConfig::silenceAlsa();
    const Devices devices = catalogue();
    QVERIFY(captureTimecode(devices, 1.0));
    configure(devices, false);
    ModalDriver modal;
    Connection window;
    window.show();
    QTest::mouseClick(window.view()->toolBar()->recordToggle(), Qt::LeftButton);
    recordOneRun(window, [&] { pressPlay(window); });
    const QString first = recordingFolder();
    const QMap<QString, QByteArray> before = digests(first);
    QVERIFY(before.size() >= 4);

    // A run stopped during its count-in (the second press posted as soon as the run is asked for, so it
    // comes before any step) records nothing: no take, no curve, no folder, no set.
    QSignalSpy recordings(window.view(), &QWView::s_NewRecording);
    const auto folders = [] {
        return QDir(Path::joinRecording(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    };
    const QStringList folderList = folders();
    bool counting = false;
    const QMetaObject::Connection again = QObject::connect(mode(), &Mode::s_RunApp, &window, [&] {
        QMetaObject::invokeMethod(
            &window,
            [&] {
                counting = window.countIn()->isPending();
                pressPlay(window);
            },
            Qt::QueuedConnection);
    });
    QTest::ignoreMessage(QtInfoMsg, "Nothing was recorded in this run: no recording is added to the library.");
    pressPlay(window);
    QTRY_VERIFY(counting && !runFlagOn());
    QObject::disconnect(again);
    QCOMPARE(recordings.count(), 0);
    QVERIFY(recordingFolder() != first && !QFileInfo::exists(recordingFolder()));
    QCOMPARE(folders(), folderList);

    recordOneRun(window, [&] { pressPlay(window); });
    QVERIFY(recordingFolder() != first);
    QVERIFY(digests(recordingFolder()).size() >= 4);
    QCOMPARE(digests(first), before);
    QCOMPARE(modal.messages(), QStringList());
}

// Closing the window during a recorder-mode run stops it first, and so does destroying it: the takes
// and the set are written each time. The user's name is longer than a file name may be in UTF-8: the
// header keeps it whole, and the library lists the set at the next start.
void TestEndToEnd::closingDuringRecording() {
    AlsaTestConfig::silenceAlsa();
    const Devices devices = catalogue();
    QVERIFY(captureTimecode(devices, 1.0));
    configure(devices, false);
    const QString user = QString::fromUtf8("ターンテーブルでスクラッチを練習する").repeated(5).left(78);
    registry()->instanceSetting()->setParamName(user);
    ModalDriver modal;
    auto window = std::make_unique<Connection>();
    window->show();
    QTest::mouseClick(window->view()->toolBar()->recordToggle(), Qt::LeftButton);
    const auto checkSet = [&user] {
        const QString folder = recordingFolder();
        const PathFile* files = registry()->instancePathFile();
        QVERIFY(wavData(folder + "/" + files->filenameSound_a() + ".wav").size() > 4 * 44100);
        QVERIFY(wavData(folder + "/" + files->filenameSound_master() + ".wav").size() > 4 * 44100);
        const QStringList headers = QDir(folder).entryList({"Recording_*.qlt"});
        QCOMPARE(headers.size(), 1);
        const QList<QLooper> listed = LibrarySet::scan("Recording");
        QVERIFY(std::any_of(listed.cbegin(), listed.cend(), [&](const QLooper& set) {
            return set.filename() == folder + "/" + headers[0] && set.author() == user;
        }));
    };
    QSignalSpy recordings(window->view(), &QWView::s_NewRecording);
    recordOneRun(*window, [&] { window->close(); });
    QCOMPARE(recordings.count(), 1);
    checkSet();
    const QString first = recordingFolder();

    window->show();
    recordOneRun(*window, [&] { window.reset(); });
    QVERIFY(recordingFolder() != first);
    checkSet();
    QCOMPARE(modal.messages(), QStringList());
}

// The main scenario runs on a private X server when asked, so its screenshot is a real window's.
int main(int argc, char** argv) {
    return TestSandbox::run(argc, argv, [](int argc, char** argv) {
        XvfbServer display;
        if (qEnvironmentVariableIsSet("QUILLON_TEST_XVFB")) {
            QString error;
            if (!display.startForQt(&error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 2;
            }
        } else {
            GuiTest::useDesktopScreen();
        }
        QApplication app(argc, argv);
        GuiTest::applyAppearance();
        TestEndToEnd tc;
        return QTest::qExec(&tc, argc, argv);
    });
}

#include "tst_EndToEnd.moc"
