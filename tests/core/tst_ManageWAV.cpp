#include <QtEndian>
#include <QtTest>

#include <thread>

#include "TestSandbox.h"
#include "core/ManageWAV.h"
#include "core/QSample.h"

class TestManageWAV : public QObject {
    Q_OBJECT

private slots:
    void writtenHeader_data();
    void writtenHeader();
    void blocksAndLimit();
    void appendFromAnotherThread();
    void writeFailureIsReported();
    void readCanonical_data();
    void readCanonical();
    void readMissingFile();
    void minAndMax();
    void readHostile_data();
    void readHostile();
};

namespace {

quint32 le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The file holds `count` samples, sample i being i x step (wrapped to 16 bits).
void checkSamples(const QString& path, qint64 count, int step) {
    const QByteArray b = readAll(path);
    QCOMPARE(b.size(), 44 + 2 * count);
    QCOMPARE(le32(b, 40), quint32(2 * count));
    for (qint64 i = 0; i < count; ++i)
        QCOMPARE(qint16(le16(b, 44 + 2 * i)), qint16(i * step));
}

QByteArray u32(quint32 v) {
    return QByteArray(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 4);
}
QByteArray u16(quint16 v) {
    return QByteArray(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 2);
}

QByteArray fmtChunk(quint16 format, quint16 channels, quint16 bits) {
    return "fmt " + u32(16) + u16(format) + u16(channels) + u32(44100) + u32(44100 * channels * bits / 8) +
           u16(channels * bits / 8) + u16(bits);
}

// A RIFF/WAVE file whose chunks are given as they are; the RIFF size is left wrong on purpose.
QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + u32(4) + "WAVE" + chunks;
}

QByteArray samples(int n) {
    QByteArray bytes;
    for (int i = 0; i < n; ++i)
        bytes += u16(quint16(i * 100 - 300));
    return bytes;
}

QList<qint16> expectedChannel(int first, int step, int count) {
    QList<qint16> list;
    for (int i = 0; i < count; ++i)
        list << qint16((first + i * step) * 100 - 300);
    return list;
}

} // namespace

void TestManageWAV::writtenHeader_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("fileSize");
    QTest::newRow("4 samples") << 4 << 48000.0 << 52;
    QTest::newRow("no sample") << 0 << 48000.0 << 44;
    QTest::newRow("rate truncated") << 2 << 44100.9 << 48;
}

