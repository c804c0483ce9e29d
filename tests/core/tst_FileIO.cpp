#include <QBuffer>
#include <QtTest>

#include "TestSandbox.h"
#include "core/FileIO.h"

class TestFileIO : public QObject {
    Q_OBJECT

private slots:
    void writtenBytes_data();
    void writtenBytes();
    void read_data();
    void read();
};

void TestFileIO::writtenBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("abc") << "abc" << QByteArray("\x04\x00\x00\x00YWJj", 8);
    QTest::newRow("empty") << QString() << QByteArray("\x00\x00\x00\x00", 4);
    QTest::newRow("UTF-8 first") << QString::fromUtf8("é") << QByteArray("\x04\x00\x00\x00w6k=", 8);
}

// Written, then read back with a second field behind it.
void TestFileIO::writtenBytes() {
    QFETCH(QString, text);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    FileIO::writeStringToBase64(text, out);
    QTEST(bytes, "bytes");
    FileIO::writeStringToBase64("100% %2 é" + QString(5000, QChar(0x263A)), out);
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    QCOMPARE(FileIO::readStringFromBase64(in), text);
    QCOMPARE(FileIO::readStringFromBase64(in), "100% %2 é" + QString(5000, QChar(0x263A)));
    QVERIFY(in.status() == QDataStream::Ok && in.atEnd());
}

void TestFileIO::read_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("consumed");
    QTest::newRow("length 0") << QByteArray("\x00\x00\x00\x00z", 5) << "" << true << 4;
    QTest::newRow("all-ones length") << QByteArray("\xff\xff\xff\xffz", 5) << "" << true << 4;
    // Nothing is allocated for a length the file cannot hold.
    QTest::newRow("giant length") << QByteArray("\xff\xff\xff\x7f" "abcdef", 10) << "" << false << 4;
    QTest::newRow("one past the end") << QByteArray("\x05\x00\x00\x00YWJj", 8) << "" << false << 4;
    QTest::newRow("cut length") << QByteArray("\x04\x00", 2) << "" << false << 2;
}

void TestFileIO::read() {
    QFETCH(QByteArray, bytes);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QDataStream in(&buffer);
    in.setByteOrder(QDataStream::LittleEndian);
    QTEST(FileIO::readStringFromBase64(in), "text");
    QTEST(in.status() == QDataStream::Ok, "ok");
    QTEST(int(buffer.pos()), "consumed");
}

QUILLON_TEST_MAIN(TestFileIO)
#include "tst_FileIO.moc"
