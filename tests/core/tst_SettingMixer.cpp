#include <QFile>
#include <QSettings>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/Path.h"
#include "core/SettingMixer.h"

namespace {

void writeMap(const QByteArray& content) {
    QFile file(Path::joinInput("MixerMac.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class TestSettingMixer : public QObject {
    Q_OBJECT

private slots:
    void shippedMapHoldsPairNumbers();
    void sectionIsCaseSensitiveSubstring_data();
    void sectionIsCaseSensitiveSubstring();
    void firstKeyPathWins_data();
    void firstKeyPathWins();
    void missingKeyIsEmpty();
    void missingFileKnowsNoDevice();
};

// Checked before any test rewrites the sandbox's copy of the shipped file.
void TestSettingMixer::shippedMapHoldsPairNumbers() {
    QSettings map(Path::joinInput("MixerMac.ini"), QSettings::IniFormat);
    QCOMPARE(map.status(), QSettings::NoError);
    const QStringList sections = map.childGroups();
    QVERIFY(!sections.isEmpty());
    const QStringList inputs = {Constant::SettingMixer::KEY_INPUT_A, Constant::SettingMixer::KEY_INPUT_B,
                                Constant::SettingMixer::KEY_INPUT_MASTER};
    const QStringList outputs = {Constant::SettingMixer::KEY_OUTPUT_A, Constant::SettingMixer::KEY_OUTPUT_B,
                                 Constant::SettingMixer::KEY_OUTPUT_MASTER,
                                 Constant::SettingMixer::KEY_OUTPUT_HEADPHONE};
    SettingMixer mixer;
    for (const QString& section : sections) {
        QVERIFY(mixer.isAvailable("Native " + section + " USB"));
        map.beginGroup(section);
        for (const QString& key : map.childKeys()) {
            QVERIFY2(inputs.contains(key) || outputs.contains(key), qPrintable(section + "/" + key));
            bool ok = false;
            const int value = map.value(key).toString().toInt(&ok);
            QVERIFY2(ok && value >= 0 && value < 8, qPrintable(section + "/" + key));
            // Output values name the first channel of a pair.
            QVERIFY2(inputs.contains(key) || value % 2 == 0, qPrintable(section + "/" + key));
        }
        map.endGroup();
    }
}

void TestSettingMixer::sectionIsCaseSensitiveSubstring_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("known");
    QTest::addColumn<QString>("inputB");
    QTest::newRow("whole name") << "Scarlett" << true << "1";
    QTest::newRow("first word") << "Scarlett 18i8 USB" << true << "1";
    QTest::newRow("inner word") << "Focusrite Scarlett 2i2" << true << "1";
    QTest::newRow("other case") << "scarlett 18i8" << false << "";
    QTest::newRow("other device") << "Built-in Input" << false << "";
    QTest::newRow("empty name") << "" << false << "";
}

void TestSettingMixer::sectionIsCaseSensitiveSubstring() {
    QFETCH(QString, device);
    writeMap("[Scarlett]\ninputA=0\ninputB=1\n");
    SettingMixer mixer;
    QTEST(mixer.isAvailable(device), "known");
    QTEST(mixer.keyValue("inputB", device), "inputB");
}

void TestSettingMixer::firstKeyPathWins_data() {
    QTest::addColumn<QByteArray>("map");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("inputA");
    // "Audio 8/inputA" sorts before "Audio/inputA": a blank comes before the slash.
    QTest::newRow("key path, not section name")
        << QByteArray("[Audio]\ninputA=1\n[Audio 8]\ninputA=2\n") << "Audio 8 DJ"
        << "2";
    // Upper case sorts before lower case.
    QTest::newRow("case-sensitive order") << QByteArray("[abc]\ninputA=2\n[Zed]\ninputA=1\n") << "abc Zed"
                                          << "1";
    // The first matching key path decides the section even when it lacks the asked key.
    QTest::newRow("section without the key")
        << QByteArray("[Audio]\ninputA=1\n[Audio 8]\ninputB=3\n") << "Audio 8"
        << "";
    QTest::newRow("non-number unchanged") << QByteArray("[Mk2]\ninputA=x\n") << "Z2 Mk2"
                                          << "x";
}

void TestSettingMixer::firstKeyPathWins() {
    QFETCH(QByteArray, map);
    QFETCH(QString, device);
    writeMap(map);
    SettingMixer mixer;
    QVERIFY(mixer.isAvailable(device));
    QTEST(mixer.keyValue("inputA", device), "inputA");
}

void TestSettingMixer::missingKeyIsEmpty() {
    writeMap("[Scarlett]\ninputA=0\noutputA=0\n");
    SettingMixer mixer;
    QCOMPARE(mixer.keyValue("outputA", "Scarlett 4i4"), QString("0"));
    QCOMPARE(mixer.keyValue("outputB", "Scarlett 4i4"), QString());
}

void TestSettingMixer::missingFileKnowsNoDevice() {
    QVERIFY(QFile::remove(Path::joinInput("MixerMac.ini")));
    SettingMixer mixer;
    QVERIFY(!mixer.isAvailable("Scarlett"));
    QVERIFY(!mixer.isAvailable(""));
    QCOMPARE(mixer.keyValue("inputA", "Scarlett"), QString());
}

QUILLON_TEST_MAIN(TestSettingMixer)
#include "tst_SettingMixer.moc"
