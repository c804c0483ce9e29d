#include <QScopeGuard>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"

namespace {

// The registry's input A runs at 48000 frames per second; the step is 48000 / points per second.
void setStep(double framesPerPoint) {
    Singleton::instance()->instancePerformance()->setProcessingBuffer(ModelGraph::INPUT_A,
                                                                      48000.0 / framesPerPoint);
}

RecordingLooperTraining* openSet() {
    return Singleton::instance()->instanceLooperTraining();
}

QData point(qint32 samplerate, double y = 0.0, double degrees = 0.0, qint32 timecode = 0) {
    QData p;
    p.setSamplerate(samplerate);
    p.setY(y);
    p.setTargetPosition(degrees);
    p.setTimecode(timecode);
    return p;
}

using TestFiles::le;

QByteArray record(qint32 frame, double y, double degrees, qint16 rotation, qint8 drawon) {
    return le(frame) + le(y) + le(degrees) + le(rotation) + le(drawon);
}

QString text(const QData& p) {
    return QString::asprintf("%d %g %g %s %d", p.samplerate(), p.y(), p.targetPosition(),
                             qPrintable(Model::toText(p.rotation())), p.drawon());
}

} // namespace

// Curve points, the curve list, the curve and its file.
class TestQCurve : public QObject {
    Q_OBJECT

private slots:
    // -1e-20 shifted by a turn rounds to 360, which is outside [0, 360).
    void targetPositionIntoOneTurn() {
        for (auto [degrees, inTurn] : {std::pair{720.0, 0.0}, {-30.0, 330.0}, {359.5, 359.5}, {-1e-20, 0.0}})
            QCOMPARE(point(0, 0, degrees).targetVinylDeltaPosition(), inTurn);
    }

    void listCopiesAcrossSegments() {
        // Reaches into the third segment (1024 + 2048 points before it).
        const int count = QListDataCurve::FIRST_SEGMENT * 3 + 10;
        QListDataCurve list;
        for (int i = 0; i < count; ++i)
            QCOMPARE(list.addQdata(point(i, -i)), i);
        std::vector<QData> out(count + 5);
        QCOMPARE(list.copyRange(0, count + 5, out.data()), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(out[i].samplerate(), i);
        QCOMPARE(list.copyRange(1000, 2080, out.data()), 2080);
        QCOMPARE(out[2079].samplerate(), 3079);
        QVERIFY(list.copyRange(count, 1, out.data()) == 0 && list.copyRange(-1, 3, out.data()) == 0);
        QVERIFY(!list.value(count) && !list.value(-1));
    }

    // How the input's audio thread empties the live curve at a restart: nothing of the old points is
    // left, nor of their pending back-fill, readers see the generation move, and the kept segments take
    // the new points.
    void discardKeepsStorage() {
        const int count = QListDataCurve::FIRST_SEGMENT * 3 + 10;
        QListDataCurve list;
        for (int i = 0; i < count; ++i)
            list.addQdata(point(i, i, 0.0, -1));
        list.addQdata(point(count, 0.0, 0.0, 9000));
        list.initStartValueBeforeTimecode(count);
        QVERIFY(list.pendingBackFill() > 0);
        const quint64 before = list.generation();
        list.discard();
        QVERIFY(list.size() == 0 && !list.value(0) && list.pendingBackFill() == 0 && list.generation() != before);
        // Only the new run's points without a timecode move when its first one comes.
        list.addQdata(point(0, 7.0, 0.0, -1));
        list.addQdata(point(10, 8.0, 0.0, -1));
        list.addQdata(point(20, 0.0, 0.0, 100));
        list.initStartValueBeforeTimecode(2);
        QCOMPARE(QList<double>({list.value(0)->y(), list.value(1)->y()}), QList<double>({99.0, 100.0}));
        for (int i = 3; i < count; ++i)
            QCOMPARE(list.addQdata(point(10 * i, i)), i);
        std::vector<QData> out(count);
        QCOMPARE(list.copyRange(0, count, out.data()), count);
        QVERIFY(out[count - 1].samplerate() == 10 * (count - 1) && out[3000].y() == 3000.0);
    }

    void backFill_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<qint32>("timecode");
        QTest::addColumn<qint32>("mark");
        QTest::newRow("y 10..13, then timecode 500") << 4 << 500 << 487;
        // The offset is the first timecode minus the last y (13): one that truncates to -1 must not leave
        // the moved points looking untouched, or the next point would move them again.
        QTest::newRow("offset -1") << 4 << 12 << 0;
        QTest::newRow("offset -2") << 4 << 11 << -2;
        // More points than one append may store: readers see them all moved at once all the same.
        QTest::newRow("three chunks and more") << 3 * QListDataCurve::BACK_FILL_CHUNK + 5 << 9000 << 5914;
    }

