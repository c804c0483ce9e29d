#include <QRegularExpression>
#include <QtTest>

#include <atomic>
#include <thread>

#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/Path.h"
#include "core/PlainIniFormat.h"
#include "core/QDeviceRegEx.h"
#include "core/QSample.h"
#include "core/Setting.h"
#include "core/SettingMixer.h"

namespace {

QByteArray readConfig() {
    return TestFiles::read(Path::joinInput("config.ini"));
}

void writeInput(const QString& name, const QByteArray& content) {
    QVERIFY(TestFiles::write(Path::joinInput(name), content));
}

// "@Variant(...)" of a list nested `depth` deep, escaped as an INI file holds it. Qt's own INI reader
// rebuilds such a list recursively and runs out of stack.
QByteArray nestedVariant(int depth) {
    return "@Variant(" + QByteArray(R"(\0\0\0\t\0\0\0\x1)").repeated(depth) + R"(\0\0\0\t\0\0\0\0))";
}

QString fields(const QDeviceRegEx& d) {
    return QStringList({QString::number(d.id()), d.name(), QString::number(d.samplerate(), 'g', 17),
                        QString::number(d.channels()), QString::number(d.pos()), d.codec(), d.label()})
        .join('|');
}

} // namespace

// Device-id texts, the stream descriptors made from them, and the two files of the Input folder:
// the configuration store and the mixer channel map.
class TestSetting : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(Path::joinInput("config.ini")); }

    void missingFileGetsTemplateAndDefaults() {
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
        QVERIFY(setting.paramInput_A(false)->text().isEmpty() && setting.paramGraphLogo(false));
        QCOMPARE(setting.paramCrossfaderRight(false), 127);
        QCOMPARE(setting.paramTimecode(false), QString("generic_V2"));
        QCOMPARE(setting.paramVolumeRecord(false), 50.0);
    }

    void existingFileIsNeverCompleted() {
        // A hand-written "volumeDeckA/B" reads like the program's "volumeDeckA\B".
        const QByteArray old = "[device]\ninputA=\nname=Smith, John\nvolumeDeckA/B=30\n";
        writeInput("config.ini", old);
        Setting setting;
        QCOMPARE(readConfig(), old);
        QCOMPARE(setting.paramCrossfaderRight(false), 0);
        QVERIFY(setting.paramTimecode(false).isEmpty());
        QVERIFY(!setting.paramGraphGrid(false));
        QCOMPARE(setting.paramVolumeDeck(false), 30.0);
        // No getter rereads the file unless asked.
        writeInput("config.ini", "[device]\ncrossFaderRight=5\nname=X\n");
        QCOMPARE(setting.paramCrossfaderRight(false), 0);
        // Unquoted commas, as a hand-edited file may hold them, still read as one text.
        QCOMPARE(setting.paramName(false), QString("Smith, John"));
    }

    void conversions_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("integer");
        QTest::addColumn<double>("real");
        QTest::addColumn<bool>("flag");
        QTest::newRow("whole") << QByteArray("12") << 12 << 12.0 << true;
        QTest::newRow("fraction") << QByteArray("12.5") << 0 << 12.5 << true;
        QTest::newRow("false any case") << QByteArray("FaLsE") << 0 << 0.0 << false;
        QTest::newRow("nan") << QByteArray("nan") << 0 << 0.0 << true;
        QTest::newRow("past 32 bits") << QByteArray("4294967296") << 0 << 4294967296.0 << true;
    }

    void conversions() {
        QFETCH(QByteArray, value);
        writeInput("config.ini", "[device]\ncrossFaderLeft=" + value + "\nvolumeLooper=" + value +
                                     "\nGraphGrid=" + value + "\n");
        Setting setting;
        QTEST(setting.paramCrossfaderLeft(false), "integer");
        QTEST(setting.paramVolumeLooper(false), "real");
        QTEST(setting.paramGraphGrid(false), "flag");
    }

    void storedForms() {
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
        QCOMPARE(reread.paramName(false), name);
        QCOMPARE(reread.paramVolumeDeck(false), 30.0);
    }

    void iniFormAsQtReadsAndWritesIt_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("quotes and escapes") << QByteArray(
            "[device]\nname=\"Smith, John\" \nlist = a , \"b,c\" ,d\nesc=\\x41\\101\\n\\q\\\"end\\\nnext\n"
            "trail=x  \nutf=\xc3\xa9\\xe9\n ctl=\\x1\\x32\\0\\x31\nat=@@x\nnul=@String(a\\0b)\n");
        QTest::newRow("sections") << QByteArray(
            "top=1\n[General]\ng=2\n[%General]\nh=3\n[a\\b]\nc=4\n[a]\nb\\c=5\n[sp%20ce]\nk%41%U00e9=6\n"
            "[device]\nx=1\n[device]\nx=2\n[open\ny=7\n");
        QTest::newRow("comments and line ends") << QByteArray(
            "\xef\xbb\xbf; c\r\n[device]\r\nk=\"multi\nline\" ; tail\r\nnoequals\r\n  k2 = v2 ;c\r\n");
    }

    // Every key reads as Qt's INI reader reads it, and a rewrite writes the bytes Qt's INI writer writes.
    void iniFormAsQtReadsAndWritesIt() {
        QFETCH(QByteArray, ini);
        const QString qtPath = TestSandbox::root() + "/qt.ini",
                      plainPath = TestSandbox::root() + "/plain.ini";
        QVERIFY(TestFiles::write(qtPath, ini) && TestFiles::write(plainPath, ini));
        {
            QSettings qt(qtPath, QSettings::IniFormat), plain(plainPath, PlainIniFormat::format());
            QCOMPARE(plain.allKeys(), qt.allKeys());
            for (const QString& key : qt.allKeys())
                QCOMPARE(plain.value(key), qt.value(key));
            for (QSettings* settings : {&qt, &plain})
                settings->setValue("device/volumeDeckA/B", QString::fromUtf8("@ \"x\", é\x01") + QChar(0));
        }
        QCOMPARE(TestFiles::read(plainPath), TestFiles::read(qtPath));
    }

    void serialisedValuesAreIgnored() {
        writeInput("config.ini",
                   "[device]\nname=" + nestedVariant(25000) + "\ncrossFaderRight=5\nGraphGrid=1\n");
        {
            Setting setting;
            QVERIFY(setting.paramName(false).isEmpty());
            QCOMPARE(setting.paramCrossfaderRight(false), 5);
            setting.setParamTimecode("traktor_sideA");
        }
        QCOMPARE(readConfig(), "[device]\nGraphGrid=1\ncrossFaderRight=5\ntimecode=traktor_sideA\n");
    }

    // The setters run on this (the GUI) thread; the audio and MIDI threads read caches meanwhile.
    void readersOnOtherThreadsWhileWriting() {
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
                if (!whole || (timecode != timecodes[0] && timecode != timecodes[1]) ||
                    (left != 0 && left != 10))
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

    void mixerLookup_data() {
        QTest::addColumn<QByteArray>("map"); // null: no file
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("inputA");
        const auto row = [](const char* name, const char* map, const char* device, bool known,
                            const char* value) {
            QTest::newRow(name) << QByteArray(map) << QString(device) << known << QString(value);
        };
        const char* scarlett = "[Scarlett]\ninputA=1\noutputA=0\n";
        row("inner word", scarlett, "Focusrite Scarlett 2i2", true, "1");
        row("other case", scarlett, "scarlett 18i8", false, "");
        row("section without the key", "[Scarlett]\ninputB=1\n", "Scarlett", true, "");
        // "Audio 8/inputA" sorts before "Audio/inputA": a blank comes before the slash.
        row("key path, not section name", "[Audio]\ninputA=1\n[Audio 8]\ninputA=2\n", "Audio 8 DJ", true,
            "2");
        // Upper case sorts before lower case.
        row("case-sensitive order", "[abc]\ninputA=2\n[Zed]\ninputA=1\n", "abc Zed", true, "1");
        // The first matching key path decides the section even when it lacks the asked key.
        row("first section lacks the key", "[Audio]\ninputA=1\n[Audio 8]\ninputB=3\n", "Audio 8", true, "");
        row("no file", nullptr, "Scarlett", false, "");
        QTest::newRow("serialised value ignored")
            << "[Audio]\ninputA=" + nestedVariant(25000) + "\n[Scarlett]\ninputA=1\n"
            << QString("Audio Scarlett") << true << QString("1");
    }

    void mixerLookup() {
        QFETCH(QByteArray, map);
        QFETCH(QString, device);
        QFile::remove(Path::joinInput("MixerMac.ini"));
        if (!map.isNull())
            writeInput("MixerMac.ini", map);
        SettingMixer mixer;
        QTEST(mixer.isAvailable(device), "known");
        QTEST(mixer.keyValue("inputA", device), "inputA");
    }

    void deviceTextParses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fields"); // id|name|rate|channels|pos|host|label
        const auto row = [](const char* name, const QString& text, const char* fields) {
            QTest::newRow(name) << text << QString(fields);
        };
        row("dash in name", "2-[A-B]-44100/2p0-InDevelopment-", "2|A-B|44100|2|0|InDevelopment|");
        // Well-formed texts parse as the plain greedy pattern would. "p" inside the label and the host,
        // "/" inside the host: traps for a greedy split.
        row("Input B", "3-[If 4x4]-48000/4p1-InDevelopment-Input B",
            "3|If 4x4|48000|4|1|InDevelopment|Input B");
        row("Headphone", "5-[Mix]-48000/8p6-InDevelopment-Headphone",
            "5|Mix|48000|8|6|InDevelopment|Headphone");
        row("N/A", "1-[USB]-44100/2p0-N/A-", "1|USB|44100|2|0|N/A|");
        // A name holding the pattern's own separators does not shift the fields around it.
        row("-[ in name", "7-[U-[P]-1/2p3-x]-96000/2p0-ALSA-M", "7|U-[P]-1/2p3-x|96000|2|0|ALSA|M");
        row("comma, slash, p", "4-[In/Out, p 2]-48000/2p0-CA-TBD", "4|In/Out, p 2|48000|2|0|CA|TBD");
        row("index past 32 bits", "99999999999-[X]-48000/2p1-ALSA-", "0|X|48000|2|1|ALSA|");
        row("fractional rate", "1-[X]-44100.5/2p0-ALSA-", "1|X|44100.5|2|0|ALSA|");
        row("rate past float", "1-[X]-1" + QString(60, '0') + "/2p0-ALSA-", "1|X|0|2|0|ALSA|");
        // Malformed texts give empty fields.
        int malformed = 0;
        for (const char* text :
             {"", "garbage", "-[X]-48000/2p0-ALSA-", "1-[X]-48000/2p0-ALSA", "1-[X]-48000/twop0-ALSA-",
              "-1-[X]-48000/2p0-ALSA-", "\x01-[\x02]-\x03/\x04p\x05-\x06-"})
            row(qPrintable(QString("malformed %1").arg(++malformed)), text, "0||0|0|0||");
    }

    void deviceTextParses() {
        QFETCH(QString, text);
        const QDeviceRegEx device(text);
        QCOMPARE(device.text(), text);
        QTEST(fields(device), "fields");
    }

    void descriptorByDefault() {
        const std::shared_ptr<const QSample> sample = QSample::byDefault(ModelGraph::INPUT_B);
        QCOMPARE(sample->tag(), ModelGraph::INPUT_B);
        QCOMPARE(sample->samplerateInMinute(), 2880000.0);
        QCOMPARE(sample->samplerateInMs(), 48.0);
        QCOMPARE(sample->angleForASample(), 1.0 / 240.0);
        QVERIFY(QSample::byDefault(ModelGraph::PLAYBACK)->filename().isEmpty());
    }

    void descriptorFilename_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("expected"); // TIME stands for the stamp, DIGEST for a shortened name's
        QTest::newRow("slash") << "In/Out" << 44100.0 << "3_TIME_InandOut_4p1_44100.wav";
        QTest::newRow("percent codes stay") << "D %1 %2" << 96000.0 << "3_TIME_D %1 %2_4p1_96000.wav";
        QTest::newRow("fractional rate") << "X" << 22050.5 << "3_TIME_X_4p1_22050.5.wav";
        // Shortened to what a file name holds, 248 bytes with the mark.
        QTest::newRow("300 characters")
            << QString(300, 'd') << 48000.0 << "3_TIME_" + QString(203, 'd') + "~DIGEST_4p1_48000.wav";
    }

    void descriptorFilename() {
        QFETCH(QString, device);
        QFETCH(double, rate);
        QFETCH(QString, expected);
        const QSample sample(ModelGraph::INPUT_A, 3, device, rate, 4, 1);
        const QString name = sample.filename();
        const QString pattern = QRegularExpression::escape(expected)
                                    .replace("TIME", R"(\d{8}-\d{6},\d{3})")
                                    .replace("DIGEST", "[0-9a-f]{8}");
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(name).hasMatch(),
                 qPrintable(name));
        // Stamped once, when the descriptor is made.
        QTest::qWait(5);
        QCOMPARE(sample.filename(), name);
    }
};

QUILLON_TEST_MAIN(TestSetting)
#include "tst_Setting.moc"
