// The catalogue's listing rules over made-up device records, then once over PortAudio on the test
// devices; the stream factories that match stored choices against it; the dispatcher's emissions for the
// input selections and modes, on choices stored for the test devices; and the recorders on real input
// streams of the test capture device: a generated timecode record in one pair of the device's frame and a
// known pattern in another, run through the dispatcher as a recorder-mode run does, then loads that open
// nothing, in cycles.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
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
#include "core/SettingMixer.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/audio/DeviceCatalogue.h"
#include "core/audio/DeviceObject.h"
#include "core/audio/WorkerRecorderObject.h"
#include "core/timecode/Timecoder.h"

using Device = DeviceCatalogue::Device;
using Devices = QList<Device>;
Q_DECLARE_METATYPE(Devices)

namespace {

// The test device `name` as PortAudio itself lists it now; index -1 when it does not.
Device paDevice(const char* name) {
    Device found{-1, name};
    if (Pa_Initialize() != paNoError)
        return found;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && QByteArray(info->name) == name)
            found = {i, name, 0, info->maxInputChannels, info->maxOutputChannels, info->defaultSampleRate};
    }
    Pa_Terminate();
    return found;
}

// The test devices sit on host-API index 0, which the fixed name list calls "InDevelopment".
QString text(const Device& d, int channels, int pos, const QString& label) {
    return QStringLiteral("%1-[%2]-%3/%4p%5-InDevelopment-%6")
        .arg(QString::number(d.index), d.name, QString::number(int(d.defaultSampleRate)),
             QString::number(channels), QString::number(pos), label);
}

Singleton* registry() {
    return Singleton::instance();
}

QStringList listing(ModelAudioDeviceInfo::EnumAudioDeviceInfo direction) {
    return registry()->devicesAudio(direction);
}

constexpr int PAIR_A = 5;
constexpr int PAIR_MASTER = 2;
constexpr qint64 SILENCE = 8192;

// Half a second forwards, then half a second backwards, at the capture device's rate.
std::unique_ptr<TimecodeSignal> g_signal;

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
    return bytes.left(44) == TestFiles::wavFile(bytes.mid(44), g_signal->sampleRate()).left(44)
               ? bytes.mid(44)
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

// Input A on the capture device's pair PAIR_A (decoding generic_V2) and the master on PAIR_MASTER, as a
// recorder-mode run of input A.
void recordFromCapture() {
    const QStringList capture =
        registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]");
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

} // namespace

class TestDevices : public QObject {
    Q_OBJECT

private slots:
    // The map is written before the registry reads it. The catalogue lists a device's positions in order. The
    // capture device plays the recorders' record and pattern.
    void initTestCase() {
        AlsaTestConfig::silenceAlsa();
        QVERIFY(TestFiles::write(Path::joinInput("MixerMac.ini"),
                                 "[Quad]\ninputA=0\ninputB=1\noutputA=0\noutputB=2\n[Duo]\ninputA=0\n"
                                 "[Odd]\ninputB=x\ninputMaster=0\n[tc_capture]\ninputA=1\ninputMaster=2\n"));
        const QStringList in = listing(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]");
        const QStringList out = listing(ModelAudioDeviceInfo::AUDIO_OUTPUT).filter("[tc_playback]");
        QVERIFY(in.size() > PAIR_A && !out.isEmpty());
        m_entry = {in[0], in[1], in[2], out[0]};
        const QDeviceRegEx device(in[PAIR_A]);

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
    }

