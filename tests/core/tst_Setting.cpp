#include <QFile>
#include <QtTest>

#include <atomic>
#include <thread>

#include "TestSandbox.h"
#include "core/Path.h"
#include "core/Setting.h"

namespace {

QByteArray readConfig() {
    QFile file(Path::joinInput("config.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeConfig(const QByteArray& content) {
    QFile file(Path::joinInput("config.ini"));
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
    void storedForms();
    void cacheIsNotReloadedUnasked();
    void readersOnOtherThreadsWhileWriting();
};

void TestSetting::init() {
    QFile::remove(Path::joinInput("config.ini"));
}

void TestSetting::missingFileGetsTemplateAndDefaults() {
    Setting setting;
    QCOMPARE(readConfig(),
             "[device]\n"
             " inputA=\n inputB=\n inputMaster=\n inputMidi=\n learnMidi=\n outputPlayback=\n"
             " crossFaderLeft=0\n crossFaderRight=127\n name=Quillon\n timecode=generic_V2\n"
             " vinylDeltaPositionA=0\n vinylDeltaPositionB=0\n curveOnSize=8\n"
             " volumeLooper=50\n volumeDeckA/B=0\n volumeRecordA/B=50\n volumeMetronum=50\n"
             " inputBufferA=\n inputBufferB=\n processingBufferA=\n processingBufferB=\n"
             " outputBuffer=\n displayFrequency=\n OptionGenerateCutOffSound=0\n"
             " GraphMainCurve=1\n GraphGrid=1\n GraphCurveCrossFaderOff=1\n GraphCurveNoSound=1\n"
             " GraphShiniMode=0\n GraphVinylPosition=1\n GraphDirectSound=1\n GraphLogo=1\n");
    QVERIFY(setting.paramInput_A(false)->text().isEmpty() &&
            setting.paramInput_Midi(false)->name().isEmpty());
    QCOMPARE(setting.paramCrossfaderRight(false), 127);
    QCOMPARE(setting.paramTimecode(false), QString("generic_V2"));
    QCOMPARE(setting.paramVolumeRecord(false), 50.0);
    QVERIFY(setting.paramGraphLogo(false) && !setting.paramGraphShiniMode(false));
}

void TestSetting::existingFileIsNeverCompleted() {
    // A hand-written "volumeDeckA/B" reads like the program's "volumeDeckA\B".
    const QByteArray old = "[device]\ninputA=\nname=Smith, John\nvolumeDeckA/B=30\n";
    writeConfig(old);
    Setting setting;
    QCOMPARE(readConfig(), old);
    QCOMPARE(setting.paramCrossfaderRight(false), 0);
    QVERIFY(setting.paramTimecode(false).isEmpty());
    QVERIFY(!setting.paramGraphGrid(false));
    QCOMPARE(setting.paramVolumeDeck(false), 30.0);
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
    QTest::newRow("false any case") << QByteArray("FaLsE") << 0 << 0.0 << false;
    QTest::newRow("nan") << QByteArray("nan") << 0 << 0.0 << true;
    QTest::newRow("-inf") << QByteArray("-inf") << 0 << 0.0 << true;
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

void TestSetting::storedForms() {
    const QString device = "2-[Scarlett 2i2, USB [Pro]; \"x\" =@]-48000/2p1-ALSA-Input B";
    const QString name = QString::fromUtf8("DJ Ünïcode, \"quoted\"");
    {
        Setting setting;
        setting.setParamLearn_Midi(0, 33);
        setting.setParamVinylDeltaPositionA(123.4567891);
        setting.setParamVinylDeltaPositionB(-0.000012345678);
        setting.setParamInput_B(device);
        setting.setParamName(name);
        setting.setParamVolumeDeck("30");
        // A setter takes effect at once.
        QCOMPARE(setting.paramVinylDeltaPositionA(false), 123.457);
    }
    const QByteArray file = readConfig();
    QVERIFY(file.contains("\nlearnMidi=0/33\n") && file.contains("\nvolumeDeckA\\B=30\n"));
    // Six significant digits, not a fixed number of decimals.
    QVERIFY(file.contains("\nvinylDeltaPositionA=123.457\n") &&
            file.contains("\nvinylDeltaPositionB=-1.23457e-05\n"));
    Setting reread;
    QCOMPARE(reread.paramLearn_Midi(false), QString("0/33"));
    QCOMPARE(reread.paramInput_B(false)->text(), device);
    QCOMPARE(reread.paramInput_B(false)->name(), QString("Scarlett 2i2, USB [Pro]; \"x\" =@"));
    QCOMPARE(reread.paramName(false), name);
    QCOMPARE(reread.paramVolumeDeck(false), 30.0);
}

void TestSetting::cacheIsNotReloadedUnasked() {
    Setting setting;
    const std::shared_ptr<const QDeviceRegEx> before = setting.paramInput_A(false);
    writeConfig("[device]\ntimecode=traktor_sideA\ncrossFaderRight=5\ninputA=1-[X]-44100/2p0-ALSA-\n");
    QCOMPARE(setting.paramTimecode(false), QString("generic_V2"));
    QCOMPARE(setting.paramCrossfaderRight(false), 127);
    QVERIFY(setting.paramInput_A(false)->text().isEmpty());
    setting.setParamInput_A("1-[X]-44100/2p0-ALSA-");
    QCOMPARE(setting.paramInput_A(false)->id(), 1);
    // A reader's handle to the replaced choice stays valid.
    QVERIFY(before->text().isEmpty());
}

// The setters run on this (the GUI) thread; the audio and MIDI threads read caches meanwhile.
void TestSetting::readersOnOtherThreadsWhileWriting() {
    const QString devices[2] = {"1-[One]-44100/2p0-ALSA-", "2-[Two, 2]-48000/4p1-ALSA-Input B"};
    const QString timecodes[2] = {"generic_V2", "traktor_sideA"};
    Setting setting;
    setting.setParamInput_A(devices[0]);
    std::atomic<bool> stop{false};
    std::atomic<int> faults{0};
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
}

QUILLON_TEST_MAIN(TestSetting)
#include "tst_Setting.moc"
