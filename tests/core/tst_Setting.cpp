#include <QFile>
#include <QtTest>

#include <atomic>
#include <thread>

#include "TestSandbox.h"
#include "core/Path.h"
#include "core/Setting.h"

namespace {

QString configPath() {
    return Path::joinInput("config.ini");
}

QByteArray readConfig() {
    QFile file(configPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeConfig(const QByteArray& content) {
    QFile file(configPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class TestSetting : public QObject {
    Q_OBJECT

private slots:
    void init();
    void missingFileGetsTemplateAndDefaults();
    void existingFileIsNeverCompleted();
    void conversions_data();
    void conversions();
    void learnMidiAndVinylDeltaForms();
    void volumeKeyWithSlash_data();
    void volumeKeyWithSlash();
    void deviceTextRoundTrips();
    void setterTakesEffectAtOnce();
    void cacheIsNotReloadedUnasked();
    void readersOnOtherThreadsWhileWriting();
};

void TestSetting::init() {
    QFile::remove(configPath());
}

void TestSetting::missingFileGetsTemplateAndDefaults() {
    Setting setting;
    const QByteArray expected =
        "[device]\n"
        " inputA=\n inputB=\n inputMaster=\n inputMidi=\n learnMidi=\n outputPlayback=\n"
        " crossFaderLeft=0\n crossFaderRight=127\n name=Quillon\n timecode=generic_V2\n"
        " vinylDeltaPositionA=0\n vinylDeltaPositionB=0\n curveOnSize=8\n"
        " volumeLooper=50\n volumeDeckA/B=0\n volumeRecordA/B=50\n volumeMetronum=50\n"
        " inputBufferA=\n inputBufferB=\n processingBufferA=\n processingBufferB=\n"
        " outputBuffer=\n displayFrequency=\n OptionGenerateCutOffSound=0\n"
        " GraphMainCurve=1\n GraphGrid=1\n GraphCurveCrossFaderOff=1\n GraphCurveNoSound=1\n"
        " GraphShiniMode=0\n GraphVinylPosition=1\n GraphDirectSound=1\n GraphLogo=1\n";
    QCOMPARE(readConfig(), expected);
    QCOMPARE(expected.count('\n'), 33);

    QVERIFY(setting.paramInput_A(false)->text().isEmpty());
    QVERIFY(setting.paramInput_A(false)->name().isEmpty());
    QVERIFY(setting.paramOutput_Playback(false)->text().isEmpty());
    QVERIFY(setting.paramInput_Midi(false)->name().isEmpty());
    QVERIFY(setting.paramLearn_Midi(false).isEmpty());
    QCOMPARE(setting.paramCrossfaderLeft(false), 0);
    QCOMPARE(setting.paramCrossfaderRight(false), 127);
    QCOMPARE(setting.paramName(false), QString("Quillon"));
    QCOMPARE(setting.paramTimecode(false), QString("generic_V2"));
    QCOMPARE(setting.paramCurveOnSize(false), 8);
    QCOMPARE(setting.paramVolumeLooper(false), 50.0);
    QCOMPARE(setting.paramVolumeDeck(false), 0.0);
    QCOMPARE(setting.paramVolumeRecord(false), 50.0);
    QCOMPARE(setting.paramVolumeMetronum(false), 50.0);
    QVERIFY(setting.paramInputBufferA(false).isEmpty());
    QVERIFY(!setting.paramGenerateCutOffSound(false));
    QVERIFY(setting.paramGraphMainCurve(false));
    QVERIFY(!setting.paramGraphShiniMode(false));
    QVERIFY(setting.paramGraphLogo(false));
}

void TestSetting::existingFileIsNeverCompleted() {
    const QByteArray old = "[device]\ninputA=\nname=Smith, John\n";
    writeConfig(old);
    Setting setting;
    QCOMPARE(readConfig(), old);
    QCOMPARE(setting.paramCrossfaderRight(false), 0);
    QVERIFY(setting.paramTimecode(false).isEmpty());
    QCOMPARE(setting.paramVolumeRecord(false), 0.0);
    QVERIFY(!setting.paramGraphGrid(false));
    // Unquoted commas, as a hand-edited file may hold them, still read as one text.
    QCOMPARE(setting.paramName(false), QString("Smith, John"));
}

void TestSetting::conversions_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("integer");
    QTest::addColumn<double>("real");
    QTest::addColumn<bool>("flag");
    QTest::newRow("whole") << QByteArray("12") << 12 << 12.0 << true;
    QTest::newRow("fraction") << QByteArray("12.5") << 0 << 12.5 << true;
    QTest::newRow("zero") << QByteArray("0") << 0 << 0.0 << false;
    QTest::newRow("empty") << QByteArray("") << 0 << 0.0 << false;
    QTest::newRow("false any case") << QByteArray("FaLsE") << 0 << 0.0 << false;
    QTest::newRow("word") << QByteArray("no") << 0 << 0.0 << true;
    QTest::newRow("nan") << QByteArray("nan") << 0 << 0.0 << true;
    QTest::newRow("inf") << QByteArray("inf") << 0 << 0.0 << true;
    QTest::newRow("-inf") << QByteArray("-inf") << 0 << 0.0 << true;
    QTest::newRow("overflow") << QByteArray("1e999") << 0 << 0.0 << true;
    QTest::newRow("past 32 bits") << QByteArray("4294967296") << 0 << 4294967296.0 << true;
}

void TestSetting::conversions() {
    QFETCH(QByteArray, value);
    writeConfig("[device]\ncrossFaderLeft=" + value + "\nvolumeLooper=" + value + "\nGraphGrid=" + value +
                "\n");
    Setting setting;
    QTEST(setting.paramCrossfaderLeft(false), "integer");
    QTEST(setting.paramVolumeLooper(false), "real");
    QTEST(setting.paramGraphGrid(false), "flag");
}

void TestSetting::learnMidiAndVinylDeltaForms() {
    Setting setting;
    setting.setParamLearn_Midi(0, 33);
    setting.setParamVinylDeltaPositionA(123.4567891);
    setting.setParamVinylDeltaPositionB(-0.000012345678);
    const QByteArray file = readConfig();
    QVERIFY(file.contains("\nlearnMidi=0/33\n"));
    QVERIFY(file.contains("\nvinylDeltaPositionA=123.457\n"));
    QVERIFY(file.contains("\nvinylDeltaPositionB=-1.23457e-05\n"));
    QCOMPARE(setting.paramLearn_Midi(false), QString("0/33"));
    QCOMPARE(setting.paramVinylDeltaPositionA(false), 123.457);
    setting.setParamInput_Midi("1:Traktor Kontrol Z2");
    QCOMPARE(setting.paramInput_Midi(false)->name(), QString("1:Traktor Kontrol Z2"));
}

void TestSetting::volumeKeyWithSlash_data() {
    QTest::addColumn<bool>("written");
    QTest::newRow("written by the program") << true;
    QTest::newRow("written by hand") << false;
}

void TestSetting::volumeKeyWithSlash() {
    QFETCH(bool, written);
    if (written) {
        Setting setting;
        setting.setParamVolumeDeck("30");
        setting.setParamVolumeRecord("40");
        QVERIFY(readConfig().contains("\nvolumeDeckA\\B=30\n"));
        QVERIFY(!readConfig().contains("volumeDeckA/B"));
    } else {
        writeConfig("[device]\nvolumeDeckA/B=30\nvolumeRecordA/B=40\n");
    }
    Setting reread;
    QCOMPARE(reread.paramVolumeDeck(false), 30.0);
    QCOMPARE(reread.paramVolumeRecord(false), 40.0);
}

void TestSetting::deviceTextRoundTrips() {
    const QString text = "2-[Scarlett 2i2, USB [Pro]; \"x\" =@]-48000/2p1-ALSA-Input B";
    const QString name = QString::fromUtf8("DJ Ünïcode, \"quoted\"");
    {
        Setting setting;
        setting.setParamInput_B(text);
        setting.setParamName(name);
    }
    Setting reread;
    const std::shared_ptr<const QDeviceRegEx> device = reread.paramInput_B(false);
    QCOMPARE(device->text(), text);
    QCOMPARE(device->name(), QString("Scarlett 2i2, USB [Pro]; \"x\" =@"));
    QCOMPARE(device->pos(), 1);
    QCOMPARE(device->label(), QString("Input B"));
    QCOMPARE(reread.paramName(false), name);
}

void TestSetting::setterTakesEffectAtOnce() {
    Setting setting;
    const std::shared_ptr<const QDeviceRegEx> before = setting.paramInput_A(false);
    setting.setParamGraphGrid("0");
    QVERIFY(!setting.paramGraphGrid(false));
    setting.setParamInput_A("1-[X]-44100/2p0-ALSA-");
    QCOMPARE(setting.paramInput_A(false)->id(), 1);
    // A reader's handle to the replaced choice stays valid.
    QVERIFY(before->text().isEmpty());
}

void TestSetting::cacheIsNotReloadedUnasked() {
    Setting setting;
    writeConfig("[device]\ntimecode=traktor_sideA\ncrossFaderRight=5\ninputA=1-[X]-44100/2p0-ALSA-\n");
    QCOMPARE(setting.paramTimecode(false), QString("generic_V2"));
    QCOMPARE(setting.paramCrossfaderRight(false), 127);
    QVERIFY(setting.paramInput_A(false)->text().isEmpty());
}

// The setters run on this (the GUI) thread; the audio and MIDI threads read caches meanwhile.
void TestSetting::readersOnOtherThreadsWhileWriting() {
    const QString devices[2] = {"1-[One]-44100/2p0-ALSA-", "2-[Two, 2]-48000/4p1-ALSA-Input B"};
    const QString timecodes[2] = {"generic_V2", "traktor_sideA"};
    Setting setting;
    setting.setParamInput_A(devices[0]);

    std::atomic<bool> stop{false};
    std::atomic<int> faults{0};
    std::atomic<int> reads{0};
    auto reader = [&] {
        while (!stop.load()) {
            const std::shared_ptr<const QDeviceRegEx> device = setting.paramInput_A(false);
            // Every field of one parsed choice comes from the same text.
            const bool whole =
                (device->text() == devices[0] && device->name() == "One" && device->pos() == 0) ||
                (device->text() == devices[1] && device->name() == "Two, 2" && device->pos() == 1);
            const QString timecode = setting.paramTimecode(false);
            const int left = setting.paramCrossfaderLeft(false);
            if (!whole || (timecode != timecodes[0] && timecode != timecodes[1]) || (left != 0 && left != 10))
                faults.fetch_add(1);
            reads.fetch_add(1);
        }
    };
    std::thread first(reader);
    std::thread second(reader);
    for (int i = 0; i < 200; ++i) {
        setting.setParamInput_A(devices[(i + 1) % 2]);
        setting.setParamTimecode(timecodes[(i + 1) % 2]);
        setting.setParamCrossfaderLeft(i % 2 ? "0" : "10");
    }
    stop.store(true);
    first.join();
    second.join();
    QCOMPARE(faults.load(), 0);
    QVERIFY(reads.load() > 0);
}

QUILLON_TEST_MAIN(TestSetting)
#include "tst_Setting.moc"
