#include <QRegularExpression>
#include <QtTest>

#include "TestSandbox.h"
#include "core/QDeviceRegEx.h"

class TestQDeviceRegEx : public QObject {
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void wellFormedTextsParseAsTheLoosePatternDoes_data();
    void wellFormedTextsParseAsTheLoosePatternDoes();
    void malformedGivesEmptyFields_data();
    void malformedGivesEmptyFields();
};

void TestQDeviceRegEx::parses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("samplerate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("label");

    QTest::newRow("dash in name") << "2-[A-B]-44100/2p0-InDevelopment-" << 2 << "A-B" << 44100.0 << 2 << 0
                                  << "InDevelopment"
                                  << "";
    // "p" inside the label and the host, "/" inside the host: traps for a greedy split.
    QTest::newRow("Input B") << "3-[Interface 4x4]-48000/4p1-InDevelopment-Input B" << 3 << "Interface 4x4"
                             << 48000.0 << 4 << 1 << "InDevelopment"
                             << "Input B";
    QTest::newRow("Headphone") << "5-[Mixer]-48000/8p6-InDevelopment-Headphone" << 5 << "Mixer" << 48000.0
                               << 8 << 6 << "InDevelopment"
                               << "Headphone";
    QTest::newRow("N/A") << "1-[USB]-44100/2p0-N/A-" << 1 << "USB" << 44100.0 << 2 << 0 << "N/A"
                         << "";
    QTest::newRow("N/A, Input B") << "0-[Dev]-96000/6p2-N/A-Input B" << 0 << "Dev" << 96000.0 << 6 << 2
                                  << "N/A"
                                  << "Input B";
    // A name holding the pattern's own separators does not shift the fields around it.
    QTest::newRow("-[ in name") << "7-[USB-[Pro]-1/2p3-x]-96000/2p0-ALSA-Master" << 7 << "USB-[Pro]-1/2p3-x"
                                << 96000.0 << 2 << 0 << "ALSA"
                                << "Master";
    QTest::newRow("comma, slash, p") << "4-[In/Out, play 2]-48000/2p0-CoreAudio-TBD" << 4 << "In/Out, play 2"
                                     << 48000.0 << 2 << 0 << "CoreAudio"
                                     << "TBD";
    QTest::newRow("index past 32 bits")
        << "99999999999-[X]-48000/2p1-ALSA-" << 0 << "X" << 48000.0 << 2 << 1 << "ALSA"
        << "";
    QTest::newRow("fractional rate") << "1-[X]-44100.5/2p0-ALSA-" << 1 << "X" << 44100.5 << 2 << 0 << "ALSA"
                                     << "";
    QTest::newRow("rate past float") << QString("1-[X]-1%1/2p0-ALSA-").arg(QString(60, '0')) << 1 << "X"
                                     << 0.0 << 2 << 0 << "ALSA"
                                     << "";
}

void TestQDeviceRegEx::parses() {
    QFETCH(QString, text);
    const QDeviceRegEx device(text);
    QCOMPARE(device.text(), text);
    QTEST(device.id(), "id");
    QTEST(device.name(), "name");
    QTEST(device.samplerate(), "samplerate");
    QTEST(device.channels(), "channels");
    QTEST(device.pos(), "pos");
    QTEST(device.codec(), "codec");
    QTEST(device.label(), "label");
}

void TestQDeviceRegEx::wellFormedTextsParseAsTheLoosePatternDoes_data() {
    QTest::addColumn<QString>("text");
    for (const char* host : {"InDevelopment", "N/A", "CoreAudio", "AudioScienceHPI"})
        for (const char* label :
             {"", "TBD", "Input A", "Input B", "Master", "Output A", "Output B", "Headphone"})
            QTest::addRow("%s %s", host, label)
                << QString("12-[Traktor Audio 6 (p/2)]-44100/6p4-%1-%2").arg(host, label);
}

// Stored texts written by earlier builds were parsed by the unanchored greedy pattern:
// every text the catalogue writes must give the same fields.
void TestQDeviceRegEx::wellFormedTextsParseAsTheLoosePatternDoes() {
    QFETCH(QString, text);
    const QRegularExpression loose(R"((.*)-\[(.*)\]-(.*)/(.*)p(.*)-(.*)-(.*))");
    const QRegularExpressionMatch m = loose.match(text);
    QVERIFY(m.hasMatch());
    const QDeviceRegEx device(text);
    QCOMPARE(device.id(), m.captured(1).toInt());
    QCOMPARE(device.name(), m.captured(2));
    QCOMPARE(device.samplerate(), double(m.captured(3).toFloat()));
    QCOMPARE(device.channels(), m.captured(4).toInt());
    QCOMPARE(device.pos(), m.captured(5).toInt());
    QCOMPARE(device.codec(), m.captured(6));
    QCOMPARE(device.label(), m.captured(7));
}

void TestQDeviceRegEx::malformedGivesEmptyFields_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("word") << "garbage";
    QTest::newRow("no index") << "-[X]-48000/2p0-ALSA-";
    QTest::newRow("no label dash") << "1-[X]-48000/2p0-ALSA";
    QTest::newRow("letters for channels") << "1-[X]-48000/twop0-ALSA-";
    QTest::newRow("negative index") << "-1-[X]-48000/2p0-ALSA-";
    QTest::newRow("control bytes") << QString::fromUtf8("\x01-[\x02]-\x03/\x04p\x05-\x06-");
}

void TestQDeviceRegEx::malformedGivesEmptyFields() {
    QFETCH(QString, text);
    const QDeviceRegEx device(text);
    QCOMPARE(device.text(), text);
    QCOMPARE(device.id(), 0);
    QVERIFY(device.name().isEmpty());
    QCOMPARE(device.samplerate(), 0.0);
    QCOMPARE(device.channels(), 0);
    QCOMPARE(device.pos(), 0);
    QVERIFY(device.codec().isEmpty());
    QVERIFY(device.label().isEmpty());
}

QUILLON_TEST_MAIN(TestQDeviceRegEx)
#include "tst_QDeviceRegEx.moc"