    // Points 0..n-1 at y 10.. and 100 degrees on taken before any timecode, then point n carrying the
    // first one, at 110 degrees.
    void backFill() {
        QFETCH(int, points);
        QFETCH(qint32, timecode);
        QFETCH(qint32, mark);
        QListDataCurve list;
        for (int i = 0; i < points; ++i)
            list.addQdata(point(i * 160, 10 + i, 100.0 + i, -1));
        list.addQdata(point(points * 160, 0.0, 110.0, timecode));
        const quint64 before = list.generation();
        // Indices outside the list move nothing.
        list.initStartValueBeforeTimecode(0);
        list.initStartValueBeforeTimecode(points + 1);
        list.initStartValueBeforeTimecode(points);
        // The work stored per append is bounded; the rest waits for the appends that follow.
        QCOMPARE(list.pendingBackFill(), std::max(points - QListDataCurve::BACK_FILL_CHUNK, 0));
        const auto moved = [&](const QData& p, int i) {
            // Angles move by the turn between the last point without a timecode and the first with one.
            return p.y() == timecode - points + 1.0 + i && p.timecode() == mark &&
                   p.targetPosition() == 111.0 - points + i;
        };
        std::vector<QData> copies(points);
        double minY = 0, maxY = 0;
        for (int appended = 1; appended <= 4; ++appended) {
            list.addQdata(point((points + appended) * 160, 50.0, 0, 900));
            list.initStartValueBeforeTimecode(points + appended);
            QCOMPARE(list.copyRange(0, points, copies.data()), points);
            for (int i = 0; i < points; ++i) {
                QVERIFY2(moved(*list.value(i), i) && moved(copies[i], i), qPrintable(QString::number(i)));
            }
            QVERIFY(list.extentY(0, points, minY, maxY));
            QCOMPARE(QList<double>({minY, maxY}), QList<double>({timecode - points + 1.0, double(timecode)}));
        }
        QCOMPARE(list.value(points)->timecode(), timecode);
        QCOMPARE(list.pendingBackFill(), 0);
        // Readers that keep a copy must see that stored points changed, and again when they go.
        QVERIFY(list.generation() != before);
        const quint64 filled = list.generation();
        list.clear();
        QVERIFY(list.generation() != filled);
    }

    void searches_data() {
        QTest::addColumn<QList<int>>("frames");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("before");
        const QList<int> three{0, 160, 320};
        // The same answers whether the step matches the spacing or is ten times off either way.
        for (double f : {1.0, 10.0, 0.1}) {
            QTest::addRow("150, step x %g", f) << three << 160 * f << 150 << 1 << 0;
            QTest::addRow("160, step x %g", f) << three << 160 * f << 160 << 1 << 1;
            QTest::addRow("170, step x %g", f) << three << 160 * f << 170 << 2 << 1;
            QTest::addRow("320, step x %g", f) << three << 160 * f << 320 << 2 << 2;
            QTest::addRow("past the last, step x %g", f) << three << 160 * f << 900 << 2 << 2;
            QTest::addRow("490 of four, step x %g", f)
                << QList<int>{0, 160, 320, 480} << 200 * f << 490 << 3 << 3;
            QTest::addRow("0, step x %g", f) << three << 160 * f << 0 << 0 << 0;
            QTest::addRow("empty, step x %g", f) << QList<int>{} << 160 * f << 500 << 0 << 0;
        }
    }

