#include <QtTest>

#include <vector>

#include "TestSandbox.h"
#include "core/QListDataCurve.h"

class TestQListDataCurve : public QObject {
    Q_OBJECT

private slots:
    void valueOutsideIsNone();
    void copiesAcrossSegments();
    void clearEmpties();
    void backFillMovesPointsBeforeTimecode();
    void backFillNeverLeavesMinusOne_data();
    void backFillNeverLeavesMinusOne();
    void backFillOutsideDoesNothing();
};

namespace {

QData point(qint32 samplerate, double y, qint32 timecode = 0, double degrees = 0.0) {
    QData p;
    p.setSamplerate(samplerate);
    p.setY(y);
    p.setTimecode(timecode);
    p.setTargetPosition(degrees);
    return p;
}

// Points 0..3 at y 10..13 taken before any timecode, then point 4 carrying `timecode`.
void fillBeforeTimecode(QListDataCurve& list, qint32 timecode) {
    for (int i = 0; i < 4; ++i)
        QCOMPARE(list.addQdata(point(i * 160, 10 + i, -1, 100.0 + i)), i);
    QCOMPARE(list.addQdata(point(640, 0.0, timecode, 110.0)), 4);
}

} // namespace

void TestQListDataCurve::valueOutsideIsNone() {
    QListDataCurve list;
    QVERIFY(!list.value(0));
    list.addQdata(point(7, 1.5));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.value(0)->samplerate(), 7);
    QVERIFY(!list.value(1));
    QVERIFY(!list.value(-1));
}

void TestQListDataCurve::copiesAcrossSegments() {
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
    QCOMPARE(out[0].samplerate(), 1000);
    QCOMPARE(out[2079].samplerate(), 3079);
    QCOMPARE(list.copyRange(count, 1, out.data()), 0);
    QCOMPARE(list.copyRange(-1, 3, out.data()), 0);
    QCOMPARE(list.value(count - 1)->y(), double(1 - count));
}

void TestQListDataCurve::clearEmpties() {
    QListDataCurve list;
    list.clear();
    for (int i = 0; i < 2000; ++i)
        list.addQdata(point(i, i));
    list.clear();
    QCOMPARE(list.size(), 0);
    QVERIFY(!list.value(0));
    QCOMPARE(list.addQdata(point(5, 5)), 0);
    QCOMPARE(list.value(0)->samplerate(), 5);
}

void TestQListDataCurve::backFillMovesPointsBeforeTimecode() {
    QListDataCurve list;
    fillBeforeTimecode(list, 500);
    list.initStartValueBeforeTimecode(4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(list.value(i)->y(), 497.0 + i);
        QCOMPARE(list.value(i)->timecode(), 487);
        // Angles move by the turn between points 3 and 4 (110 - 103).
        QCOMPARE(list.value(i)->targetPosition(), 107.0 + i);
    }
    QCOMPARE(list.value(4)->y(), 0.0);
    QCOMPARE(list.value(4)->timecode(), 500);
}

void TestQListDataCurve::backFillNeverLeavesMinusOne_data() {
    QTest::addColumn<qint32>("timecode");
    QTest::addColumn<qint32>("mark");
    QTest::newRow("offset -1") << 12 << 0;
    QTest::newRow("offset -2") << 11 << -2;
    QTest::newRow("offset 0") << 13 << 0;
}

// The offset is the first timecode minus the last y (13): one that truncates to -1 must not leave
// the moved points looking untouched, or the next point would move them again.
void TestQListDataCurve::backFillNeverLeavesMinusOne() {
    QFETCH(qint32, timecode);
    QListDataCurve list;
    fillBeforeTimecode(list, timecode);
    list.initStartValueBeforeTimecode(4);
    const double moved = list.value(0)->y();
    QCOMPARE(moved, 10.0 + timecode - 13);
    QTEST(list.value(0)->timecode(), "mark");
    list.addQdata(point(800, 50.0, 900));
    list.initStartValueBeforeTimecode(5);
    QCOMPARE(list.value(0)->y(), moved);
}

void TestQListDataCurve::backFillOutsideDoesNothing() {
    QListDataCurve list;
    fillBeforeTimecode(list, 500);
    list.initStartValueBeforeTimecode(0);
    list.initStartValueBeforeTimecode(5);
    QCOMPARE(list.value(0)->y(), 10.0);
    QCOMPARE(list.value(0)->timecode(), -1);
}

QUILLON_TEST_MAIN(TestQListDataCurve)
#include "tst_QListDataCurve.moc"