    // Expected entries joined by '|'; the leading empty entry (no device) makes them start with '|'.
    void listingRules_data() {
        QTest::addColumn<Devices>("devices");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("expected");
        const int in = ModelAudioDeviceInfo::AUDIO_INPUT, out = ModelAudioDeviceInfo::AUDIO_OUTPUT;
        const auto d = [](int index, const char* name, int host, int inputs, int outputs,
                          double rate = 48000.0) { return Device{index, name, host, inputs, outputs, rate}; };
        const QString alsa = "|----- ALSA -----|";
        QTest::newRow("no device") << Devices{} << in << "";
        QTest::newRow("fewer than 2 channels")
            << Devices{d(0, "Mono", 8, 1, 0), d(1, "O", 8, 0, 2)} << in << "";
        QTest::newRow("known and unknown 2 channels")
            << Devices{d(3, "Duo", 0, 2, 2, 44100.9), d(4, "Mic", 0, 2, 0)} << in
            << "|----- InDevelopment "
               "-----|3-[Duo]-44100/2p0-InDevelopment-|4-[Mic]-48000/2p0-InDevelopment-TBD";
        // A host index outside the name list reads "N/A".
        QTest::newRow("one header per run of one host")
            << Devices{d(0, "a", 8, 2, 0), d(1, "b", 8, 2, 0), d(2, "c", 12, 2, 0), d(3, "d", 8, 2, 0),
                       d(4, "e", 15, 2, 0)}
            << in
            << alsa +
                   "0-[a]-48000/2p0-ALSA-TBD|1-[b]-48000/2p0-ALSA-TBD|----- JACK "
                   "-----|2-[c]-48000/2p0-JACK-TBD" +
                   alsa + "3-[d]-48000/2p0-ALSA-TBD|----- N/A -----|4-[e]-48000/2p0-N/A-TBD";
        QTest::newRow("5-channel input: complete pairs")
            << Devices{d(1, "Quad", 8, 5, 0)} << in
            << alsa + "1-[Quad]-48000/5p0-ALSA-Input A|1-[Quad]-48000/5p1-ALSA-Input B";
        // inputB's "x" reads 0 and, coming first, wins position 0 over inputMaster.
        QTest::newRow("non-number reads 0, first key wins")
            << Devices{d(2, "Odd", 8, 4, 0)} << in
            << alsa + "2-[Odd]-48000/4p0-ALSA-Input B|2-[Odd]-48000/4p1-ALSA-TBD";
        QTest::newRow("3-channel output: complete pairs")
            << Devices{d(0, "Tri", 8, 0, 3)} << out << alsa + "0-[Tri]-48000/3p0-ALSA-TBD";
        QTest::newRow("5-channel output: first channel of each pair")
            << Devices{d(5, "Quad", 8, 4, 5)} << out
            << alsa + "5-[Quad]-48000/5p0-ALSA-Output A|5-[Quad]-48000/5p2-ALSA-Output B";
    }

    void listingRules() {
        QFETCH(Devices, devices);
        QFETCH(int, direction);
        const auto enumDirection = ModelAudioDeviceInfo::EnumAudioDeviceInfo(direction);
        QTEST(DeviceCatalogue::list(devices, enumDirection, SettingMixer()).join('|'), "expected");
    }

    // Labels come from the map; every listing leaves PortAudio terminated, so the capture device, gone
    // with its file, is back in the next listing once the file is.
    void realDevices() {
        const Device capture = paDevice(AlsaTestConfig::CAPTURE_DEVICE);
        const Device playback = paDevice(AlsaTestConfig::PLAYBACK_DEVICE);
        const int in = capture.maxInputChannels, out = playback.maxOutputChannels;
        QVERIFY(capture.index >= 0 && playback.index >= 0 && in >= 6);

        const QStringList inputs = listing(ModelAudioDeviceInfo::AUDIO_INPUT);
        QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
        QCOMPARE(inputs.mid(0, 2), (QStringList{"", "----- InDevelopment -----"}));
        const QStringList pairs{text(capture, in, 0, "TBD"), text(capture, in, 1, "Input A"),
                                text(capture, in, 2, "Master")};
        QCOMPARE(inputs.mid(inputs.indexOf(pairs[0]), 3), pairs);
        QVERIFY(inputs.contains(text(capture, in, in / 2 - 1, "TBD")));
        QVERIFY(!inputs.contains(text(capture, in, in / 2, "TBD")));
        QVERIFY(listing(ModelAudioDeviceInfo::AUDIO_OUTPUT).contains(text(playback, out, out - 2, "TBD")));
        QVERIFY(QFile::rename(TestSandbox::alsaCaptureFile(), TestSandbox::alsaCaptureFile() + ".away"));
        QVERIFY(!listing(ModelAudioDeviceInfo::AUDIO_INPUT).contains(pairs[0]));
        QVERIFY(QFile::rename(TestSandbox::alsaCaptureFile() + ".away", TestSandbox::alsaCaptureFile()));
        QVERIFY(listing(ModelAudioDeviceInfo::AUDIO_INPUT).contains(pairs[0]));
    }