    void searches() {
        QFETCH(QList<int>, frames);
        QFETCH(double, step);
        QFETCH(int, s);
        setStep(step);
        QCurve curve(ModelGraph::INPUT_A);
        for (int f : frames)
            curve.addDataCurve(point(f));
        QTEST(curve.searchPosAfterFromSamplerate(s), "after");
        QTEST(curve.searchPosBeforeFromSamplerate(s), "before");
    }

    // Frames taken at a changing rate: the bounded search from any guess agrees with a plain binary search.
    void searchesOverIrregularSpacing() {
        std::mt19937 random(7);
        QListDataCurve list;
        std::vector<qint32> frames;
        for (qint32 f = 0; frames.size() < 5000; f += 1 + int(random() % 700)) {
            frames.push_back(f);
            list.addQdata(point(f));
        }
        for (int i = 0; i < 20000; ++i) {
            const qint32 s = 1 + qint32(random() % (frames.back() + 800));
            const int guess = int(random() % frames.size());
            const auto at = std::lower_bound(frames.begin(), frames.end(), s);
            const int after = at == frames.end() ? int(frames.size()) - 1 : int(at - frames.begin());
            const int before =
                std::max(0, int(std::upper_bound(frames.begin(), frames.end(), s) - frames.begin()) - 1);
            QCOMPARE(list.indexAtOrAfter(s, guess), after);
            QCOMPARE(list.indexAtOrBefore(s, guess), before);
        }
    }

    // The extent is seeded from the first point in range, not from 0.
    void extentOfNegativeY() {
        setStep(160);
        QCurve curve(ModelGraph::INPUT_A);
        for (double y : {-5, -1, -9, -3})
            curve.addDataCurve(point(curve.curveGlobal()->size() * 160, y));
        double minY = 0, maxY = 0;
        bool found = false;
        curve.calculPosStartEnd(0, 480, minY, maxY, found);
        QVERIFY(found && curve.posStart() == 0 && curve.posEnd() == 3);
        QCOMPARE(QList<double>({minY, maxY}), QList<double>({-9, -1}));
        curve.reset();
        curve.calculPosStartEnd(0, 480, minY, maxY, found);
        QVERIFY(!found && !curve.qDataBeforeFromSamplerate(330));
    }

    void fileRoundTrip() {
        openSet()->setBpm(120);
        openSet()->setFactorSpeed(126.7);
        PathFile* files = Singleton::instance()->instancePathFile();
        files->newPathDirectory_recording();
        QCurve written(ModelGraph::INPUT_A);
        QData points[] = {point(0, 1.25, 725), point(160, -2.5, -30), point(-7, 1e300, 0.5)};
        points[0].setRotation(ModelRotation::FORWARD);
        points[1].setRotation(ModelRotation::BACK);
        points[0].setDrawon(true);
        points[2].setDrawon(true);
        for (const QData& p : points)
            written.addDataCurve(p);
        QVERIFY(written.exportCurveToQLWFile("a"));
        const QString file = files->createPathDirectory_recording() + "/a.qlw";
        // The played tempo, truncated.
        QCOMPARE(TestFiles::read(file), le<qint32>(126) + le<qint32>(3) + record(0, 1.25, 725, 1, 1) +
                                            record(160, -2.5, -30, 0, 0) + record(-7, 1e300, 0.5, 2, 1));

        openSet()->setBpm(84);
        QCurve read(ModelGraph::INPUT_B);
        read.importCurveFromQLWFile(file, true);
        QCOMPARE(openSet()->bpm(), 126.0);
        QStringList texts;
        for (int i = 0; i < read.curveGlobal()->size(); ++i)
            texts << text(*read.curveGlobal()->value(i));
        QCOMPARE(texts,
                 QStringList({"0 1.25 725 FORWARD 1", "160 -2.5 -30 BACK 0", "-7 1e+300 0.5 UNDEFINED 1"}));
        QCOMPARE(read.curveGlobal()->value(1)->targetVinylDeltaPosition(), 330.0);
    }

