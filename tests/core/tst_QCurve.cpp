#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "TestSandbox.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"

class TestQCurve : public QObject {
    Q_OBJECT

private slots:
    void searches_data();
    void searches();
    void searchesAgreeWithBinarySearch_data();
    void searchesAgreeWithBinarySearch();
    void extentOfNegativeY();
    void fileRoundTrip();
    void fileWriteFailureIsReported();
    void readHostile_data();
    void readHostile();
    void readMissingFile();
    void appendWhileReading();
};

namespace {

// The registry's input A runs at 48000 frames per second; the step is 48000 / points per second.
void setStep(double framesPerPoint) {
    Singleton::instance()->instancePerformance()->setProcessingBuffer(ModelGraph::INPUT_A,
                                                                      48000.0 / framesPerPoint);
}

RecordingLooperTraining* openSet() {
    return Singleton::instance()->instanceLooperTraining();
}

QData point(qint32 samplerate, double y = 0.0) {
    QData p;
    p.setSamplerate(samplerate);
    p.setY(y);
    return p;
}

// An encoder and decoder of the file layout written out by hand, independent of the code under test.
QByteArray i32(qint32 v) {
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char(quint32(v) >> (8 * i));
    return b;
}
QByteArray f64(double v) {
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    QByteArray b(8, 0);
    for (int i = 0; i < 8; ++i)
        b[i] = char(bits >> (8 * i));
    return b;
}
QByteArray record(qint32 frame, double y, double degrees, qint16 rotation, qint8 drawon) {
    return i32(frame) + f64(y) + f64(degrees) + i32(rotation).left(2) + QByteArray(1, char(drawon));
}
quint64 unsignedAt(const QByteArray& b, int at, int size) {
    quint64 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}
double f64At(const QByteArray& b, int at) {
    const quint64 bits = unsignedAt(b, at, 8);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

void TestQCurve::searches_data() {
    QTest::addColumn<QList<int>>("frames");
    QTest::addColumn<double>("step");
    QTest::addColumn<bool>("after");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("index");
    const QList<int> three{0, 160, 320};
    const QList<int> four{0, 160, 320, 480};
    // The same answers whether the step matches the spacing or is ten times off either way.
    for (double factor : {1.0, 10.0, 0.1}) {
        const auto row = [&](const char* name) { return &QTest::addRow("%s, step x %g", name, factor); };
        *row("after 150") << three << 160 * factor << true << 150 << 1;
        *row("after 160") << three << 160 * factor << true << 160 << 1;
        *row("after the last") << three << 160 * factor << true << 900 << 2;
        *row("before 170") << three << 160 * factor << false << 170 << 1;
        *row("before 320") << three << 160 * factor << false << 320 << 2;
        *row("before 490") << four << 200 * factor << false << 490 << 3;
        *row("after 0") << three << 160 * factor << true << 0 << 0;
        *row("before 0") << three << 160 * factor << false << 0 << 0;
        *row("before the first") << QList<int>{100, 200} << 100 * factor << false << 50 << 0;
        *row("after, empty") << QList<int>{} << 160 * factor << true << 500 << 0;
        *row("before, empty") << QList<int>{} << 160 * factor << false << 500 << 0;
    }
}

void TestQCurve::searches() {
    QFETCH(QList<int>, frames);
    QFETCH(double, step);
    QFETCH(bool, after);
    QFETCH(int, s);
    setStep(step);
    QCurve curve(ModelGraph::INPUT_A);
    for (int f : frames)
        curve.addDataCurve(point(f));
    QTEST(after ? curve.searchPosAfterFromSamplerate(s) : curve.searchPosBeforeFromSamplerate(s), "index");
}

void TestQCurve::searchesAgreeWithBinarySearch_data() {
    QTest::addColumn<double>("step");
    QTest::newRow("fractional step") << 147.3;
    QTest::newRow("ten times too long") << 1473.0;
    QTest::newRow("ten times too short") << 14.73;
}

// Irregular spacing with repeated frames, against the standard library's searches.
void TestQCurve::searchesAgreeWithBinarySearch() {
    QFETCH(double, step);
    setStep(step);
    std::mt19937 random(7);
    std::vector<int> frames;
    for (int f = 0; frames.size() < 20000; f += int(random() % 300))
        frames.push_back(f);
    QCurve curve(ModelGraph::INPUT_A);
    for (int f : frames)
        curve.addDataCurve(point(f));
    const int last = int(frames.size()) - 1;
    for (int k = 0; k < 3000; ++k) {
        const int s = 1 + int(random() % (frames.back() + 500));
        const auto lower = int(std::lower_bound(frames.begin(), frames.end(), s) - frames.begin());
        const auto upper = int(std::upper_bound(frames.begin(), frames.end(), s) - frames.begin());
        QCOMPARE(curve.searchPosAfterFromSamplerate(s), std::min(lower, last));
        QCOMPARE(curve.searchPosBeforeFromSamplerate(s), std::max(upper - 1, 0));
    }
}

void TestQCurve::extentOfNegativeY() {
    setStep(160);
    QCurve curve(ModelGraph::INPUT_A);
    const double ys[] = {-5, -1, -9, -3};
    for (int i = 0; i < 4; ++i)
        curve.addDataCurve(point(i * 160, ys[i]));
    double minY = 0, maxY = 0;
    bool found = false;
    curve.calculPosStartEnd(0, 480, minY, maxY, found);
    QCOMPARE(curve.posStart(), 0);
    QCOMPARE(curve.posEnd(), 3);
    QVERIFY(found);
    QCOMPARE(minY, -9.0);
    QCOMPARE(maxY, -1.0);
    QCOMPARE(curve.qDataBeforeFromSamplerate(330)->y(), -9.0);
    curve.reset();
    QVERIFY(!curve.qDataBeforeFromSamplerate(330));
    curve.calculPosStartEnd(0, 480, minY, maxY, found);
    QVERIFY(!found);
}

void TestQCurve::fileRoundTrip() {
    openSet()->setBpm(120);
    openSet()->setFactorSpeed(126.7);
    Singleton::instance()->instancePathFile()->newPathDirectory_recording();
    struct Row {
        qint32 frame;
        double y, degrees;
        ModelRotation::EnumRotation rotation;
        bool drawon;
        qint16 code;
    };
    const Row rows[] = {{0, 1.25, 725, ModelRotation::FORWARD, true, 1},
                        {160, -2.5, -30, ModelRotation::BACK, false, 0},
                        {-7, 1e300, 0.5, ModelRotation::UNDEFINED, true, 2}};
    QCurve written(ModelGraph::INPUT_A);
    for (const Row& r : rows) {
        QData p = point(r.frame, r.y);
        p.setTargetPosition(r.degrees);
        p.setRotation(r.rotation);
        p.setDrawon(r.drawon);
        p.setTimecode(99);
        p.setAcceleration(1.5);
        written.addDataCurve(p);
    }
    QVERIFY(written.exportCurveToQLWFile("a"));
    const QString path =
        Singleton::instance()->instancePathFile()->createPathDirectory_recording() + "/a.qlw";
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    QCOMPARE(b.size(), 8 + 23 * 3);
    QCOMPARE(qint32(unsignedAt(b, 0, 4)), 126);
    QCOMPARE(qint32(unsignedAt(b, 4, 4)), 3);
    for (int i = 0; i < 3; ++i) {
        const int at = 8 + 23 * i;
        QCOMPARE(qint32(unsignedAt(b, at, 4)), rows[i].frame);
        QCOMPARE(f64At(b, at + 4), rows[i].y);
        QCOMPARE(f64At(b, at + 12), rows[i].degrees);
        QCOMPARE(qint16(unsignedAt(b, at + 20, 2)), rows[i].code);
        QCOMPARE(int(b[at + 22]), rows[i].drawon ? 1 : 0);
    }

    openSet()->setBpm(84);
    QCurve read(ModelGraph::INPUT_B);
    read.addDataCurve(point(5));
    read.importCurveFromQLWFile(path, true);
    QCOMPARE(openSet()->bpm(), 126.0);
    QCOMPARE(read.curveGlobal()->size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QData p = *read.curveGlobal()->value(i);
        QCOMPARE(p.samplerate(), rows[i].frame);
        QCOMPARE(p.y(), rows[i].y);
        QCOMPARE(p.targetPosition(), rows[i].degrees);
        QCOMPARE(p.rotation(), rows[i].rotation);
        QCOMPARE(p.drawon(), rows[i].drawon);
        QCOMPARE(p.timecode(), 0);
        QCOMPARE(p.acceleration(), 0.0);
    }
    QCOMPARE(read.curveGlobal()->value(1)->targetVinylDeltaPosition(), 330.0);
}

void TestQCurve::fileWriteFailureIsReported() {
    PathFile* files = Singleton::instance()->instancePathFile();
    files->newPathDirectory_recording();
    // A file where the recording folder should be: neither the folder nor the curve can be made.
    QDir().mkpath(Path::joinRecording(""));
    // An earlier case may have made a folder of the same millisecond's name.
    QDir(Path::joinRecording(files->pathDirectory_recording())).removeRecursively();
    writeFile(Path::joinRecording(files->pathDirectory_recording()), "x");
    QCurve curve(ModelGraph::INPUT_A);
    curve.addDataCurve(point(1));
    QVERIFY(!curve.exportCurveToQLWFile("a"));
}

void TestQCurve::readHostile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("setBpm");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("bpm");
    // Any rotation code but 0 and 1 reads as undefined, any drawon byte but 0 as audible.
    const QByteArray one = record(10, 1.0, 2.0, 7, 5);
    QTest::newRow("complete") << i32(90) + i32(1) + one << true << 1 << 90.0;
    QTest::newRow("tempo not asked for") << i32(90) + i32(1) + one << false << 1 << 84.0;
    QTest::newRow("cut inside a record") << i32(90) + i32(3) + one + one + one.left(10) << true << 2 << 90.0;
    QTest::newRow("count beyond the data") << i32(90) + i32(INT_MAX) + one << true << 1 << 90.0;
    QTest::newRow("negative count") << i32(90) + i32(-1) + one << true << 0 << 90.0;
    QTest::newRow("non-finite dropped")
        << i32(90) + i32(3) + record(1, qQNaN(), 0, 1, 1) + record(2, 0, qInf(), 1, 1) + one << true << 1
        << 90.0;
    QTest::newRow("tempo 0") << i32(0) + i32(1) + one << true << 1 << 84.0;
    QTest::newRow("negative tempo") << i32(-5) + i32(1) + one << true << 1 << 84.0;
    QTest::newRow("cut inside the header") << i32(90) + i32(1).left(2) << true << 0 << 84.0;
    QTest::newRow("empty file") << QByteArray() << true << 0 << 84.0;
}

void TestQCurve::readHostile() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, setBpm);
    const QString path = TestSandbox::root() + "/hostile.qlw";
    writeFile(path, bytes);
    openSet()->setBpm(84);
    QCurve curve(ModelGraph::INPUT_A);
    curve.importCurveFromQLWFile(path, setBpm);
    QTEST(curve.curveGlobal()->size(), "points");
    QTEST(openSet()->bpm(), "bpm");
    if (const auto last = curve.curveGlobal()->value(curve.curveGlobal()->size() - 1)) {
        QCOMPARE(last->samplerate(), 10);
        QCOMPARE(last->rotation(), ModelRotation::UNDEFINED);
        QVERIFY(last->drawon());
    }
}

