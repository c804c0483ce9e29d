#include <QProcess>
#include <QtEndian>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Header.h"
#include "core/QLooper.h"
#include "core/RecordingLooperTraining.h"

class TestHeader : public QObject {
    Q_OBJECT

private slots:
    void goldenFirstBytes();
    void digestMatchesSha256sum();
    void roundTripKeepsEveryField();
    void modeCodes_data();
    void modeCodes();
    void flippedTitleByteFailsCheck();
    void missingFileGivesStartValues();
    void refused_data();
    void refused();
    void writerRefusesAndReports();
};

namespace {

const QString TITLE = QString::fromUtf8("100% %2 é");

QLooper looper(ModelActivatedMode::EnumActivatedMode mode = ModelActivatedMode::Looper,
               const QString& soundB = {}, const QString& curve1 = "c1.qlw") {
    return QLooper("ignored.qlt", 1, mode, 0, TITLE, "T4rMo", "https://x.org", "author.png", 88, "loop.wav",
                   48000, "a.wav", soundB, curve1, "c2.qlw", "a.qlp", "b.qlp");
}

QString path(const QString& name) {
    return TestSandbox::root() + "/" + name;
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray field(const QString& text) {
    const QByteArray b64 = text.toUtf8().toBase64();
    quint32 length = qToLittleEndian(quint32(b64.size()));
    return QByteArray(reinterpret_cast<const char*>(&length), 4) + b64;
}

// A header made by hand around one stored looper-sound name; the digest is 32 arbitrary bytes.
QByteArray headerWithLooperSound(const QByteArray& first12, const QString& name) {
    const QByteArray zero(4, '\0');
    QByteArray bytes = first12 + field("t") + field("a") + field("u") + zero + field(name) + zero;
    for (int i = 0; i < 6; ++i)
        bytes += field("");
    return bytes + field(QString(32, 'h'));
}

} // namespace

void TestHeader::goldenFirstBytes() {
    const QLooper set = looper();
    QVERIFY(Header::exportHeaderToQLTFile(path("golden.qlt"), &set));
    const QByteArray bytes = readAll(path("golden.qlt"));
    // Version 1, mode code 2 (Looper), opaque code 1 (value 0), then the title field.
    QCOMPARE(bytes.left(12), QByteArray("\x01\x00\x00\x00\x02\x00\x00\x00\x01\x00\x00\x00", 12));
    QCOMPARE(bytes.mid(12, 20), QByteArray("\x10\x00\x00\x00MTAwJSAlMiDDqQ==", 20));
    // Nothing follows the digest field: length 44, then 44 base64 characters.
    QCOMPARE(bytes.right(48).left(4), QByteArray("\x2c\x00\x00\x00", 4));
    QCOMPARE(QByteArray::fromBase64(bytes.right(44)), Header::computeHash(&set));
    auto header = Header::importHeaderFromQLTFile(path("golden.qlt"));
    QVERIFY(header);
    QVERIFY(Header::checkHash(header.get()));
}

void TestHeader::digestMatchesSha256sum() {
    const QLooper set = looper(ModelActivatedMode::Training, "b.wav");
    const QString text = "1"
                         "2"
                         "0" +
                         TITLE +
                         "T4rMo"
                         "https://x.org"
                         "88"
                         "loop.wav"
                         "48000"
                         "a.wav"
                         "b.wav"
                         "c1.qlw"
                         "c2.qlw"
                         "a.qlp"
                         "b.qlp";
    writeAll(path("digest.txt"), text.toUtf8());
    QProcess sha;
    sha.start("sha256sum", {path("digest.txt")});
    QVERIFY(sha.waitForFinished());
    QCOMPARE(sha.exitCode(), 0);
    const QByteArray external = QByteArray::fromHex(sha.readAllStandardOutput().left(64));
    QCOMPARE(Header::computeHash(&set), external);
}

void TestHeader::roundTripKeepsEveryField() {
    const QLooper set = looper(ModelActivatedMode::Recording, QString(), QString());
    QVERIFY(Header::exportHeaderToQLTFile(path("trip.qlt"), &set));
    auto h = Header::importHeaderFromQLTFile(path("trip.qlt"));
    QVERIFY(h);
    QCOMPARE(h->filename(), path("trip.qlt"));
    QCOMPARE(QList<int>({h->version(), h->mode(), h->app(), int(h->bpm()), int(h->offset())}),
             QList<int>({1, ModelActivatedMode::Recording, 0, 88, 48000}));
    QCOMPARE(QStringList({h->title(), h->author(), h->url(), h->pathSound_Looper(), h->pathSound_A(),
                          h->pathSound_B(), h->pathCurve_1(), h->pathCurve_2(), h->pathColor_A(),
                          h->pathColor_B()}),
             QStringList(
                 {TITLE, "T4rMo", "https://x.org", "loop.wav", "a.wav", "", "", "c2.qlw", "a.qlp", "b.qlp"}));
    QCOMPARE(h->hash(), Header::computeHash(&set));
    QVERIFY(Header::checkHash(h.get()));
}

void TestHeader::modeCodes_data() {
    QTest::addColumn<ModelActivatedMode::EnumActivatedMode>("mode");
    QTest::addColumn<char>("code");
    QTest::addColumn<ModelActivatedMode::EnumActivatedMode>("readBack");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Recording") << ModelActivatedMode::Recording << '\3' << ModelActivatedMode::Recording
                               << true;
    QTest::newRow("Looper") << ModelActivatedMode::Looper << '\2' << ModelActivatedMode::Looper << true;
    QTest::newRow("Training") << ModelActivatedMode::Training << '\1' << ModelActivatedMode::Training << true;
    QTest::newRow("Color") << ModelActivatedMode::Color << '\0' << ModelActivatedMode::Undefined << false;
}

void TestHeader::modeCodes() {
    QFETCH(ModelActivatedMode::EnumActivatedMode, mode);
    QFETCH(char, code);
    QFETCH(ModelActivatedMode::EnumActivatedMode, readBack);
    QFETCH(bool, accepted);
    const QLooper set = looper(mode);
    QVERIFY(Header::exportHeaderToQLTFile(path("mode.qlt"), &set));
    QCOMPARE(readAll(path("mode.qlt")).at(4), code);
    auto h = Header::importHeaderFromQLTFile(path("mode.qlt"));
    QCOMPARE(h->mode(), readBack);
    QCOMPARE(Header::checkHash(h.get()), accepted);
}

void TestHeader::flippedTitleByteFailsCheck() {
    const QLooper set = looper();
    QVERIFY(Header::exportHeaderToQLTFile(path("flip.qlt"), &set));
    QByteArray bytes = readAll(path("flip.qlt"));
    bytes[16] = 'N'; // "MTAw" -> "NTAw": the title now starts with "5".
    writeAll(path("flip.qlt"), bytes);
    auto h = Header::importHeaderFromQLTFile(path("flip.qlt"));
    QVERIFY(h);
    QVERIFY(h->title().startsWith("500%"));
    QVERIFY(!Header::checkHash(h.get()));
}

void TestHeader::missingFileGivesStartValues() {
    auto h = Header::importHeaderFromQLTFile(path("none.qlt"));
    QVERIFY(h);
    QCOMPARE(h->filename(), path("none.qlt"));
    QCOMPARE(h->mode(), ModelActivatedMode::Looper);
    QCOMPARE(h->bpm(), 84.0);
    QVERIFY(!Header::checkHash(h.get()));
}

void TestHeader::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    const QLooper set = looper();
    QVERIFY(Header::exportHeaderToQLTFile(path("good.qlt"), &set));
    const QByteArray good = readAll(path("good.qlt"));
    for (int cut : {0, 3, 11, 14, int(good.size()) - 45, int(good.size()) - 1})
        QTest::newRow(qPrintable(QString("cut at %1").arg(cut))) << good.left(cut) << false;
    QTest::newRow("giant title length")
        << good.left(12) + QByteArray("\xff\xff\xff\x7f", 4) + good.mid(16) << false;
    for (const char* name : {"x.wav", "../x", "/etc/passwd", "a\\b", ".", "..", "dir/x.wav"})
        QTest::newRow(name) << headerWithLooperSound(good.left(12), name) << (QByteArray(name) == "x.wav");
}

void TestHeader::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    writeAll(path("bad.qlt"), bytes);
    const auto h = Header::importHeaderFromQLTFile(path("bad.qlt"));
    QCOMPARE(bool(h), accepted);
}

void TestHeader::writerRefusesAndReports() {
    const QLooper set = looper();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Training file not written"));
    QVERIFY(!Header::exportHeaderToQLTFile(path("no/such/folder/x.qlt"), &set));
    const QLooper escaping = looper(ModelActivatedMode::Looper, "../b.wav");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a bare file name"));
    QVERIFY(!Header::exportHeaderToQLTFile(path("x.qlt"), &escaping));
    QVERIFY(!QFile::exists(path("x.qlt")));
    QVERIFY(!Header::exportHeaderToQLTFile(path("x.qlt"), nullptr));
}

QUILLON_TEST_MAIN(TestHeader)
#include "tst_Header.moc"
