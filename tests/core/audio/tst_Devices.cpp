// The catalogue's listing rules over made-up device records, then once over PortAudio on the test
// devices; the stream factories that match stored choices against it; and the dispatcher's emissions
// for the input selections and modes, on choices stored for the test devices (it only reads the
// catalogue; no stream is opened here).
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QtTest>

#include <portaudio.h>

#include "AlsaTestConfig.h"
#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/QSample.h"
#include "core/Setting.h"
#include "core/SettingMixer.h"
#include "core/Singleton.h"
#include "core/audio/DeviceCatalogue.h"
#include "core/audio/DeviceObject.h"

using Device = DeviceCatalogue::Device;
using Devices = QList<Device>;
Q_DECLARE_METATYPE(Devices)

class TestDevices : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listingRules_data();
    void listingRules();
    void realDevices();
    void factories();
    void emissions_data();
    void emissions();
    void recorderRunNeverReusesAFolder();

private:
    // Catalogue entries: inputs at pairs 0, 1, 2 of the capture device, then the playback device.
    QStringList m_entry;
};

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

QStringList listing(ModelAudioDeviceInfo::EnumAudioDeviceInfo direction) {
    return Singleton::instance()->devicesAudio(direction);
}

} // namespace

// The map is written before the registry reads it. The catalogue lists a device's positions in order.
void TestDevices::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    QVERIFY(TestFiles::write(Path::joinInput("MixerMac.ini"),
                             "[Quad]\ninputA=0\ninputB=1\noutputA=0\noutputB=2\n[Duo]\ninputA=0\n"
                             "[Odd]\ninputB=x\ninputMaster=0\n[tc_capture]\ninputA=1\ninputMaster=2\n"));
    const QStringList in = listing(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]");
    const QStringList out = listing(ModelAudioDeviceInfo::AUDIO_OUTPUT).filter("[tc_playback]");
    QVERIFY(in.size() >= 3 && !out.isEmpty());
    m_entry = {in[0], in[1], in[2], out[0]};
}

// Expected entries joined by '|'; the leading empty entry (no device) makes them start with '|'.
void TestDevices::listingRules_data() {
    QTest::addColumn<Devices>("devices");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("expected");
    const int in = ModelAudioDeviceInfo::AUDIO_INPUT, out = ModelAudioDeviceInfo::AUDIO_OUTPUT;
    const auto d = [](int index, const char* name, int host, int inputs, int outputs, double rate = 48000.0) {
        return Device{index, name, host, inputs, outputs, rate};
    };
    const QString alsa = "|----- ALSA -----|";
    QTest::newRow("no device") << Devices{} << in << "";
    QTest::newRow("fewer than 2 channels") << Devices{d(0, "Mono", 8, 1, 0), d(1, "O", 8, 0, 2)} << in << "";
    QTest::newRow("known and unknown 2 channels")
        << Devices{d(3, "Duo", 0, 2, 2, 44100.9), d(4, "Mic", 0, 2, 0)} << in
        << "|----- InDevelopment -----|3-[Duo]-44100/2p0-InDevelopment-|4-[Mic]-48000/2p0-InDevelopment-TBD";
    // A host index outside the name list reads "N/A".
    QTest::newRow("one header per run of one host")
        << Devices{d(0, "a", 8, 2, 0), d(1, "b", 8, 2, 0), d(2, "c", 12, 2, 0), d(3, "d", 8, 2, 0),
                   d(4, "e", 15, 2, 0)}
        << in
        << alsa +
               "0-[a]-48000/2p0-ALSA-TBD|1-[b]-48000/2p0-ALSA-TBD|----- JACK -----|2-[c]-48000/2p0-JACK-TBD" +
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

void TestDevices::listingRules() {
    QFETCH(Devices, devices);
    QFETCH(int, direction);
    const auto enumDirection = ModelAudioDeviceInfo::EnumAudioDeviceInfo(direction);
    QTEST(DeviceCatalogue::list(devices, enumDirection, SettingMixer()).join('|'), "expected");
}

// Labels come from the map; every listing leaves PortAudio terminated, so the capture device, gone
// with its file, is back in the next listing once the file is.
void TestDevices::realDevices() {
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
void TestDevices::factories() {
    Singleton* r = Singleton::instance();
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
        QCOMPARE(
            text(Device{s.deviceID(), s.deviceName(), 0, 0, 0, s.samplerate()}, s.channels(), s.pos(), "TBD"),
            i < 3 ? input : output);
        QCOMPARE(s.filename(), names[i]);
    }
    for (const auto& [index, rate] :
         {std::pair{in.index + 7, in.defaultSampleRate}, {in.index, in.defaultSampleRate + 1}}) {
        setting->setParamInput_A(text(Device{index, in.name, 0, 0, 0, rate}, in.maxInputChannels, 3, "TBD"));
        QVERIFY(!r->sampleA());
    }
    QCOMPARE(files->filenameSound_a() + ".wav", names[0]);
}

// `configured` names the devices chosen: A, B, M(aster), O(utput); the others hold a stale choice (its
// index moved), which gives the deviceless default. `emitted` names the signals sent.
void TestDevices::emissions_data() {
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

void TestDevices::emissions() {
    QFETCH(int, selection);
    QFETCH(QString, configured);
    QFETCH(bool, recorder);
    QFETCH(QString, emitted);
    Singleton* r = Singleton::instance();
    void (Setting::*const choose[])(const QString&) = {&Setting::setParamInput_A, &Setting::setParamInput_B,
                                                       &Setting::setParamInput_Master,
                                                       &Setting::setParamOutput_Playback};
    for (int i = 0; i < 4; ++i)
        (r->instanceSetting()->*choose[i])(configured.contains("ABMO"[i]) ? m_entry[i] : "9" + m_entry[i]);
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
void TestDevices::recorderRunNeverReusesAFolder() {
    Singleton* r = Singleton::instance();
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

QUILLON_TEST_MAIN(TestDevices)
#include "tst_Devices.moc"
