#include <QSignalSpy>
#include <QtTest>

#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/Header.h"
#include "core/QLooper.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"

// The open set's values and signals, and the training file that stores them.
class TestHeader : public QObject {
    Q_OBJECT

private slots:
    void written_data();
    void written();
    void read_data();
    void read();
    void writerRefusesAndReports();
    void curvePathSignalOrder_data();
    void curvePathSignalOrder();
    void tempo();
};

namespace {

const QString TITLE = QString::fromUtf8("100% %2 é");

QLooper looper(ModelActivatedMode::EnumActivatedMode mode = ModelActivatedMode::Looper,
               const QString& soundB = {}) {
    return QLooper("ignored.qlt", 1, mode, 0, TITLE, "T4rMo", "https://x.org", "author.png", 88, "loop.wav",
                   48000, "a.wav", soundB, "c1.qlw", "c2.qlw", "a.qlp", "b.qlp");
}

QString path(const QString& name) {
    return TestSandbox::root() + "/" + name;
}

} // namespace

void TestHeader::written_data() {
    QTest::addColumn<ModelActivatedMode::EnumActivatedMode>("mode");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Recording") << ModelActivatedMode::Recording << true;
    QTest::newRow("Looper") << ModelActivatedMode::Looper << true;
    QTest::newRow("Training") << ModelActivatedMode::Training << true;
    // Not a set: read back as Undefined, so the digest differs.
    QTest::newRow("Color") << ModelActivatedMode::Color << false;
}

// The bytes as the format defines them, then read back.
void TestHeader::written() {
    QFETCH(ModelActivatedMode::EnumActivatedMode, mode);
    QFETCH(bool, accepted);
    const QLooper set = looper(mode, "b.wav");
    QVERIFY(Header::exportHeaderToQLTFile(path("trip.qlt"), &set));
    QCOMPARE(TestFiles::read(path("trip.qlt")),
             TestFiles::trainingFile({mode,
                                      TITLE,
                                      "T4rMo",
                                      "https://x.org",
                                      88,
                                      "loop.wav",
                                      48000,
                                      {"a.wav", "b.wav", "c1.qlw", "c2.qlw", "a.qlp", "b.qlp"}}));
    const auto h = Header::importHeaderFromQLTFile(path("trip.qlt"));
    QVERIFY(h);
    QCOMPARE(h->mode(), accepted ? mode : ModelActivatedMode::Undefined);
    QCOMPARE(QList<int>({h->version(), h->app(), int(h->bpm()), int(h->offset())}),
             QList<int>({1, 0, 88, 48000}));
    QCOMPARE(QStringList({h->title(), h->author(), h->url(), h->pathSound_Looper(), h->pathSound_A(),
                          h->pathSound_B(), h->pathCurve_1(), h->pathCurve_2(), h->pathColor_A(),
                          h->pathColor_B()}),
             QStringList({TITLE, "T4rMo", "https://x.org", "loop.wav", "a.wav", "b.wav", "c1.qlw", "c2.qlw",
                          "a.qlp", "b.qlp"}));
    QCOMPARE(Header::checkHash(h.get()), accepted);
}

void TestHeader::read_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("digest");
    const QByteArray good = TestFiles::trainingFile({});
    QTest::newRow("as written") << good << true << true;
    QTest::newRow("missing: start values") << QByteArray() << true << false;
    QByteArray flipped = good;
    flipped[16] = 'N'; // a base64 letter of the title
    QTest::newRow("flipped title byte") << flipped << true << false;
    for (int cut : {0, 3, 11, 14, int(good.size()) - 45, int(good.size()) - 1})
        QTest::addRow("cut at %d", cut) << good.left(cut) << false << false;
    QTest::newRow("giant title length")
        << good.left(12) + QByteArray("\xff\xff\xff\x7f", 4) + good.mid(16) << false << false;
    for (const char* name : {"x.wav", "../x", "/etc/passwd", "a\\b", ".", "..", "dir/x.wav"}) {
        const bool bare = QByteArray(name) == "x.wav";
        QTest::newRow(name) << TestFiles::trainingFile({.looper = name}) << bare << bare;
    }
}

