// The catalogue's listing rules over made-up device records, then once over PortAudio on the test
// devices, and the stream factories that match stored choices against it.
#include <QFile>
#include <QtTest>

#include <portaudio.h>

#include "AlsaTestConfig.h"
#include "TestSandbox.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/QDeviceRegEx.h"
#include "core/QSample.h"
#include "core/Setting.h"
#include "core/SettingMixer.h"
#include "core/Singleton.h"
#include "core/audio/DeviceCatalogue.h"

using Device = DeviceCatalogue::Device;
Q_DECLARE_METATYPE(QList<Device>)

class TestDeviceCatalogue : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listingRules_data();
    void listingRules();
    void realDevices();
    void deviceAppearsInNextListing();
    void factories_data();
    void factories();
    void changedChoiceGivesNull();
};

namespace {

Singleton* registry() {
    return Singleton::instance();
}

Device device(int index, const QString& name, int hostApi, int in, int out, double rate = 48000.0) {
    return Device{index, name, hostApi, in, out, rate};
}

// The test devices as PortAudio lists them now.
struct RealDevice {
    int index = -1;
    int rate = 0;
    int inputs = 0;
    int outputs = 0;
};

RealDevice findDevice(const char* name) {
    RealDevice found;
    if (Pa_Initialize() != paNoError)
        return found;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && QByteArray(info->name) == name)
            found = {i, int(info->defaultSampleRate), info->maxInputChannels, info->maxOutputChannels};
    }
    Pa_Terminate();
    return found;
}

QString text(const RealDevice& d, const char* name, int channels, int pos, const QString& label) {
    return QStringLiteral("%1-[%2]-%3/%4p%5-InDevelopment-%6")
        .arg(d.index)
        .arg(QString::fromLatin1(name))
        .arg(d.rate)
        .arg(channels)
        .arg(pos)
        .arg(label);
}

} // namespace

// Written before the registry reads the map.
void TestDeviceCatalogue::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    QFile map(Path::joinInput("MixerMac.ini"));
    QVERIFY(map.open(QIODevice::WriteOnly | QIODevice::Truncate));
    map.write("[Quad]\ninputA=0\ninputB=1\noutputA=0\noutputB=2\n"
              "[Duo]\ninputA=0\n"
              "[Odd]\ninputA=0\ninputB=x\n"
              "[Xeno]\ninputB=x\n"
              "[tc_capture]\ninputA=1\ninputMaster=2\n");
}

