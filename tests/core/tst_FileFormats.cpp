#include <QBuffer>
#include <QSignalSpy>
#include <QtTest>

#include <thread>

#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "TestSandbox.h"
#include "core/FileIO.h"
#include "core/Header.h"
#include "core/ManageWAV.h"
#include "core/QLooper.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"

namespace {

const QString TITLE = QString::fromUtf8("100% %2 é");

QLooper looper(ModelActivatedMode::EnumActivatedMode mode = ModelActivatedMode::Looper,
               const QString& soundB = {}) {
    return QLooper("ignored.qlt", 1, mode, 0, TITLE, "T4rMo", "https://x.org", "author.png", 88, "loop.wav",
                   48000, "a.wav", soundB, "c1.qlw", "c2.qlw", "a.qlp", "b.qlp");
}

QString path(const QString& name) {
    return TestSandbox::root() + "/" + name;
}

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

// The binary files: the base64 text fields with hostile lengths, the training file with the open set's
// values and signals, and WAV sounds, written and read.
class TestFileFormats : public QObject {
    Q_OBJECT

private slots:
    void fieldRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("consumed");
        QTest::newRow("length 0") << QByteArray("\x00\x00\x00\x00z", 5) << "" << true << 4;
        QTest::newRow("all-ones length") << QByteArray("\xff\xff\xff\xffz", 5) << "" << true << 4;
        // Nothing is allocated for a length the file cannot hold.
        QTest::newRow("giant length") << QByteArray::fromHex("ffffff7f") + "abcdef"
                                      << "" << false << 4;
        QTest::newRow("one past the end") << QByteArray("\x05\x00\x00\x00YWJj", 8) << "" << false << 4;
        QTest::newRow("cut length") << QByteArray("\x04\x00", 2) << "" << false << 2;
    }

    void fieldRead() {
        QFETCH(QByteArray, bytes);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QDataStream in(&buffer);
        in.setByteOrder(QDataStream::LittleEndian);
        QTEST(FileIO::readStringFromBase64(in), "text");
        QTEST(in.status() == QDataStream::Ok, "ok");
        QTEST(int(buffer.pos()), "consumed");
    }

    void trainingFileWritten_data() {
        QTest::addColumn<ModelActivatedMode::EnumActivatedMode>("mode");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Recording") << ModelActivatedMode::Recording << true;
        QTest::newRow("Looper") << ModelActivatedMode::Looper << true;
        QTest::newRow("Training") << ModelActivatedMode::Training << true;
        // Not a set: read back as Undefined, so the digest differs.
        QTest::newRow("Color") << ModelActivatedMode::Color << false;
    }

    // The bytes as the format defines them, then read back.
    void trainingFileWritten() {
        QFETCH(ModelActivatedMode::EnumActivatedMode, mode);
        QFETCH(bool, accepted);
        const QLooper set = looper(mode, "b.wav");
        QVERIFY(Header::exportHeaderToQLTFile(path("trip.qlt"), &set));
        const QStringList names{"a.wav", "b.wav", "c1.qlw", "c2.qlw", "a.qlp", "b.qlp"};
        QCOMPARE(
            TestFiles::read(path("trip.qlt")),
            TestFiles::trainingFile({mode, TITLE, "T4rMo", "https://x.org", 88, "loop.wav", 48000, names}));
        const auto h = Header::importHeaderFromQLTFile(path("trip.qlt"));
        QVERIFY(h);
        QCOMPARE(h->mode(), accepted ? mode : ModelActivatedMode::Undefined);
        QCOMPARE(QList<int>({h->version(), h->app(), int(h->bpm()), int(h->offset())}),
                 QList<int>({1, 0, 88, 48000}));
        QCOMPARE(QStringList({h->title(), h->author(), h->url(), h->pathSound_Looper(), h->pathSound_A(),
                              h->pathSound_B(), h->pathCurve_1(), h->pathCurve_2(), h->pathColor_A(),
                              h->pathColor_B()}),
                 QStringList({TITLE, "T4rMo", "https://x.org", "loop.wav", "a.wav", "b.wav", "c1.qlw",
                              "c2.qlw", "a.qlp", "b.qlp"}));
        QCOMPARE(Header::checkHash(h.get()), accepted);
    }

