#include <QtTest>

#include <thread>

#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/ManageWAV.h"
#include "core/QSample.h"

class TestManageWAV : public QObject {
    Q_OBJECT

private slots:
    void written_data();
    void written();
    void writeFailureIsReported();
    void emptySoundAndExtremes();
    void read_data();
    void read();
};

namespace {

using TestFiles::le;

QByteArray u32(quint32 v) {
    return le(v);
}
QByteArray u16(quint16 v) {
    return le(v);
}

// Sample i of the signals written and read here; the (i >> 16) term tells whole blocks apart.
qint16 sampleAt(qint64 i, int step = 100) {
    return qint16(-300 + i * step + (i >> 16));
}

QByteArray pcm(qint64 n, int step = 100) {
    QByteArray bytes;
    for (qint64 i = 0; i < n; ++i)
        bytes += u16(quint16(sampleAt(i, step)));
    return bytes;
}

void append(ManageWAV& wav, qint64 from, qint64 to, int step = 100) {
    for (qint64 i = from; i < to; ++i) {
        const qint16 sample = sampleAt(i, step);
        wav.addData(&sample);
    }
}

QByteArray fmtChunk(quint16 format, quint16 channels, quint16 bits, quint32 rate = 44100) {
    return "fmt " + u32(16) + u16(format) + u16(channels) + u32(rate) + u32(rate * channels * bits / 8) +
           u16(channels * bits / 8) + u16(bits);
}

// The extensible layout: format 0xFFFE, 22 bytes of extension ending in the sub-format GUID, whose
// first two bytes are the format code (1 PCM, 3 float).
QByteArray extensibleFmt(quint16 subFormat, quint32 size = 40) {
    const QByteArray guid = u16(subFormat) + QByteArray::fromHex("000000001000800000aa00389b71");
    const QByteArray body = fmtChunk(0xFFFE, 2, 16).mid(8) + u16(22) + u16(16) + u32(3) + guid;
    return "fmt " + u32(size) + body.left(size);
}

// A RIFF/WAVE file whose chunks are given as they are; the RIFF size is left wrong on purpose.
QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + u32(4) + "WAVE" + chunks;
}

QList<qint16> channel(int first, int step, int count) {
    QList<qint16> list;
    for (int i = 0; i < count; ++i)
        list << sampleAt(first + i * step);
    return list;
}

} // namespace

void TestManageWAV::written_data() {
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("fileSize");
    const qint64 none = ManageWAV::MAX_SAMPLES;
    QTest::newRow("4 samples") << qint64(4) << none << 48000.0 << 52;
    QTest::newRow("no sample") << qint64(0) << none << 48000.0 << 44;
    QTest::newRow("rate truncated") << qint64(2) << none << 44100.9 << 48;
    // Across two block boundaries, then cut at a limit: the file holds exactly what was kept, in order.
    const qint64 limit = 2 * ManageWAV::BLOCK_SAMPLES + 6;
    QTest::newRow("blocks and limit") << limit + 5 << limit << 48000.0 << int(44 + 2 * limit);
}

