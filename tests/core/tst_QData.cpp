#include <QtTest>

#include "TestSandbox.h"
#include "core/QData.h"

class TestQData : public QObject {
    Q_OBJECT

private slots:
    void targetPositionIntoOneTurn_data();
    void targetPositionIntoOneTurn();
};

void TestQData::targetPositionIntoOneTurn_data() {
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("inTurn");
    QTest::newRow("two turns") << 720.0 << 0.0;
    QTest::newRow("negative") << -30.0 << 330.0;
    QTest::newRow("just below a turn") << 359.5 << 359.5;
    QTest::newRow("past two turns") << 725.0 << 5.0;
    QTest::newRow("minus one turn") << -360.0 << 0.0;
    // Shifting -1e-20 by a turn rounds to 360, which is outside [0, 360).
    QTest::newRow("tiny negative") << -1e-20 << 0.0;
}

void TestQData::targetPositionIntoOneTurn() {
    QFETCH(double, degrees);
    QData point;
    point.setTargetPosition(degrees);
    QCOMPARE(point.targetPosition(), degrees);
    QTEST(point.targetVinylDeltaPosition(), "inTurn");
}

QUILLON_TEST_MAIN(TestQData)
#include "tst_QData.moc"