void TestManageWAV::writtenHeader() {
    QFETCH(int, count);
    QFETCH(double, rate);
    QFETCH(int, fileSize);
    ManageWAV wav;
    for (qint16 s = 0; s < count; ++s) {
        const qint16 sample = qint16(-1000 + s);
        wav.addData(&sample);
    }
    const QSample descriptor(ModelGraph::INPUT_A, 0, "card", rate, 2, 0);
    const QString path = TestSandbox::root() + "/out.wav";
    QVERIFY(wav.createWAVFile(path, &descriptor));

    // Decoded by hand, independently of the writer.
    const QByteArray b = readAll(path);
    QCOMPARE(b.size(), fileSize);
    const quint32 wholeRate = quint32(rate);
    QCOMPARE(b.left(4), QByteArray("RIFF"));
    QCOMPARE(le32(b, 4), quint32(36 + 2 * count));
    QCOMPARE(b.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(le32(b, 16), 16u);
    QCOMPARE(le16(b, 20), 1);
    QCOMPARE(le16(b, 22), 2);
    QCOMPARE(le32(b, 24), wholeRate);
    QCOMPARE(le32(b, 28), wholeRate * 4);
    QCOMPARE(le16(b, 32), 4);
    QCOMPARE(le16(b, 34), 16);
    QCOMPARE(b.mid(36, 4), QByteArray("data"));
    QCOMPARE(le32(b, 40), quint32(2 * count));
    for (int s = 0; s < count; ++s)
        QCOMPARE(qint16(le16(b, 44 + 2 * s)), qint16(-1000 + s));
}

void TestManageWAV::blocksAndLimit() {
    // Across two block boundaries, then cut at a limit: the file holds exactly what was kept, in order.
    const qint64 limit = 2 * ManageWAV::BLOCK_SAMPLES + 6;
    ManageWAV wav(nullptr, limit);
    for (qint64 i = 0; i < limit + 5; ++i) {
        const qint16 sample = qint16(i * 7);
        wav.addData(&sample);
    }
    QCOMPARE(wav.size(), limit);
    QVERIFY(
        wav.createWAVFile(TestSandbox::root() + "/long.wav", QSample::byDefault(ModelGraph::INPUT_A).get()));
    checkSamples(TestSandbox::root() + "/long.wav", limit, 7);
}

void TestManageWAV::appendFromAnotherThread() {
    // The producer stands in for the audio callback and is slow enough for the GUI thread's timer
    // to refill spare blocks meanwhile.
    ManageWAV wav;
    const qint64 total = 3 * ManageWAV::BLOCK_SAMPLES + 10;
    std::atomic<bool> done = false;
    std::thread producer([&] {
        for (qint64 i = 0; i < total; ++i) {
            const qint16 sample = qint16(i);
            wav.addData(&sample);
            if (i % 8192 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
    producer.join();
    QVERIFY(
        wav.createWAVFile(TestSandbox::root() + "/thread.wav", QSample::byDefault(ModelGraph::MASTER).get()));
    checkSamples(TestSandbox::root() + "/thread.wav", total, 1);
}

void TestManageWAV::writeFailureIsReported() {
    ManageWAV wav;
    const qint16 sample = 1;
    wav.addData(&sample);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("WAV file not written"));
    QVERIFY(!wav.createWAVFile(TestSandbox::root() + "/missing/folder/x.wav",
                               QSample::byDefault(ModelGraph::INPUT_A).get()));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("WAV file not written"));
    QVERIFY(!wav.createWAVFile(TestSandbox::root() + "/x.wav", nullptr));
    QVERIFY(!QFile::exists(TestSandbox::root() + "/x.wav"));
}

void TestManageWAV::readCanonical_data() {
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QList<qint16>>>("expected");
    // Counts are truncated to a multiple of 8 samples.
    QTest::newRow("stereo 10") << 2 << 10
                               << QList<QList<qint16>>{expectedChannel(0, 2, 4), expectedChannel(1, 2, 4)};
    QTest::newRow("mono 10") << 1 << 10 << QList<QList<qint16>>{expectedChannel(0, 1, 8)};
    QTest::newRow("mono 16") << 1 << 16 << QList<QList<qint16>>{expectedChannel(0, 1, 16)};
}

void TestManageWAV::readCanonical() {
    QFETCH(int, channels);
    QFETCH(int, count);
    QFETCH(QList<QList<qint16>>, expected);
    const QString path = TestSandbox::root() + "/in.wav";
    writeFile(path, riff(fmtChunk(1, channels, 16) + "data" + u32(2 * count) + samples(count)));
    const auto sound = ManageWAV::extractStereoWAVFromFile(path);
    QCOMPARE(sound->samplerate(), 44100);
    QCOMPARE(sound->channels(), channels);
    QCOMPARE(sound->listWav(), expected);
    QCOMPARE(sound->size(), expected.first().size());
}

void TestManageWAV::readMissingFile() {
    const auto sound = ManageWAV::extractStereoWAVFromFile(TestSandbox::root() + "/none.wav");
    QVERIFY(sound);
    QCOMPARE(sound->samplerate(), 0);
    QCOMPARE(sound->channels(), 0);
    QCOMPARE(sound->size(), 0);
    QVERIFY(sound->listWav().isEmpty());
}

void TestManageWAV::minAndMax() {
    const QWav sound(48000, 2, {{-5, 7, 3}, {-100, 100, 0}});
    QCOMPARE(sound.wavMin(), qint16(-5));
    QCOMPARE(sound.wavMax(), qint16(7));
    QCOMPARE(QWav(48000, 1, {{}}).wavMax(), qint16(0));
    QCOMPARE(QWav().wavMin(), qint16(0));
}

void TestManageWAV::readHostile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("size"); // samples of channel 0; -1: the empty sound with a warning
    const QByteArray fmt = fmtChunk(1, 2, 16);
    QTest::newRow("LIST before data")
        << riff(fmt + "LIST" + u32(6) + "INFOab" + "data" + u32(16) + samples(8)) << 4;
    QTest::newRow("odd chunk padded")
        << riff(fmt + "junk" + u32(3) + "abc" + '\0' + "data" + u32(16) + samples(8)) << 4;
    QTest::newRow("data before fmt") << riff("data" + u32(16) + samples(8) + fmt) << 4;
    QTest::newRow("data size beyond file") << riff(fmt + "data" + u32(0xFFFFFFF0) + samples(16)) << 8;
    QTest::newRow("huge chunk before data") << riff(fmt + "LIST" + u32(0xFFFFFFFF) + "data" + u32(16)) << -1;
    QTest::newRow("24-bit") << riff(fmtChunk(1, 2, 24) + "data" + u32(24) + samples(12)) << -1;
    QTest::newRow("0 channels") << riff(fmtChunk(1, 0, 16) + "data" + u32(16) + samples(8)) << -1;
    QTest::newRow("0 bits") << riff(fmtChunk(1, 2, 0) + "data" + u32(16) + samples(8)) << -1;
    QTest::newRow("float") << riff(fmtChunk(3, 2, 16) + "data" + u32(16) + samples(8)) << -1;
    QTest::newRow("no data chunk") << riff(fmt) << -1;
    QTest::newRow("short fmt") << riff("fmt " + u32(8) + QByteArray(8, '\1') + "data" + u32(16) + samples(8))
                               << -1;
    QTest::newRow("not RIFF") << QByteArray("RIFX") + QByteArray(60, '\0') << -1;
    QTest::newRow("cut header") << riff(fmt).left(30) << -1;
    QTest::newRow("empty file") << QByteArray() << -1;
}

void TestManageWAV::readHostile() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, size);
    const QString path = TestSandbox::root() + "/hostile.wav";
    writeFile(path, bytes);
    if (size < 0)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Not a 16-bit PCM WAV file"));
    const auto sound = ManageWAV::extractStereoWAVFromFile(path);
    QCOMPARE(sound->size(), qMax(size, 0));
    if (size < 0) {
        QCOMPARE(sound->channels(), 0);
        QVERIFY(sound->listWav().isEmpty());
    } else {
        QCOMPARE(sound->listWav().at(0), expectedChannel(0, 2, size));
    }
}

QUILLON_TEST_MAIN(TestManageWAV)
#include "tst_ManageWAV.moc"