    // Each factory: an exact catalogue entry gives the descriptor it describes, and a recording input stores
    // its WAV name; the same entry with another index or rate gives null and leaves the name alone.
    void factories() {
        Singleton* r = registry();
        Setting* setting = r->instanceSetting();
        const PathFile* files = r->instancePathFile();
        const Device in = paDevice(AlsaTestConfig::CAPTURE_DEVICE),
                     out = paDevice(AlsaTestConfig::PLAYBACK_DEVICE);
        const QString input = text(in, in.maxInputChannels, 3, "TBD"),
                      output = text(out, out.maxOutputChannels, 4, "TBD");
        setting->setParamInput_A(input);
        setting->setParamInput_B(input);
        setting->setParamInput_Master(input);
        setting->setParamOutput_Playback(output);
        const std::shared_ptr<const QSample> made[] = {r->sampleA(), r->sampleB(), r->sampleMaster(),
                                                       r->samplePlayback()};
        const QString names[] = {files->filenameSound_a() + ".wav", files->filenameSound_b() + ".wav",
                                 files->filenameSound_master() + ".wav", QString()};
        const ModelGraph::EnumGraph tags[] = {ModelGraph::INPUT_A, ModelGraph::INPUT_B, ModelGraph::MASTER,
                                              ModelGraph::PLAYBACK};
        for (int i = 0; i < 4; ++i) {
            QVERIFY(made[i]);
            QCOMPARE(made[i]->tag(), tags[i]);
            const QSample& s = *made[i];
            QCOMPARE(text(Device{s.deviceID(), s.deviceName(), 0, 0, 0, s.samplerate()}, s.channels(),
                          s.pos(), "TBD"),
                     i < 3 ? input : output);
            QCOMPARE(s.filename(), names[i]);
        }
        for (const auto& [index, rate] :
             {std::pair{in.index + 7, in.defaultSampleRate}, {in.index, in.defaultSampleRate + 1}}) {
            setting->setParamInput_A(
                text(Device{index, in.name, 0, 0, 0, rate}, in.maxInputChannels, 3, "TBD"));
            QVERIFY(!r->sampleA());
        }
        QCOMPARE(files->filenameSound_a() + ".wav", names[0]);
    }

