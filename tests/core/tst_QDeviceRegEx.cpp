#include <QRegularExpression>
#include <QtTest>

#include "TestSandbox.h"
#include "core/QDeviceRegEx.h"

namespace {

QString fields(const QDeviceRegEx& d) {
    return QStringList({QString::number(d.id()), d.name(), QString::number(d.samplerate(), 'g', 17),
                        QString::number(d.channels()), QString::number(d.pos()), d.codec(), d.label()})
        .join('|');
}

} // namespace

class TestQDeviceRegEx : public QObject {
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void wellFormedTextsParseAsTheLoosePatternDoes_data();
    void wellFormedTextsParseAsTheLoosePatternDoes();
};

void TestQDeviceRegEx::parses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fields"); // id|name|rate|channels|pos|host|label
    const auto row = [](const char* name, const QString& text, const char* fields) {
        QTest::newRow(name) << text << QString(fields);
    };
    row("dash in name", "2-[A-B]-44100/2p0-InDevelopment-", "2|A-B|44100|2|0|InDevelopment|");
    // "p" inside the label and the host, "/" inside the host: traps for a greedy split.
    row("Input B", "3-[If 4x4]-48000/4p1-InDevelopment-Input B", "3|If 4x4|48000|4|1|InDevelopment|Input B");
    row("Headphone", "5-[Mix]-48000/8p6-InDevelopment-Headphone", "5|Mix|48000|8|6|InDevelopment|Headphone");
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

void TestQDeviceRegEx::parses() {
    QFETCH(QString, text);
    const QDeviceRegEx device(text);
    QCOMPARE(device.text(), text);
    QTEST(fields(device), "fields");
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
    const QRegularExpressionMatch m =
        QRegularExpression(R"((.*)-\[(.*)\]-(.*)/(.*)p(.*)-(.*)-(.*))").match(text);
    QVERIFY(m.hasMatch());
    QCOMPARE(fields(QDeviceRegEx(text)),
             QStringList({QString::number(m.captured(1).toInt()), m.captured(2),
                          QString::number(double(m.captured(3).toFloat()), 'g', 17), m.captured(4),
                          m.captured(5), m.captured(6), m.captured(7)})
                 .join('|'));
}

QUILLON_TEST_MAIN(TestQDeviceRegEx)
#include "tst_QDeviceRegEx.moc"
