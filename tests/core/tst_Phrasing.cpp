#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/Phrasing.h"

class TestPhrasing : public QObject {
    Q_OBJECT

private slots:
    void idsStartAtDefaultAndResetTogether();
};

void TestPhrasing::idsStartAtDefaultAndResetTogether() {
    Phrasing phrasing;
    QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_A), Constant::Default::UUID);
    QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_B), Constant::Default::UUID);
    QCOMPARE(phrasing.listPhrasing(ModelGraph::INPUT_B), nullptr);
    const QUuid id = QUuid::createUuid();
    phrasing.setIdPhrasingActivated(ModelGraph::INPUT_B, id);
    QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_B), id);
    QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_A), Constant::Default::UUID);
    phrasing.setIdPhrasingActivated(ModelGraph::MASTER, id);
    QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_A), id);
    phrasing.initIdPhrasingActivated();
    QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_A), Constant::Default::UUID);
    QCOMPARE(phrasing.idPhrasingActivated(ModelGraph::INPUT_B), Constant::Default::UUID);
}

QUILLON_TEST_MAIN(TestPhrasing)
#include "tst_Phrasing.moc"