    void read_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<bool>("setBpm");
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("bpm");
        // Any rotation code but 0 and 1 reads as undefined, any drawon byte but 0 as audible.
        const QByteArray one = record(10, 1.0, 2.0, 7, 5);
        const QByteArray head = le<qint32>(90);
        QTest::newRow("complete") << head + le<qint32>(1) + one << true << 1 << 90.0;
        QTest::newRow("tempo not asked for") << head + le<qint32>(1) + one << false << 1 << 84.0;
        QTest::newRow("cut inside a record")
            << head + le<qint32>(3) + one + one + one.left(10) << true << 2 << 90.0;
        QTest::newRow("count beyond the data") << head + le<qint32>(INT_MAX) + one << true << 1 << 90.0;
        QTest::newRow("negative count") << head + le<qint32>(-1) + one << true << 0 << 90.0;
        QTest::newRow("non-finite dropped")
            << head + le<qint32>(3) + record(1, qQNaN(), 0, 1, 1) + record(2, 0, qInf(), 1, 1) + one << true
            << 1 << 90.0;
        QTest::newRow("tempo 0") << le<qint32>(0) + le<qint32>(1) + one << true << 1 << 84.0;
        QTest::newRow("negative tempo") << le<qint32>(-90) + le<qint32>(1) + one << true << 1 << 84.0;
        QTest::newRow("cut inside the header") << head + le<qint16>(1) << true << 0 << 84.0;
        QTest::newRow("missing file") << QByteArray() << true << 0 << 84.0;
    }

    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, setBpm);
        QFile file(TestSandbox::root() + "/in.qlw");
        file.remove();
        QVERIFY(bytes.isNull() || TestFiles::write(file.fileName(), bytes));
        openSet()->setBpm(84);
        QCurve curve(ModelGraph::INPUT_A);
        curve.addDataCurve(point(1));
        curve.importCurveFromQLWFile(file.fileName(), setBpm);
        QTEST(curve.curveGlobal()->size(), "points");
        QTEST(openSet()->bpm(), "bpm");
        if (const auto last = curve.curveGlobal()->value(curve.curveGlobal()->size() - 1))
            QCOMPARE(text(*last), QString("10 1 2 UNDEFINED 1"));
    }

    // An "audio" thread appends 200,000 points while this thread copies ranges and searches with a step
    // ten times too short, which a linear walk from the guess would take far too long over. The first 500
    // points come before any timecode; the point that carries the first one waits until reading is under way,
    // so its back-fill overlaps the reads.
    void appendWhileReading() {
        constexpr int COUNT = 200000;
        // A back-fill stored over several appends.
        constexpr int BEFORE_TIMECODE = 3 * QListDataCurve::BACK_FILL_CHUNK + 500;
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
                curve.addDataCurve(point(i * 160, i, 0, i < BEFORE_TIMECODE ? -1 : 10000 + i));
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
            if (n < 2)
                continue;
            ++reads;
            // Alternately inside the stretch the back-fill moves and anywhere.
            const int first = int(random() % (reads % 2 ? std::min(n, BEFORE_TIMECODE) : n));
            const int copied = list->copyRange(first, 64, copy);
            QVERIFY(copied >= 1 && copied <= 64);
            for (int k = 0; k < copied; ++k) {
                QCOMPARE(copy[k].samplerate(), (first + k) * 160);
                // A back-fill is seen whole or not at all, however much of it is stored yet.
                if (first + k < BEFORE_TIMECODE) {
                    QCOMPARE(copy[k].timecode() == -1, copy[0].timecode() == -1);
                    QCOMPARE(copy[k].y(), first + k + (copy[k].timecode() == -1 ? 0.0 : 10001.0));
                }
            }
            // Points are 160 frames apart: the first at or after s and the last at or before it are known.
            const int s = 1 + int(random() % ((n - 1) * 160));
            QCOMPARE(curve.searchPosAfterFromSamplerate(s), std::min((s + 159) / 160, n - 1));
            QCOMPARE(curve.searchPosBeforeFromSamplerate(s), s / 160);
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
};

QUILLON_TEST_MAIN(TestQCurve)
#include "tst_QCurve.moc"
