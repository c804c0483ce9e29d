#include <QFile>
#include <QSettings>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Path.h"
#include "core/SettingMixer.h"

class TestSettingMixer : public QObject {
    Q_OBJECT

private slots:
    void shippedMapHoldsPairNumbers();
    void lookup_data();
    void lookup();
    void missingFileKnowsNoDevice();
};

// Checked before any test rewrites the sandbox's copy of the shipped file.
void TestSettingMixer::shippedMapHoldsPairNumbers() {
    QSettings map(Path::joinInput("MixerMac.ini"), QSettings::IniFormat);
    QVERIFY(map.status() == QSettings::NoError && !map.childGroups().isEmpty());
    const QStringList keys = {"inputA",  "inputB",       "inputMaster",    "outputA",
                              "outputB", "outputMaster", "outputHeadphone"};
    for (const QString& key : map.allKeys()) {
        bool ok = false;
        const int value = map.value(key).toString().toInt(&ok);
        // Inputs are pair numbers, outputs the first channel of a pair.
        QVERIFY2(keys.contains(key.section('/', 1)) && ok && value >= 0 && value < 8 &&
                     (key.contains("/input") || value % 2 == 0),
                 qPrintable(key));
        QVERIFY(SettingMixer().isAvailable("Native " + key.section('/', 0, 0) + " USB"));
    }
}

void TestSettingMixer::lookup_data() {
    QTest::addColumn<QByteArray>("map");
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("known");
    QTest::addColumn<QString>("inputA");
    const auto row = [](const char* name, const char* map, const char* device, bool known,
                        const char* value) {
        QTest::newRow(name) << QByteArray(map) << QString(device) << known << QString(value);
    };
    const char* scarlett = "[Scarlett]\ninputA=1\noutputA=0\n";
    row("whole name", scarlett, "Scarlett", true, "1");
    row("inner word", scarlett, "Focusrite Scarlett 2i2", true, "1");
    row("other case", scarlett, "scarlett 18i8", false, "");
    row("section without the key", "[Scarlett]\ninputB=1\n", "Scarlett", true, "");
    // "Audio 8/inputA" sorts before "Audio/inputA": a blank comes before the slash.
    row("key path, not section name", "[Audio]\ninputA=1\n[Audio 8]\ninputA=2\n", "Audio 8 DJ", true, "2");
    // Upper case sorts before lower case.
    row("case-sensitive order", "[abc]\ninputA=2\n[Zed]\ninputA=1\n", "abc Zed", true, "1");
    // The first matching key path decides the section even when it lacks the asked key.
    row("first section lacks the key", "[Audio]\ninputA=1\n[Audio 8]\ninputB=3\n", "Audio 8", true, "");
}

void TestSettingMixer::lookup() {
    QFETCH(QByteArray, map);
    QFETCH(QString, device);
    QFile file(Path::joinInput("MixerMac.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(map) == map.size());
    file.close();
    SettingMixer mixer;
    QTEST(mixer.isAvailable(device), "known");
    QTEST(mixer.keyValue("inputA", device), "inputA");
}

void TestSettingMixer::missingFileKnowsNoDevice() {
    QVERIFY(QFile::remove(Path::joinInput("MixerMac.ini")));
    SettingMixer mixer;
    QVERIFY(!mixer.isAvailable("Scarlett"));
    QCOMPARE(mixer.keyValue("inputA", "Scarlett"), QString());
}

QUILLON_TEST_MAIN(TestSettingMixer)
#include "tst_SettingMixer.moc"