    void trainingFileRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("digest");
        const QByteArray good = TestFiles::trainingFile({});
        QTest::newRow("as written") << good << true << true;
        QTest::newRow("missing: start values") << QByteArray() << true << false;
        QByteArray flipped = good;
        flipped[16] = 'N'; // a base64 letter of the title
        QTest::newRow("flipped title byte") << flipped << true << false;
        for (int cut : {0, 3, 11, 14, int(good.size()) - 45, int(good.size()) - 1})
            QTest::addRow("cut at %d", cut) << good.left(cut) << false << false;
        QTest::newRow("giant title length")
            << good.left(12) + QByteArray("\xff\xff\xff\x7f", 4) + good.mid(16) << false << false;
        for (const char* name : {"x.wav", "../x", "/etc/passwd", "a\\b", ".", "..", "dir/x.wav"}) {
            const bool bare = QByteArray(name) == "x.wav";
            QTest::newRow(name) << TestFiles::trainingFile({.looper = name}) << bare << bare;
        }
    }

    void trainingFileRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        QFile::remove(path("read.qlt"));
        if (!bytes.isNull())
            QVERIFY(TestFiles::write(path("read.qlt"), bytes));
        const auto h = Header::importHeaderFromQLTFile(path("read.qlt"));
        QCOMPARE(bool(h), accepted);
        if (h)
            QTEST(Header::checkHash(h.get()), "digest");
        if (h && bytes.isNull())
            QCOMPARE(QString("%1 %2 %3 %4").arg(h->bpm()).arg(h->mode()).arg(h->title(), h->filename()),
                     "84 1  " + path("read.qlt"));
    }

    void writerRefusesAndReports() {
        const QLooper escaping = looper(ModelActivatedMode::Looper, "../b.wav");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a bare file name"));
        QVERIFY(!Header::exportHeaderToQLTFile(path("x.qlt"), &escaping));
        QVERIFY(!Header::exportHeaderToQLTFile(path("x.qlt"), nullptr) && !QFile::exists(path("x.qlt")));
    }

    void curvePathSignalOrder_data() {
        QTest::addColumn<bool>("secondInput");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expected");
        for (bool second : {false, true}) {
            const char* input = second ? "B" : "A";
            QTest::addRow("%s empty", input) << second << "" << QStringList{"update", "reset"};
            QTest::addRow("%s QLW", input) << second << "x.QLW" << QStringList{"update", "reset"};
            QTest::addRow("%s wav", input) << second << "x.wav" << QStringList{"update", "reset"};
            QTest::addRow("%s qlw", input)
                << second << "x.qlw" << QStringList{"update", "reset", "open x.qlw 1"};
        }
    }

    void curvePathSignalOrder() {
        QFETCH(bool, secondInput);
        QFETCH(QString, path);
        using R = RecordingLooperTraining;
        R set;
        QStringList order;
        connect(&set, &R::s_Update, this, [&] { order << "update"; });
        connect(&set, secondInput ? &R::s_ResetCurve_2 : &R::s_ResetCurve_1, this, [&] { order << "reset"; });
        connect(&set, secondInput ? &R::s_OpenCurve_2 : &R::s_OpenCurve_1, this,
                [&](const QString& p, bool bpm) { order << QString("open %1 %2").arg(p).arg(bpm); });
        secondInput ? set.setPathCurve_2(path) : set.setPathCurve_1(path);
        QTEST(order, "expected");
        QCOMPARE(secondInput ? set.pathCurve_2() : set.pathCurve_1(), path);
    }

    void tempo_data() {
        QTest::addColumn<double>("bad");
        QTest::newRow("0") << 0.0;
        QTest::newRow("negative") << -5.0;
        QTest::newRow("NaN") << qQNaN();
    }

    // The played tempo and its factor; a tempo not above 0, or not a number, is never played, neither
    // asked for nor as the set's own (an empty curve file, a short training file).
    void tempo() {
        QFETCH(double, bad);
        RecordingLooperTraining set;
        set.setFactorSpeed(bad);
        QCOMPARE(set.factorSpeed(), 1.0);
        QCOMPARE(set.bpmFactorSpeed(), 84.0);
        set.setFactorSpeed(100.0);
        QSignalSpy spy(&set, &RecordingLooperTraining::s_UpdateBpm);
        set.setBpm(84.9);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 84);
        QCOMPARE(set.bpmFactorSpeed(), 100.0);
        QCOMPARE(set.factorSpeed(), 100.0 / 84.0);
        const QSample b(ModelGraph::INPUT_B, -1, QString(), 44100.0, 2, 0);
        set.setBpmSamplerate(ModelGraph::INPUT_B, &b);
        QCOMPARE(set.bpmSamplerate(ModelGraph::INPUT_B), 26460.0);
        set.setBpmSamplerate(ModelGraph::INPUT_A, nullptr);
        QCOMPARE(set.bpmSamplerate(ModelGraph::MASTER), 48000.0 * 60 / 88);
        set.setBpm(bad);
        set.setFactorSpeed(90.0);
        QCOMPARE(set.factorSpeed(), 1.0);
        QCOMPARE(set.bpmFactorSpeed(), 90.0);
    }

    void wavWritten_data() {
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
    void wavWritten() {
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
        QVERIFY(wav.createWAVFile(TestSandbox::root() + "/out.wav", &descriptor));
        const QByteArray bytes = TestFiles::read(TestSandbox::root() + "/out.wav");
        QTEST(int(bytes.size()), "fileSize");
        QCOMPARE(bytes, TestFiles::wavFile(pcm(std::min(count, limit)), quint32(rate)));
    }

    void writeFailureIsReported() {
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

    void emptySoundAndExtremes() {
        const auto missing = ManageWAV::extractStereoWAVFromFile(TestSandbox::root() + "/none.wav");
        QVERIFY(missing && missing->samplerate() == 0 && missing->channels() == 0 &&
                missing->listWav().isEmpty());
        // Of channel 0 only.
        const QWav sound(48000, 2, {{-5, 7, 3}, {-100, 100, 0}});
        QCOMPARE(QList<qint16>({sound.wavMin(), sound.wavMax()}), QList<qint16>({-5, 7}));
    }

    void wavRead_data() {
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

    void wavRead() {
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
};

QUILLON_TEST_MAIN(TestFileFormats)
#include "tst_FileFormats.moc"