void TestDeviceCatalogue::listingRules_data() {
    QTest::addColumn<QList<Device>>("devices");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("expected");
    const int in = ModelAudioDeviceInfo::AUDIO_INPUT;
    const int out = ModelAudioDeviceInfo::AUDIO_OUTPUT;
    const QString alsa = "----- ALSA -----";

    QTest::newRow("no device") << QList<Device>{} << in << QStringList{""};
    QTest::newRow("fewer than 2 channels")
        << QList<Device>{device(0, "Mono", 8, 1, 0), device(1, "Out", 8, 0, 2)} << in << QStringList{""};
    QTest::newRow("direction undefined") << QList<Device>{device(0, "Duo", 8, 2, 2)}
                                         << int(ModelAudioDeviceInfo::Undefined) << QStringList{""};
    QTest::newRow("known and unknown 2 channels, one host")
        << QList<Device>{device(3, "Duo Pro", 0, 2, 2, 44100.9), device(4, "Mic", 0, 2, 0)} << in
        << QStringList{"", "----- InDevelopment -----", "3-[Duo Pro]-44100/2p0-InDevelopment-",
                       "4-[Mic]-48000/2p0-InDevelopment-TBD"};
    QTest::newRow("one header per run of one host")
        << QList<Device>{device(0, "a", 8, 2, 0), device(1, "b", 8, 2, 0), device(2, "c", 12, 2, 0),
                         device(3, "d", 8, 2, 0)}
        << in
        << QStringList{"",
                       alsa,
                       "0-[a]-48000/2p0-ALSA-TBD",
                       "1-[b]-48000/2p0-ALSA-TBD",
                       "----- JACK -----",
                       "2-[c]-48000/2p0-JACK-TBD",
                       alsa,
                       "3-[d]-48000/2p0-ALSA-TBD"};
    QTest::newRow("host index outside the names")
        << QList<Device>{device(0, "a", 15, 2, 0), device(1, "b", -1, 2, 0)} << in
        << QStringList{"", "----- N/A -----", "0-[a]-48000/2p0-N/A-TBD", "1-[b]-48000/2p0-N/A-TBD"};
    QTest::newRow("the same entry twice")
        << QList<Device>{device(0, "a", 8, 4, 0), device(0, "a", 8, 4, 0)} << in
        << QStringList{"", alsa, "0-[a]-48000/4p0-ALSA-TBD", "0-[a]-48000/4p1-ALSA-TBD"};
    QTest::newRow("4-channel input, known: pairs")
        << QList<Device>{device(1, "Quad", 8, 4, 0)} << in
        << QStringList{"", alsa, "1-[Quad]-48000/4p0-ALSA-Input A", "1-[Quad]-48000/4p1-ALSA-Input B"};
    QTest::newRow("5-channel input: complete pairs only")
        << QList<Device>{device(1, "Five", 8, 5, 0)} << in
        << QStringList{"", alsa, "1-[Five]-48000/5p0-ALSA-TBD", "1-[Five]-48000/5p1-ALSA-TBD"};
    QTest::newRow("non-number value reads 0, first key wins")
        << QList<Device>{device(2, "Odd", 8, 6, 0)} << in
        << QStringList{"", alsa, "2-[Odd]-48000/6p0-ALSA-Input A", "2-[Odd]-48000/6p1-ALSA-TBD",
                       "2-[Odd]-48000/6p2-ALSA-TBD"};
    QTest::newRow("non-number value alone reads 0")
        << QList<Device>{device(2, "Xeno", 8, 4, 0)} << in
        << QStringList{"", alsa, "2-[Xeno]-48000/4p0-ALSA-Input B", "2-[Xeno]-48000/4p1-ALSA-TBD"};
    QTest::newRow("3-channel output: complete pairs only")
        << QList<Device>{device(0, "Tri", 8, 0, 3)} << out
        << QStringList{"", alsa, "0-[Tri]-48000/3p0-ALSA-TBD"};
    QTest::newRow("4-channel output, known: first channel of each pair")
        << QList<Device>{device(5, "Quad", 8, 4, 4)} << out
        << QStringList{"", alsa, "5-[Quad]-48000/4p0-ALSA-Output A", "5-[Quad]-48000/4p2-ALSA-Output B"};
}

void TestDeviceCatalogue::listingRules() {
    QFETCH(QList<Device>, devices);
    QFETCH(int, direction);
    const SettingMixer mixer;
    QTEST(DeviceCatalogue::list(devices, ModelAudioDeviceInfo::EnumAudioDeviceInfo(direction), mixer),
          "expected");
}

// Every listing leaves PortAudio terminated.
void TestDeviceCatalogue::realDevices() {
    const RealDevice capture = findDevice(AlsaTestConfig::CAPTURE_DEVICE);
    const RealDevice playback = findDevice(AlsaTestConfig::PLAYBACK_DEVICE);
    QVERIFY(capture.index >= 0 && playback.index >= 0);

    const QStringList inputs = registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT);
    QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
    QCOMPARE(inputs.mid(0, 2), (QStringList{"", "----- InDevelopment -----"}));
    const int pairs = capture.inputs / 2;
    QVERIFY(pairs >= 3);
    QCOMPARE(inputs.count(QStringLiteral("----- InDevelopment -----")), 1);
    QVERIFY(inputs.contains(text(capture, "tc_capture", capture.inputs, 0, "TBD")));
    QVERIFY(inputs.contains(text(capture, "tc_capture", capture.inputs, 1, "Input A")));
    QVERIFY(inputs.contains(text(capture, "tc_capture", capture.inputs, 2, "Master")));
    QVERIFY(inputs.contains(text(capture, "tc_capture", capture.inputs, pairs - 1, "TBD")));
    QVERIFY(!inputs.contains(text(capture, "tc_capture", capture.inputs, pairs, "TBD")));

    const QStringList outputs = registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_OUTPUT);
    QCOMPARE(Pa_GetDeviceCount(), PaDeviceIndex(paNotInitialized));
    QVERIFY(outputs.contains(text(playback, "tc_playback", playback.outputs, 0, "TBD")));
    QVERIFY(outputs.contains(text(playback, "tc_playback", playback.outputs, playback.outputs - 2, "TBD")));
    QVERIFY(!outputs.contains(text(playback, "tc_playback", playback.outputs, 1, "TBD")));
}

