#include <QtTest>

#include <cstring>
#include <vector>

#include "TestSandbox.h"
#include "core/Function.h"
#include "core/midi/QMidiIn.h"

using Events = QList<QPair<quint32, quint32>>;

class TestQMidiIn : public QObject {
    Q_OBJECT

private slots:
    void packetWalk_data();
    void packetWalk();
    void noBackEndListsNothing();
};

namespace {

// One packet as the platform layer lays it out: time stamp, length, data.
QByteArray packet(quint64 stamp, const char* hex, int declaredLength = -1) {
    const QByteArray data = QByteArray::fromHex(hex);
    const quint16 length = declaredLength < 0 ? quint16(data.size()) : quint16(declaredLength);
    QByteArray bytes(10, '\0');
    std::memcpy(bytes.data(), &stamp, 8);
    std::memcpy(bytes.data() + 8, &length, 2);
    return bytes + data;
}

} // namespace

void TestQMidiIn::packetWalk_data() {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<Events>("expected");
    const Events cc3 = {{0x006407B0, 3}};
    QTest::newRow("one control change")
        << packet(0x1122334455667788, "b00764") << Events{{0x006407B0, 0x55667788}};
    QTest::newRow("two messages") << packet(7, "903c7f904000") << Events{{0x007F3C90, 7}, {0x00004090, 7}};
    QTest::newRow("four bytes dropped whole") << packet(3, "b0076400") << Events{};
    QTest::newRow("timing clocks dropped") << packet(3, "f8f8f8") << Events{};
    QTest::newRow("running-status group dropped") << packet(3, "b00764081000") << cc3;
    QTest::newRow("last channel status kept") << packet(3, "ef7f7ff00102") << Events{{0x007F7FEF, 3}};
    QTest::newRow("walk goes on") << packet(1, "") + packet(2, "b007") + packet(3, "b00764") << cc3;
    // Hostile lengths: under a sanitizer any read past the exactly sized copy stops the test.
    QTest::newRow("length past the end") << packet(3, "b00764") + packet(4, "b00764", 300) << cc3;
    QTest::newRow("length one past the end") << packet(3, "b00764", 4) << Events{};
    QTest::newRow("truncated header") << packet(3, "b00764") + QByteArray(9, '\xb0') << cc3;
}

void TestQMidiIn::packetWalk() {
    QFETCH(QByteArray, list);
    const std::vector<std::uint8_t> bytes(list.cbegin(), list.cend());
    Events events;
    QMidiIn::walkPacketList(bytes.data(), bytes.size(), [&events](quint32 message, quint32 timing) {
        events.append({message, timing});
    });
    QTEST(events, "expected");
}

void TestQMidiIn::noBackEndListsNothing() {
    QVERIFY(QMidiIn::devices().isEmpty());
    QVERIFY(Function::devicesMidiIn().isEmpty());
    QMidiIn input;
    QVERIFY(!input.connect("0"));
    input.start();
    input.stop();
    input.disconnect();
}

QUILLON_TEST_MAIN(TestQMidiIn)
#include "tst_QMidiIn.moc"