// The producer stands in for the audio callback and is slow enough for the GUI thread's timer
// to refill spare blocks meanwhile.
void TestManageWAV::written() {
    QFETCH(qint64, count);
    QFETCH(qint64, limit);
    QFETCH(double, rate);
    ManageWAV wav(nullptr, limit);
    std::atomic<bool> done = false;
    std::thread producer([&] {
        for (qint64 i = 0; i < count; i += 8192) {
            append(wav, i, std::min(i + 8192, count));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
    producer.join();
    const QSample descriptor(ModelGraph::INPUT_A, 0, "card", rate, 2, 0);
    QFile file(TestSandbox::root() + "/out.wav");
    QVERIFY(wav.createWAVFile(file.fileName(), &descriptor) && file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QTEST(int(bytes.size()), "fileSize");
    QCOMPARE(bytes, TestFiles::wavFile(pcm(std::min(count, limit)), quint32(rate)));
}

void TestManageWAV::writeFailureIsReported() {
    ManageWAV wav;
    append(wav, 0, 1);
    const QSample descriptor(ModelGraph::INPUT_A, 0, "card", 48000, 2, 0);
    for (const char* name : {"/missing/x.wav", "/x.wav"}) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("WAV file not written"));
        QString reason;
        QVERIFY(!wav.createWAVFile(TestSandbox::root() + name,
                                   QString(name) == "/x.wav" ? nullptr : &descriptor, &reason));
        QVERIFY(!reason.isEmpty());
    }
    QVERIFY(!QFile::exists(TestSandbox::root() + "/x.wav"));

    // A full disk met only by the last buffered bytes still fails, and keeps the file already there.
    const QString kept = TestSandbox::root() + "/kept.wav";
    QVERIFY(wav.createWAVFile(kept, &descriptor));
    const QByteArray before = TestFiles::read(kept);
    append(wav, 1, 2000);
    {
        FileSizeLimit limit(1000);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("WAV file not written"));
        QVERIFY(!wav.createWAVFile(kept, &descriptor));
    }
    QCOMPARE(TestFiles::read(kept), before);
}

void TestManageWAV::emptySoundAndExtremes() {
    const auto missing = ManageWAV::extractStereoWAVFromFile(TestSandbox::root() + "/none.wav");
    QVERIFY(missing && missing->samplerate() == 0 && missing->channels() == 0 &&
            missing->listWav().isEmpty());
    // Of channel 0 only.
    const QWav sound(48000, 2, {{-5, 7, 3}, {-100, 100, 0}});
    QCOMPARE(QList<qint16>({sound.wavMin(), sound.wavMax()}), QList<qint16>({-5, 7}));
}

void TestManageWAV::read_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("channels"); // 0: the empty sound with a warning
    QTest::addColumn<int>("size");     // samples per channel
    const QByteArray fmt = fmtChunk(1, 2, 16);
    const QByteArray data = "data" + u32(16) + pcm(8);
    // 10 samples are truncated to a multiple of 8.
    QTest::newRow("stereo") << riff(fmt + "data" + u32(20) + pcm(10)) << 2 << 4;
    QTest::newRow("mono") << riff(fmtChunk(1, 1, 16) + "data" + u32(20) + pcm(10)) << 1 << 8;
    QTest::newRow("LIST before data") << riff(fmt + "LIST" + u32(6) + "INFOab" + data) << 2 << 4;
    QTest::newRow("odd chunk padded") << riff(fmt + "junk" + u32(3) + "abc" + '\0' + data) << 2 << 4;
    QTest::newRow("data before fmt") << riff(data + fmt) << 2 << 4;
    QTest::newRow("data size beyond file") << riff(fmt + "data" + u32(0xFFFFFFF0) + pcm(16)) << 2 << 8;
    QTest::newRow("huge chunk before data") << riff(fmt + "LIST" + u32(0xFFFFFFFF) + data) << 0 << 0;
    QTest::newRow("24-bit") << riff(fmtChunk(1, 2, 24) + "data" + u32(24) + pcm(12)) << 0 << 0;
    QTest::newRow("0 channels") << riff(fmtChunk(1, 0, 16) + data) << 0 << 0;
    QTest::newRow("0 bits") << riff(fmtChunk(1, 2, 0) + data) << 0 << 0;
    QTest::newRow("float") << riff(fmtChunk(3, 2, 16) + data) << 0 << 0;
    QTest::newRow("short fmt") << riff("fmt " + u32(8) + QByteArray(8, '\1') + data) << 0 << 0;
    QTest::newRow("extensible PCM") << riff(extensibleFmt(1) + data) << 2 << 4;
    QTest::newRow("extensible float") << riff(extensibleFmt(3) + data) << 0 << 0;
    QTest::newRow("extensible cut short") << riff(extensibleFmt(1, 18) + data) << 0 << 0;
    QTest::newRow("rate 0") << riff(fmtChunk(1, 2, 16, 0) + data) << 0 << 0;
    QTest::newRow("cut header") << riff(fmt).left(30) << 0 << 0;
}

void TestManageWAV::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, channels);
    QFETCH(int, size);
    const QString path = TestSandbox::root() + "/in.wav";
    QVERIFY(TestFiles::write(path, bytes));
    if (channels == 0)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Not a playable 16-bit PCM WAV file"));
    const auto sound = ManageWAV::extractStereoWAVFromFile(path);
    QCOMPARE(sound->samplerate(), channels ? 44100 : 0);
    QCOMPARE(sound->channels(), channels);
    QList<QList<qint16>> expected;
    for (int c = 0; c < channels; ++c)
        expected << channel(c, channels, size);
    QCOMPARE(sound->listWav(), expected);
}

QUILLON_TEST_MAIN(TestManageWAV)
#include "tst_ManageWAV.moc"