// The capture device exists only while its file does: a listing made after the file came back shows
// it again, because no listing keeps PortAudio initialised.
void TestDeviceCatalogue::deviceAppearsInNextListing() {
    const auto listed = [] {
        for (const QString& entry : registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT)) {
            if (QDeviceRegEx(entry).name() == AlsaTestConfig::CAPTURE_DEVICE)
                return true;
        }
        return false;
    };
    QVERIFY(listed());
    QVERIFY(QFile::rename(TestSandbox::alsaCaptureFile(), TestSandbox::alsaCaptureFile() + ".away"));
    QVERIFY(!listed());
    QVERIFY(QFile::rename(TestSandbox::alsaCaptureFile() + ".away", TestSandbox::alsaCaptureFile()));
    QVERIFY(listed());
}

void TestDeviceCatalogue::factories_data() {
    QTest::addColumn<int>("tag");
    QTest::newRow("input A") << int(ModelGraph::INPUT_A);
    QTest::newRow("input B") << int(ModelGraph::INPUT_B);
    QTest::newRow("master") << int(ModelGraph::MASTER);
    QTest::newRow("playback") << int(ModelGraph::PLAYBACK);
}

// An exact catalogue entry gives a descriptor of that device and pair; a recording input also names
// its WAV file.
void TestDeviceCatalogue::factories() {
    QFETCH(int, tag);
    Singleton* r = registry();
    Setting* setting = r->instanceSetting();
    const RealDevice capture = findDevice(AlsaTestConfig::CAPTURE_DEVICE);
    const RealDevice playback = findDevice(AlsaTestConfig::PLAYBACK_DEVICE);
    const QString in = text(capture, "tc_capture", capture.inputs, 3, "TBD");
    const QString out = text(playback, "tc_playback", playback.outputs, 4, "TBD");
    std::shared_ptr<const QSample> sample;
    QString stored;
    switch (ModelGraph::EnumGraph(tag)) {
    case ModelGraph::INPUT_A:
        setting->setParamInput_A(in);
        sample = r->sampleA();
        stored = r->instancePathFile()->filenameSound_a();
        break;
    case ModelGraph::INPUT_B:
        setting->setParamInput_B(in);
        sample = r->sampleB();
        stored = r->instancePathFile()->filenameSound_b();
        break;
    case ModelGraph::MASTER:
        setting->setParamInput_Master(in);
        sample = r->sampleMaster();
        stored = r->instancePathFile()->filenameSound_master();
        break;
    default:
        setting->setParamOutput_Playback(out);
        sample = r->samplePlayback();
        break;
    }
    QVERIFY(sample);
    QCOMPARE(int(sample->tag()), tag);
    const bool output = tag == ModelGraph::PLAYBACK;
    QCOMPARE(sample->deviceID(), output ? playback.index : capture.index);
    QCOMPARE(sample->deviceName(), output ? "tc_playback" : "tc_capture");
    QCOMPARE(sample->samplerate(), double(output ? playback.rate : capture.rate));
    QCOMPARE(sample->channels(), output ? playback.outputs : capture.inputs);
    QCOMPARE(sample->pos(), output ? 4 : 3);
    if (!output)
        QCOMPARE(stored + ".wav", sample->filename());
}

void TestDeviceCatalogue::changedChoiceGivesNull() {
    Singleton* r = registry();
    Setting* setting = r->instanceSetting();
    const RealDevice capture = findDevice(AlsaTestConfig::CAPTURE_DEVICE);
    setting->setParamInput_A(text(capture, "tc_capture", capture.inputs, 3, "TBD"));
    QVERIFY(r->sampleA());
    const QString named = r->instancePathFile()->filenameSound_a();

    RealDevice moved = capture;
    moved.index += 7;
    RealDevice resampled = capture;
    resampled.rate += 1;
    for (const QString& stale : {text(moved, "tc_capture", capture.inputs, 3, "TBD"),
                                 text(resampled, "tc_capture", capture.inputs, 3, "TBD"),
                                 text(capture, "tc_capture", capture.inputs, 3, "Input B"),
                                 text(capture, "TC_capture", capture.inputs, 3, "TBD"), QString(),
                                 QStringLiteral("----- InDevelopment -----x")}) {
        setting->setParamInput_A(stale);
        QVERIFY2(!r->sampleA(), qPrintable(stale));
    }
    // A choice that made nothing leaves the last recording name alone.
    QCOMPARE(r->instancePathFile()->filenameSound_a(), named);
}

QUILLON_TEST_MAIN(TestDeviceCatalogue)
#include "tst_DeviceCatalogue.moc"
