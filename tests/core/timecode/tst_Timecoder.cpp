#include <QtTest>

#include "TestSandbox.h"
#include "core/Model.h"
#include "core/timecode/Timecoder.h"

// Formats, code steps and lookup tables. Decoding is tested in tst_QTimecoder.
class TestTimecoder : public QObject {
    Q_OBJECT

private slots:
    void formatTable();
    void traktorSideB();
    void firstCodeWords_data();
    void firstCodeWords();
    void unknownNameGivesEmptyDefinition_data();
    void unknownNameGivesEmptyDefinition();
    void secondFindSharesTable();
    void wholeFormat_data();
    void wholeFormat();
    void brokenTable_data();
    void brokenTable();
};

void TestTimecoder::formatTable() {
    // The table's order is the enumeration's, so a configured key finds its own row.
    Timecoder timecoder;
    const QList<Definition>& defs = timecoder.definitions();
    QCOMPARE(defs.size(), 5);
    for (int i = 0; i < defs.size(); ++i) {
        QCOMPARE(defs[i].name(), Model::toText(ModelTimecode::EnumTimecode(i)));
        QVERIFY(!defs[i].lookup());
    }
    QCOMPARE(defs[2].desc(), QString("Serato 2nd Edition side B"));
    QCOMPARE(defs[2].seed(), 0x8f3c6);
    QCOMPARE(defs[2].taps(), 0x4f0d8);
    QCOMPARE(defs[2].length(), 922000);
    QCOMPARE(defs[2].safe(), 917000);
    QVERIFY(defs[1].fullDVS());
    QVERIFY(!defs[0].fullDVS());
}

void TestTimecoder::traktorSideB() {
    Timecoder timecoder;
    const Definition def = timecoder.findDefinition("traktor_sideB");
    QCOMPARE(def.name(), QString("traktor_sideB"));
    QCOMPARE(def.resolution(), 2000);
    QCOMPARE(def.flags(), 7);
    QCOMPARE(def.bits(), 23);
    QCOMPARE(def.length(), 2110000);
    QVERIFY(def.lookup());
    QCOMPARE(Timecoder::fwd(0x32066c, &def), 0x590336u);
    QCOMPARE(Lut::lookup(def.lut(), 0x32066c), 0u);
    QCOMPARE(Lut::lookup(def.lut(), 0x590336), 1u);
}

void TestTimecoder::firstCodeWords_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<quint32>>("codes");
    QTest::newRow("serato_sideA_FullDVS")
        << "serato_sideA_FullDVS" << QList<quint32>{0x59017, 0xac80b, 0xd6405};
    QTest::newRow("generic_V2") << "generic_V2" << QList<quint32>{0x59017, 0xac80b, 0xd6405};
    QTest::newRow("traktor_sideA") << "traktor_sideA" << QList<quint32>{0x134503, 0x49a281, 0x64d140};
}

void TestTimecoder::firstCodeWords() {
    QFETCH(QString, name);
    QFETCH(QList<quint32>, codes);
    Timecoder timecoder;
    const Definition def = timecoder.findDefinition(name);
    for (int n = 0; n < codes.size(); ++n) {
        QCOMPARE(Lut::lookup(def.lut(), codes[n]), quint32(n));
        if (n > 0)
            QCOMPARE(Timecoder::fwd(codes[n - 1], &def), codes[n]);
    }
}

void TestTimecoder::unknownNameGivesEmptyDefinition_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("case") << "Traktor_sideB";
    QTest::newRow("upper") << "GENERIC_V2";
    QTest::newRow("desc") << "Traktor Scratch side A";
    QTest::newRow("space") << "traktor_sideB ";
    QTest::newRow("empty") << "";
}

void TestTimecoder::unknownNameGivesEmptyDefinition() {
    QFETCH(QString, name);
    Timecoder timecoder;
    const Definition def = timecoder.findDefinition(name);
    QVERIFY(def.name().isEmpty());
    QVERIFY(!def.lookup());
    QCOMPARE(def.length(), 0);
    for (const Definition& entry : timecoder.definitions())
        QVERIFY(!entry.lookup());
}

void TestTimecoder::secondFindSharesTable() {
    Timecoder timecoder;
    const Definition first = timecoder.findDefinition("serato_sideB_FullDVS");
    QVERIFY(timecoder.definitions()[2].lookup());
    // A rebuild would reset the marker.
    first.lut()->setAvail(12345);
    const Definition second = timecoder.findDefinition("serato_sideB_FullDVS");
    QCOMPARE(second.lut(), first.lut());
    QCOMPARE(second.lut(), timecoder.definitions()[2].lut());
    QCOMPARE(second.lut()->avail(), 12345u);
    // Another Timecoder builds its own table.
    Timecoder other;
    QVERIFY(other.findDefinition("serato_sideB_FullDVS").lut() != first.lut());
}

void TestTimecoder::wholeFormat_data() {
    QTest::addColumn<QString>("name");
    const Timecoder timecoder;
    for (const Definition& def : timecoder.definitions())
        QTest::newRow(qPrintable(def.name())) << def.name();
}

void TestTimecoder::wholeFormat() {
    QFETCH(QString, name);
    Timecoder timecoder;
    const Definition def = timecoder.findDefinition(name);
    QCOMPARE(def.lut()->avail(), quint32(def.length()));
    quint32 c = quint32(def.seed());
    for (quint32 n = 0; n < quint32(def.length()); ++n) {
        const quint32 next = Timecoder::fwd(c, &def);
        if (Timecoder::rev(next, &def) != c || Lut::lookup(def.lut(), c) != n)
            QFAIL(qPrintable(QString("position %1, code 0x%2").arg(n).arg(c, 0, 16)));
        c = next;
    }
    // The code word one step past the end, and one wider than the format, are not on the record.
    QCOMPARE(Lut::lookup(def.lut(), c), Lut::NOT_FOUND);
    QCOMPARE(Lut::lookup(def.lut(), quint32(def.seed()) | (1u << def.bits())), Lut::NOT_FOUND);
}

void TestTimecoder::brokenTable_data() {
    QTest::addColumn<qint32>("seed");
    QTest::addColumn<qint32>("length");
    QTest::addColumn<QString>("message");
    // A 4-bit register repeats within 15 steps.
    QTest::newRow("repeats") << 0x1 << 20 << "uniqueness check failed";
    // A seed wider than the code word cannot be stepped back to.
    QTest::newRow("not reversible") << 0x1f << 5 << "reversibility check failed";
}

void TestTimecoder::brokenTable() {
    QFETCH(qint32, seed);
    QFETCH(qint32, length);
    QFETCH(QString, message);
    Timecoder timecoder;
    Definition& entry = timecoder.definitions()[0];
    entry.setBits(4);
    entry.setTaps(0x3);
    entry.setSeed(seed);
    entry.setLength(length);
    const QRegularExpression pattern("generic_V2 not used: " + QRegularExpression::escape(message));
    QTest::ignoreMessage(QtWarningMsg, pattern);
    QCOMPARE(Timecoder::buildLookup(&entry), -1);
    QVERIFY(!entry.lookup());
    // findDefinition tries again, says so again, and does not hand the format out.
    QTest::ignoreMessage(QtWarningMsg, pattern);
    QVERIFY(timecoder.findDefinition("generic_V2").name().isEmpty());
    // The other formats are unaffected.
    QCOMPARE(timecoder.findDefinition("serato_sideA_FullDVS").name(), QString("serato_sideA_FullDVS"));
}

QUILLON_TEST_MAIN(TestTimecoder)
#include "tst_Timecoder.moc"
