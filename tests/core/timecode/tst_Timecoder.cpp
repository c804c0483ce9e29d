#include <QtTest>

#include "TestSandbox.h"
#include "core/Model.h"
#include "core/timecode/Timecoder.h"

// Formats, code steps and lookup tables. Decoding is tested in tst_QTimecoder.
class TestTimecoder : public QObject {
    Q_OBJECT

private slots:
    void findDefinition();
    void wholeFormat_data();
    void wholeFormat();
    void brokenTable_data();
    void brokenTable();
    void lutFillAndRestart();
};

void TestTimecoder::findDefinition() {
    Timecoder timecoder;
    const Definition def = timecoder.findDefinition("traktor_sideB");
    QCOMPARE((QList<int>{def.resolution(), def.flags(), def.bits(), def.length()}),
             (QList<int>{2000, 7, 23, 2110000}));
    // Copies share the table; a rebuild would reset this.
    def.lut()->setAvail(12345);
    QCOMPARE(timecoder.findDefinition("traktor_sideB").lut()->avail(), 12345u);
    QVERIFY(Timecoder().findDefinition("traktor_sideB").lut() != def.lut());
    // Names match exactly.
    for (const QString name : {"Traktor_sideB", "traktor_sideB ", "Traktor Scratch side B", ""})
        QVERIFY(timecoder.findDefinition(name).name().isEmpty());
}

void TestTimecoder::wholeFormat_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<quint32>>("firstCodes"); // the words the record is known to start with
    const QList<quint32> serato{0x59017, 0xac80b, 0xd6405};
    const QList<QList<quint32>> codes{
        serato, serato, {}, {0x134503, 0x49a281, 0x64d140}, {0x32066c, 0x590336}};
    for (int i = 0; i < 5; ++i)
        QTest::newRow(qPrintable(Model::toText(ModelTimecode::EnumTimecode(i)))) << i << codes[i];
}

// Every position of every format: fwd and rev undo each other and the table finds each code word.
void TestTimecoder::wholeFormat() {
    QFETCH(int, index);
    Timecoder timecoder;
    QCOMPARE(timecoder.definitions().size(), 5);
    // The table's order is the enumeration's, so a configured key finds its own row.
    const Definition def = timecoder.findDefinition(Model::toText(ModelTimecode::EnumTimecode(index)));
    QCOMPARE(def.lut(), timecoder.definitions()[index].lut());
    QFETCH(QList<quint32>, firstCodes);
    for (int n = 0; n < firstCodes.size(); ++n)
        QCOMPARE(Lut::lookup(def.lut(), firstCodes[n]), quint32(n));
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
    entry = Definition(entry.name(), entry.desc(), false, 1000, 0, 4, seed, 0x3, length, length);
    const QRegularExpression pattern("generic_V2 not used: " + QRegularExpression::escape(message));
    QTest::ignoreMessage(QtWarningMsg, pattern);
    QCOMPARE(Timecoder::buildLookup(&entry), -1);
    // findDefinition tries again, says so again, and does not hand the format out.
    QTest::ignoreMessage(QtWarningMsg, pattern);
    QVERIFY(timecoder.findDefinition("generic_V2").name().isEmpty());
    // The other formats are unaffected.
    QVERIFY(timecoder.findDefinition("serato_sideA_FullDVS").lookup());
}

// Codes past a full table are dropped, a new start empties it, and slots not filled yet (holding
// code 0) never answer, whatever the hint.
void TestTimecoder::lutFillAndRestart() {
    Lut lut;
    QCOMPARE(Lut::lookup(&lut, 0u), Lut::NOT_FOUND); // never prepared
    QCOMPARE(Lut::inititialization(&lut, 1), 0);
    Lut::send(&lut, 7);
    Lut::send(&lut, 8);
    QCOMPARE(Lut::lookup(&lut, 7u, 0u), 0u);
    QCOMPARE(Lut::lookup(&lut, 8u), Lut::NOT_FOUND);
    QCOMPARE(Lut::inititialization(&lut, 3), 0);
    Lut::send(&lut, 5);
    QCOMPARE(Lut::lookup(&lut, 7u, 0u), Lut::NOT_FOUND);
    QCOMPARE(Lut::lookup(&lut, 0u, 1u), Lut::NOT_FOUND);
    QCOMPARE(Lut::lookup(&lut, 5u, 9u), 0u);
}

QUILLON_TEST_MAIN(TestTimecoder)
#include "tst_Timecoder.moc"