    // `configured` names the devices chosen: A, B, M(aster), O(utput); the others hold a stale choice (its
    // index moved), which gives the deviceless default. `emitted` names the signals sent.
    void emissions_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("configured");
        QTest::addColumn<bool>("recorder");
        QTest::addColumn<QString>("emitted");
        using I = ModelInput::EnumInput;
        QTest::newRow("A missing, TEXT_A") << int(I::TEXT_A) << "BMO" << false << "";
        QTest::newRow("TEXT_A") << int(I::TEXT_A) << "ABMO" << false << "AO";
        QTest::newRow("TEXT_B") << int(I::TEXT_B) << "ABMO" << false << "BO";
        QTest::newRow("TEXT_A_B, only B") << int(I::TEXT_A_B) << "BO" << false << "BO";
        QTest::newRow("TEXT_A_B, no output") << int(I::TEXT_A_B) << "ABM" << false << "AB";
        QTest::newRow("recorder mode, only a master") << int(I::TEXT_A) << "MO" << true << "M";
        QTest::newRow("recorder mode, all") << int(I::TEXT_A_B) << "ABMO" << true << "ABMO";
        QTest::newRow("UNDEFINED") << int(I::UNDEFINED) << "ABMO" << false << "";
        QTest::newRow("UNDEFINED, recorder mode") << int(I::UNDEFINED) << "ABMO" << true << "M";
    }

    void emissions() {
        QFETCH(int, selection);
        QFETCH(QString, configured);
        QFETCH(bool, recorder);
        QFETCH(QString, emitted);
        Singleton* r = registry();
        void (Setting::*const choose[])(const QString&) = {
            &Setting::setParamInput_A, &Setting::setParamInput_B, &Setting::setParamInput_Master,
            &Setting::setParamOutput_Playback};
        for (int i = 0; i < 4; ++i)
            (r->instanceSetting()->*choose[i])(configured.contains("ABMO"[i]) ? m_entry[i]
                                                                              : "9" + m_entry[i]);
        r->instanceMode()->setInputText(ModelInput::EnumInput(selection));
        recorder ? r->instanceMode()->modeRecorder_on() : r->instanceMode()->modeRecorder_off();

        DeviceObject dispatcher;
        dispatcher.controllerDevices();
        const Performance* performance = r->instancePerformance();
        using Sample = std::shared_ptr<const QSample>;
        // Stale choices install the deviceless default, never null.
        const Sample installed[] = {performance->inputSample(ModelGraph::INPUT_A),
                                    performance->inputSample(ModelGraph::INPUT_B), nullptr,
                                    performance->outputSample()};
        QVERIFY(installed[0] && installed[1] && installed[3]);
        QSignalSpy spies[] = {QSignalSpy(&dispatcher, &DeviceObject::s_SampleA),
                              QSignalSpy(&dispatcher, &DeviceObject::s_SampleB),
                              QSignalSpy(&dispatcher, &DeviceObject::s_SampleMaster),
                              QSignalSpy(&dispatcher, &DeviceObject::s_SamplePlayBack)};
        dispatcher.run();

        // The installed descriptors themselves go out; the master's is made at the run and names its WAV.
        QString sent;
        for (int i = 0; i < 4; ++i) {
            sent += QString(spies[i].size(), QLatin1Char("ABMO"[i]));
            const Sample out = spies[i].isEmpty() ? nullptr : spies[i][0][0].value<Sample>();
            if (out && i == 2)
                QCOMPARE(out->filename(), r->instancePathFile()->filenameSound_master() + ".wav");
            else if (out)
                QCOMPARE(out, installed[i]);
        }
        QCOMPARE(sent, emitted);
    }

    // A run in recorder mode replaces a recording folder already on disk by an unused name before anything
    // goes out, even when the folder was named (by the recorder toggle) and created within the same
    // millisecond: names are stamped to the millisecond.
    void recorderRunNeverReusesAFolder() {
        Singleton* r = registry();
        PathFile* files = r->instancePathFile();
        r->instanceSetting()->setParamInput_Master(m_entry[2]);
        r->instanceMode()->modeRecorder_on();
        DeviceObject dispatcher;
        QString atEmission;
        connect(&dispatcher, &DeviceObject::s_SampleMaster, this,
                [&] { atEmission = files->pathDirectory_recording(); });
        for (int run = 0; run < 3; ++run) {
            files->newPathDirectory_recording();
            const QString used = files->pathDirectory_recording();
            files->createPathDirectory_recording();
            dispatcher.run();
            QVERIFY(atEmission != used && !QFileInfo::exists(Path::joinRecording(atEmission)));
        }
    }

    // Input A decodes and records its pair, the master records its own without a receiver; each WAV holds
    // exactly the frames its callback saw: the file's pair, then the silence that follows it. A count left
    // from an earlier run must not survive into this one.
    void recordedRuns() {
        recordFromCapture();
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
        QVERIFY(dataA == pairBytes(fileFrames, counted,
                                   [&](qint64 f, int right) { return signal.pcm()[2 * f + right]; }));
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

        // A second run, its count-in never over, decodes and records nothing, so it writes no file and makes
        // no folder (it would get a new one without the recorder toggle): the first run's files stay.
        start(false);
        QTest::qWait(300);
        a.stop();
        master.stop();
        QCOMPARE(curve.curveGlobal()->size(), live.size());
        QCOMPARE(framesCounted(), double(counted));
        QVERIFY(recordingFolder() != QFileInfo(pathA).path());
        QVERIFY(!QFileInfo::exists(recordingFolder()));
        QVERIFY(wavData(pathA) == dataA && wavData(pathMaster) == dataMaster);
    }

    // Loads that open nothing, loads twice, stops without loads, in and out of recorder mode, before and
    // after the count-in: PortAudio is initialised exactly while a stream is open, and a WAV appears only
    // for a stream opened in recorder mode that took frames, also for a take that a second load replaced
    // before any stop. A take that cannot be written (a file stands where the recording folder goes) is
    // reported with its path, never dropped silently.
    void twentyCycles() {
        recordFromCapture();
        const std::shared_ptr<const QSample> real = registry()->sampleA();
        QVERIFY(real);
        const int id = real->deviceID(), channels = real->channels();
        const auto made = [&](int deviceID, const QString& name, int frame, int pos) {
            return std::make_shared<const QSample>(ModelGraph::INPUT_A, deviceID, name, real->samplerate(),
                                                   frame, pos);
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
            const bool synchronised = cycle % 2 == 0;
            recorder ? mode()->modeRecorder_on() : mode()->modeRecorder_off();
            synchronised ? mode()->modeStartSynchronized_on() : mode()->modeStartSynchronized_off();
            // Frames come as soon as the stream runs: the capture device runs ahead of real time.
            const auto takeFrames = [&] {
                worker.record();
                if (synchronised && worker.recording())
                    QTRY_VERIFY_WITH_TIMEOUT(worker.recording()->size() > 0, 60000);
            };
            QFile::remove(recordingFolder());
            QDir(recordingFolder()).removeRecursively();
            if (blocked)
                QVERIFY(TestFiles::write(recordingFolder(), ""));
            failed.clear();
            const bool replaced = cycle % 4 == 0 && recorder;
            if (cycle % 4 == 0) {
                worker.load(real); // replaced by the next load
                takeFrames();
            }
            worker.load(sample);
            never.record();
            never.stop(); // must not end PortAudio under the other worker's stream
            QCOMPARE(worker.isOpen(), opens);
            QCOMPARE(Pa_GetDeviceCount() > 0, opens);
            QCOMPARE(worker.recording() != nullptr, opens && recorder);
            takeFrames();
            worker.stop();
            worker.stop();
            QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
            const int takes = synchronised ? (opens && recorder) + replaced : 0;
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

private:
    // Catalogue entries: inputs at pairs 0, 1, 2 of the capture device, then the playback device.
    QStringList m_entry;
};

QUILLON_TEST_MAIN(TestDevices)
#include "tst_Devices.moc"
