#include <QSignalSpy>
#include <QtTest>

#include <cstring>
#include <vector>

#include "TestSandbox.h"
#include "core/Function.h"
#include "core/midi/QMidiIn.h"

using Events = QList<QPair<quint32, quint32>>;
Q_DECLARE_METATYPE(Events)

class TestQMidiIn : public QObject {
    Q_OBJECT

private slots:
    void packetWalk_data();
    void packetWalk();
    void noBackEndListsNothing();
};

namespace {

// One packet as the platform layer lays it out: time stamp, length, data.
QByteArray packet(quint64 stamp, const QByteArray& data, quint16 declaredLength) {
    QByteArray bytes(10, '\0');
    std::memcpy(bytes.data(), &stamp, 8);
    std::memcpy(bytes.data() + 8, &declaredLength, 2);
    return bytes + data;
}

QByteArray packet(quint64 stamp, const QByteArray& data) {
    return packet(stamp, data, static_cast<quint16>(data.size()));
}

} // namespace

void TestQMidiIn::packetWalk_data() {
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<Events>("expected");
    const quint64 t = 0x1122334455667788;
    const QByteArray cc = QByteArray::fromHex("b00764");

    QTest::newRow("one control change") << packet(t, cc) << Events{{0x006407B0, 0x55667788}};
    QTest::newRow("two note-ons, one time stamp")
        << packet(7, QByteArray::fromHex("903c7f904000")) << Events{{0x007F3C90, 7}, {0x00004090, 7}};
    QTest::newRow("four bytes dropped whole") << packet(t, QByteArray::fromHex("b0076400")) << Events{};
    QTest::newRow("program change alone dropped") << packet(t, QByteArray::fromHex("c005")) << Events{};
    QTest::newRow("timing clocks dropped") << packet(t, QByteArray::fromHex("f8f8f8")) << Events{};
    QTest::newRow("running-status group dropped")
        << packet(3, QByteArray::fromHex("b00764081000")) << Events{{0x006407B0, 3}};
    QTest::newRow("highest channel status kept, system status dropped")
        << packet(3, QByteArray::fromHex("ef7f7ff00102")) << Events{{0x007F7FEF, 3}};
    QTest::newRow("empty and dropped packets do not end the walk")
        << packet(1, QByteArray()) + packet(2, QByteArray::fromHex("b007")) + packet(3, cc)
        << Events{{0x006407B0, 3}};
    QTest::newRow("empty list") << QByteArray() << Events{};
    QTest::newRow("length past the end ends the walk")
        << packet(1, cc) + packet(2, cc, 300) << Events{{0x006407B0, 1}};
    QTest::newRow("length one past the end") << packet(1, cc, 4) << Events{};
    QTest::newRow("largest length, no data") << packet(1, QByteArray(), 0xFFFF) << Events{};
    QTest::newRow("truncated header after a packet")
        << packet(1, cc) + QByteArray(9, '\xb0') << Events{{0x006407B0, 1}};
}

void TestQMidiIn::packetWalk() {
    QFETCH(QByteArray, list);
    QFETCH(Events, expected);
    // An exactly sized heap copy, so a sanitizer build catches any read past its end.
    const std::vector<std::uint8_t> bytes(list.cbegin(), list.cend());
    Events events;
    QMidiIn::walkPacketList(bytes.data(), bytes.size(), [&events](quint32 message, quint32 timing) {
        events.append({message, timing});
    });
    QCOMPARE(events, expected);
}

void TestQMidiIn::noBackEndListsNothing() {
    QVERIFY(QMidiIn::devices().isEmpty());
    QVERIFY(Function::devicesMidiIn().isEmpty());

    QMidiIn input;
    QSignalSpy events(&input, &QMidiIn::midiEvent);
    QVERIFY(!input.connect("0"));
    QVERIFY(!input.connect("not a number"));
    input.start();
    input.stop();
    input.disconnect();
    QCOMPARE(events.count(), 0);
}

QUILLON_TEST_MAIN(TestQMidiIn)
#include "tst_QMidiIn.moc"
