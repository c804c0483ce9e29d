#include <QtTest>

#include "TestSandbox.h"
#include "core/InstCurve.h"

class TestInstCurve : public QObject {
    Q_OBJECT

private slots:
    void firstRegistrationFillsBoth();
};

void TestInstCurve::firstRegistrationFillsBoth() {
    // Only the addresses matter here: the registry never looks inside a list.
    alignas(8) char a = 0, b = 0;
    auto* listA = reinterpret_cast<QListDataCurve*>(&a);
    auto* listB = reinterpret_cast<QListDataCurve*>(&b);
    InstCurve curves;
    QCOMPARE(curves.curveMain(ModelGraph::INPUT_A), nullptr);
    QCOMPARE(curves.curveMain(ModelGraph::INPUT_B), nullptr);
    curves.setCurveMain(ModelGraph::INPUT_A, listA);
    QCOMPARE(curves.curveMain(ModelGraph::INPUT_B), listA);
    curves.setCurveMain(ModelGraph::INPUT_B, listB);
    QCOMPARE(curves.curveMain(ModelGraph::INPUT_A), listA);
    QCOMPARE(curves.curveMain(ModelGraph::INPUT_B), listB);
    QCOMPARE(curves.curveMain(ModelGraph::MASTER), listA);
}

QUILLON_TEST_MAIN(TestInstCurve)
#include "tst_InstCurve.moc"
