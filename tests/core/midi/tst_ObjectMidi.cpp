#include <QtTest>

#include "TestSandbox.h"
#include "core/midi/ObjectMidi.h"

class TestObjectMidi : public QObject {
    Q_OBJECT

private slots:
    void status_data();
    void status();
};

void TestObjectMidi::status_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("value");
    QTest::addColumn<ModelCrossFader::EnumCrossFader>("status");
    QTest::newRow("0/127 at 0") << 0 << 127 << 0 << ModelCrossFader::LEFT;
    QTest::newRow("0/127 at 1") << 0 << 127 << 1 << ModelCrossFader::MIDDLE;
    QTest::newRow("0/127 at 126") << 0 << 127 << 126 << ModelCrossFader::MIDDLE;
    QTest::newRow("0/127 at 127") << 0 << 127 << 127 << ModelCrossFader::RIGHT;
    QTest::newRow("10/100 at 10") << 10 << 100 << 10 << ModelCrossFader::LEFT;
    QTest::newRow("10/100 at 11") << 10 << 100 << 11 << ModelCrossFader::MIDDLE;
    QTest::newRow("10/100 at 99") << 10 << 100 << 99 << ModelCrossFader::MIDDLE;
    QTest::newRow("10/100 at 100") << 10 << 100 << 100 << ModelCrossFader::RIGHT;
    // Crossed thresholds: the right one is asked first.
    QTest::newRow("100/10 at 50") << 100 << 10 << 50 << ModelCrossFader::RIGHT;
}

void TestObjectMidi::status() {
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(int, value);
    ObjectMidi object(0, 7, ModelMode::Basic);
    object.setCrossLeftRight(left, right);
    object.setValue(value);
    QTEST(object.status(), "status");
}

QUILLON_TEST_MAIN(TestObjectMidi)
#include "tst_ObjectMidi.moc"
