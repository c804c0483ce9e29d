#include <QtTest>

#include "TestSandbox.h"
#include "core/timecode/Lut.h"

class TestLut : public QObject {
    Q_OBJECT

private slots:
    void emptyTableFindsNothing();
    void codesSharingLowBitsChain();
    void fullTableIgnoresFurtherCodes();
    void initializationStartsOver();
    void hintGivesTheSameAnswer_data();
    void hintGivesTheSameAnswer();
};

void TestLut::emptyTableFindsNothing() {
    Lut lut;
    QCOMPARE(Lut::lookup(&lut, 0u), Lut::NOT_FOUND);
    QCOMPARE(Lut::inititialization(&lut, 4), 0);
    QCOMPARE(Lut::lookup(&lut, 0u), Lut::NOT_FOUND);
    QCOMPARE(lut.table().size(), 65536);
    QCOMPARE(lut.slot().size(), 4);
}

void TestLut::codesSharingLowBitsChain() {
    // All four codes hash to chain 0x1234; the chain links newest first.
    Lut lut;
    Lut::inititialization(&lut, 4);
    const quint32 codes[] = {0x11234u, 0x1234u, 0x7fff1234u, 0xffff1234u};
    for (quint32 code : codes)
        Lut::send(&lut, code);
    for (quint32 p = 0; p < 4; ++p)
        QCOMPARE(Lut::lookup(&lut, codes[p]), p);
    QCOMPARE(lut.table()[0x1234], 3u);
    QCOMPARE(lut.slot()[3].next(), 2u);
    QCOMPARE(lut.slot()[0].next(), Slot::END);
    QCOMPARE(Lut::lookup(&lut, 0x21234u), Lut::NOT_FOUND);
    QCOMPARE(Lut::lookup(&lut, 0x1235u), Lut::NOT_FOUND);
    QCOMPARE(lut.avail(), 4u);
}

void TestLut::fullTableIgnoresFurtherCodes() {
    Lut lut;
    Lut::inititialization(&lut, 1);
    Lut::send(&lut, 7);
    Lut::send(&lut, 8);
    QCOMPARE(lut.avail(), 1u);
    QCOMPARE(Lut::lookup(&lut, 7u), 0u);
    QCOMPARE(Lut::lookup(&lut, 8u), Lut::NOT_FOUND);
}

void TestLut::initializationStartsOver() {
    Lut lut;
    Lut::inititialization(&lut, 2);
    Lut::send(&lut, 5);
    QCOMPARE(Lut::inititialization(&lut, 3), 0);
    QCOMPARE(lut.avail(), 0u);
    QCOMPARE(Lut::lookup(&lut, 5u), Lut::NOT_FOUND);
}

void TestLut::hintGivesTheSameAnswer_data() {
    QTest::addColumn<quint32>("code");
    QTest::addColumn<quint32>("hint");
    QTest::addColumn<quint32>("position");
    QTest::newRow("at") << 0x30u << 3u << 3u;
    QTest::newRow("after") << 0x40u << 3u << 4u;
    QTest::newRow("before") << 0x20u << 3u << 2u;
    QTest::newRow("far") << 0x60u << 1u << 6u;
    QTest::newRow("first, hint at end") << 0x00010000u << 7u << 0u;
    QTest::newRow("hint past the table") << 0x40u << 100u << 4u;
    QTest::newRow("no hint") << 0x40u << Lut::NOT_FOUND << 4u;
    QTest::newRow("absent") << 0x41u << 4u << Lut::NOT_FOUND;
    // Slots past the last stored one hold the default code 0; they must not answer.
    QTest::newRow("zero beside unfilled") << 0x0u << 8u << Lut::NOT_FOUND;
}

void TestLut::hintGivesTheSameAnswer() {
    QFETCH(quint32, code);
    QFETCH(quint32, hint);
    QFETCH(quint32, position);
    Lut lut;
    Lut::inititialization(&lut, 10);
    const quint32 codes[] = {0x00010000u, 0x10u, 0x20u, 0x30u, 0x40u, 0x50u, 0x60u, 0x70u, 0x80u};
    for (quint32 c : codes)
        Lut::send(&lut, c);
    QCOMPARE(Lut::lookup(&lut, code, hint), position);
    QCOMPARE(Lut::lookup(&lut, code), position);
}

QUILLON_TEST_MAIN(TestLut)
#include "tst_Lut.moc"
