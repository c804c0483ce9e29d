#include <QBuffer>
#include <QtTest>

#include "TestSandbox.h"
#include "core/FileIO.h"

class TestFileIO : public QObject {
    Q_OBJECT

private slots:
    void base64FieldBytes();
    void roundTrip_data();
    void roundTrip();
    void emptyAndNullLengths();
    void hostileLengthIsRefused();
    void rawBytes();
};

namespace {

QByteArray written(const std::function<void(QDataStream&)>& write) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    write(stream);
    return bytes;
}

} // namespace

void TestFileIO::base64FieldBytes() {
    QCOMPARE(written([](QDataStream& s) { FileIO::writeStringToBase64("abc", s); }),
             QByteArray("\x04\x00\x00\x00YWJj", 8));
    QCOMPARE(written([](QDataStream& s) { FileIO::writeStringToBase64(QString(), s); }),
             QByteArray("\x00\x00\x00\x00", 4));
    QCOMPARE(written([](QDataStream& s) { FileIO::writeByteArrayToBase64(QByteArray(), s); }),
             QByteArray("\x00\x00\x00\x00", 4));
    // UTF-8 before base64: "é" is C3 A9.
    QCOMPARE(written([](QDataStream& s) { FileIO::writeStringToBase64(QString::fromUtf8("é"), s); }),
             QByteArray("\x04\x00\x00\x00w6k=", 8));
}

void TestFileIO::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "Regular Training";
    QTest::newRow("percent") << "100% %2 é";
    QTest::newRow("one char") << "x";
    QTest::newRow("long") << QString(5000, QChar(0x263A));
}

void TestFileIO::roundTrip() {
    QFETCH(QString, text);
    QByteArray bytes = written([&](QDataStream& s) {
        FileIO::writeStringToBase64(text, s);
        FileIO::writeStringToBase64("after", s);
    });
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    QCOMPARE(FileIO::readStringFromBase64(in), text);
    QCOMPARE(FileIO::readStringFromBase64(in), QString("after"));
    QCOMPARE(in.status(), QDataStream::Ok);
    QVERIFY(in.atEnd());
}

void TestFileIO::emptyAndNullLengths() {
    // Length 0 and the all-ones length both read as empty and consume only the four length bytes.
    QByteArray bytes("\x00\x00\x00\x00\xff\xff\xff\xff\x01\x00\x00\x00z", 13);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QDataStream in(&buffer);
    in.setByteOrder(QDataStream::LittleEndian);
    QCOMPARE(FileIO::readStringFromBase64(in), QString());
    QCOMPARE(buffer.pos(), 4);
    QCOMPARE(FileIO::readStringFromBase64(in), QString());
    QCOMPARE(buffer.pos(), 8);
    QCOMPARE(in.status(), QDataStream::Ok);
}

void TestFileIO::hostileLengthIsRefused() {
    // A declared length of 0x7FFFFFFF in a 10-byte file: nothing is allocated for it.
    QByteArray bytes("\xff\xff\xff\x7f" "abcdef", 10);
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    QCOMPARE(FileIO::readByteArrayFromBase64(in), QByteArray());
    QCOMPARE(in.status(), QDataStream::ReadPastEnd);

    // A length one past the end is refused the same way; one that fits is read.
    QByteArray shortField("\x05\x00\x00\x00YWJj", 8);
    QDataStream shortIn(shortField);
    shortIn.setByteOrder(QDataStream::LittleEndian);
    QCOMPARE(FileIO::readStringFromBase64(shortIn), QString());
    QCOMPARE(shortIn.status(), QDataStream::ReadPastEnd);
}

void TestFileIO::rawBytes() {
    QByteArray bytes = written([](QDataStream& s) { FileIO::writeByteArray("RIFF", s); });
    QCOMPARE(bytes, QByteArray("RIFF"));
    QDataStream in(bytes);
    QCOMPARE(FileIO::readByteArray(in, 0), QByteArray());
    QCOMPARE(FileIO::readByteArray(in, -3), QByteArray());
    QCOMPARE(FileIO::readByteArray(in, 2), QByteArray("RI"));
    QCOMPARE(FileIO::readByteArray(in, 3), QByteArray());
    QCOMPARE(in.status(), QDataStream::ReadPastEnd);
}

QUILLON_TEST_MAIN(TestFileIO)
#include "tst_FileIO.moc"