void TestQCurve::readMissingFile() {
    openSet()->setBpm(84);
    QCurve curve(ModelGraph::INPUT_A);
    curve.addDataCurve(point(1));
    curve.importCurveFromQLWFile(TestSandbox::root() + "/missing.qlw", true);
    QCOMPARE(curve.curveGlobal()->size(), 0);
    QCOMPARE(openSet()->bpm(), 84.0);
}

// An "audio" thread appends 200,000 points while this thread copies ranges and searches with a step
// ten times too short. The first 500 points come before any timecode; the point that carries the
// first one waits until reading is under way, so its back-fill overlaps the reads.
void TestQCurve::appendWhileReading() {
    constexpr int COUNT = 200000;
    constexpr int BEFORE_TIMECODE = 500;
    setStep(16);
    QCurve curve(ModelGraph::INPUT_A);
    QListDataCurve* list = curve.curveGlobal();
    std::atomic<int> reads{0};
    std::atomic<bool> done{false};
    std::atomic<bool> abandon{false};
    std::thread audio([&] {
        for (int i = 0; i < COUNT; ++i) {
            while (i == BEFORE_TIMECODE && reads < 100 && !abandon)
                std::this_thread::yield();
            QData p = point(i * 160, i);
            p.setTimecode(i < BEFORE_TIMECODE ? -1 : 10000 + i);
            curve.addDataCurve(p);
        }
        done = true;
    });
    // A failed check returns early; the appender still has to be joined.
    auto join = qScopeGuard([&] {
        abandon = true;
        audio.join();
    });
    std::mt19937 random(3);
    QData copy[64];
    while (!done) {
        const int n = list->size();
        if (n == 0)
            continue;
        ++reads;
        // Alternately inside the stretch the back-fill moves and anywhere.
        const int first = int(random() % (reads % 2 ? std::min(n, BEFORE_TIMECODE) : n));
        const int copied = list->copyRange(first, 64, copy);
        QVERIFY(copied >= 1 && copied <= 64);
        for (int k = 0; k < copied; ++k) {
            QCOMPARE(copy[k].samplerate(), (first + k) * 160);
            // A back-fill is seen whole or not at all.
            if (first + k < BEFORE_TIMECODE)
                QCOMPARE(copy[k].timecode() == -1, copy[0].timecode() == -1);
        }
        const int s = 1 + int(random() % (n * 160));
        const int after = curve.searchPosAfterFromSamplerate(s);
        QVERIFY(list->value(after)->samplerate() >= s || after == n - 1);
        QVERIFY(curve.qDataBeforeFromSamplerate(s)->samplerate() <= s);
    }
    join.dismiss();
    audio.join();
    QCOMPARE(list->size(), COUNT);
    // The first valid point (timecode 10500) meets point 499 (y 499): every earlier point moved by 10001.
    for (int i = 0; i < BEFORE_TIMECODE; ++i) {
        QCOMPARE(list->value(i)->y(), i + 10001.0);
        QCOMPARE(list->value(i)->timecode(), 10001);
    }
}

QUILLON_TEST_MAIN(TestQCurve)
#include "tst_QCurve.moc"