void TestHeader::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    QFile::remove(path("read.qlt"));
    if (!bytes.isNull())
        QVERIFY(TestFiles::write(path("read.qlt"), bytes));
    const auto h = Header::importHeaderFromQLTFile(path("read.qlt"));
    QCOMPARE(bool(h), accepted);
    if (h)
        QTEST(Header::checkHash(h.get()), "digest");
    if (h && bytes.isNull())
        QCOMPARE(QString("%1 %2 %3 %4").arg(h->bpm()).arg(h->mode()).arg(h->title(), h->filename()),
                 "84 1  " + path("read.qlt"));
}

void TestHeader::writerRefusesAndReports() {
    const QLooper escaping = looper(ModelActivatedMode::Looper, "../b.wav");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a bare file name"));
    QVERIFY(!Header::exportHeaderToQLTFile(path("x.qlt"), &escaping));
    QVERIFY(!Header::exportHeaderToQLTFile(path("x.qlt"), nullptr) && !QFile::exists(path("x.qlt")));
}

void TestHeader::curvePathSignalOrder_data() {
    QTest::addColumn<bool>("secondInput");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");
    for (bool second : {false, true}) {
        const char* input = second ? "B" : "A";
        QTest::addRow("%s empty", input) << second << "" << QStringList{"update", "reset"};
        QTest::addRow("%s QLW", input) << second << "x.QLW" << QStringList{"update", "reset"};
        QTest::addRow("%s wav", input) << second << "x.wav" << QStringList{"update", "reset"};
        QTest::addRow("%s qlw", input) << second << "x.qlw" << QStringList{"update", "reset", "open x.qlw 1"};
    }
}

void TestHeader::curvePathSignalOrder() {
    QFETCH(bool, secondInput);
    QFETCH(QString, path);
    using R = RecordingLooperTraining;
    R set;
    QStringList order;
    connect(&set, &R::s_Update, this, [&] { order << "update"; });
    connect(&set, secondInput ? &R::s_ResetCurve_2 : &R::s_ResetCurve_1, this, [&] { order << "reset"; });
    connect(&set, secondInput ? &R::s_OpenCurve_2 : &R::s_OpenCurve_1, this,
            [&](const QString& p, bool bpm) { order << QString("open %1 %2").arg(p).arg(bpm); });
    secondInput ? set.setPathCurve_2(path) : set.setPathCurve_1(path);
    QTEST(order, "expected");
    QCOMPARE(secondInput ? set.pathCurve_2() : set.pathCurve_1(), path);
}

// The played tempo and its factor; a tempo not above 0 (an empty curve file, a short training file)
// is never applied.
void TestHeader::tempo() {
    RecordingLooperTraining set;
    for (double bpm : {0.0, -5.0, qQNaN()})
        set.setFactorSpeed(bpm);
    QCOMPARE(set.factorSpeed(), 1.0);
    set.setFactorSpeed(100.0);
    QSignalSpy spy(&set, &RecordingLooperTraining::s_UpdateBpm);
    set.setBpm(84.9);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 84);
    QCOMPARE(set.bpmFactorSpeed(), 100.0);
    QCOMPARE(set.factorSpeed(), 100.0 / 84.0);
    const QSample b(ModelGraph::INPUT_B, -1, QString(), 44100.0, 2, 0);
    set.setBpmSamplerate(ModelGraph::INPUT_B, &b);
    QCOMPARE(set.bpmSamplerate(ModelGraph::INPUT_B), 26460.0);
    set.setBpmSamplerate(ModelGraph::INPUT_A, nullptr);
    QCOMPARE(set.bpmSamplerate(ModelGraph::MASTER), 48000.0 * 60 / 88);
    set.setBpm(0.0);
    set.setFactorSpeed(90.0);
    QCOMPARE(set.factorSpeed(), 1.0);
}

QUILLON_TEST_MAIN(TestHeader)
#include "tst_Header.moc"
