#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include "Artifacts.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "core/Function.h"
#include "core/Path.h"
#include "core/library/LibrarySet.h"
#include "gui/library/ImportLooper.h"
#include "gui/widgets/QCustomSlider.h"

namespace {

// A 16-bit PCM stereo WAV of `frames` frames whose samples all hold `value`.
QByteArray wav(int frames, qint16 value, quint16 format = 1, quint16 bits = 16) {
    QByteArray data;
    for (int i = 0; i < frames * 2; ++i)
        data.append(reinterpret_cast<const char*>(&value), 2);
    QByteArray h;
    QDataStream out(&h, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << format << quint16(2) << quint32(48000) << quint32(48000 * 4) << quint16(4) << bits;
    out.writeRawData("data", 4);
    out << quint32(data.size());
    return h + data;
}

QString source(const QString& name, const QByteArray& bytes) {
    const QString path = TestSandbox::root() + "/in/" + name;
    QDir().mkpath(TestSandbox::root() + "/in");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The add-looper dialog: what a save writes, where, and what it refuses.
class TestImportLooper : public QObject {
    Q_OBJECT

private slots:
    void init();
    void savesIntoAuthorFolder();
    void refusals_data();
    void refusals();
    void sameNameOtherSound();

private:
    // Fills the dialog as a user would (the file through the dialog) and saves.
    void fill(const QString& author, const QString& title, int bpm, const QString& file, int offset = 0);

    std::unique_ptr<ImportLooper> m_dialog;
    std::unique_ptr<QSignalSpy> m_announced;
};

void TestImportLooper::init() {
    m_dialog = std::make_unique<ImportLooper>();
    m_announced = std::make_unique<QSignalSpy>(m_dialog.get(), &ImportLooper::s_NewLooper);
    m_dialog->initShow();
}

void TestImportLooper::fill(const QString& author, const QString& title, int bpm, const QString& file,
                            int offset) {
    const QList<QLineEdit*> edits = m_dialog->findChildren<QLineEdit*>();
    edits[0]->setText(title);
    edits[1]->setText(author);
    m_dialog->findChild<QCustomSlider*>()->setValue(bpm);
    m_dialog->findChild<QSpinBox*>()->setValue(offset);
    ModalDriver driver;
    driver.queuePaths({file});
    m_dialog->openLooperFile();
    QCOMPARE(edits[2]->text(), file);
}

void TestImportLooper::savesIntoAuthorFolder() {
    // The tempo label, the first label the dialog makes.
    QCOMPARE(m_dialog->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)->text(), QString("88"));
    const QByteArray loop = wav(4800, 7);
    fill("DJ K", "Cuts", 90, source("loop.WAV", loop), 24000);
    QImage picture(80, 80, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(TestSandbox::root() + "/in/me.png"));
    ModalDriver driver;
    driver.queuePaths({TestSandbox::root() + "/in/me.png"});
    m_dialog->selectAuthorIcon();
    Artifacts::save(m_dialog.get(), "add-looper-dialog");
    m_dialog->save();
    QVERIFY(driver.messages().isEmpty());
    QVERIFY(!m_dialog->isVisible());
    const QString folder = Path::joinLooper("DJ K");
    QCOMPARE(readFile(folder + "/loop.WAV"), loop);
    QCOMPARE(m_announced->size(), 1);
    const QLooper announced = m_announced->first().first().value<QLooper>();
    QCOMPARE(announced.filename(), folder + "/DJ K_Cuts_90.qlt");
    QCOMPARE(announced.path_picture(), folder + "/author.png");
    // The library panel reads the header, digest checked, as the same set.
    const QLooper read = LibrarySet::readTrainingFile(announced.filename(), "Looper", true);
    QVERIFY(!read.isNull());
    QVERIFY(LibrarySet::sameSet(read, announced));
    QCOMPARE(read.path_sound_looper(), folder + "/loop.WAV");
    QCOMPARE(read.offset(), 24000);
}

void TestImportLooper::refusals_data() {
    QTest::addColumn<QString>("author");
    QTest::addColumn<QByteArray>("sound");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("folder"); // where a save lands, under Looper
    QTest::newRow("author with ../") << "../x" << wav(480, 1) << "" << ".._x";
    QTest::newRow("float samples") << "F" << wav(480, 1, 3, 32) << "Not a 16-bit PCM WAV file with sound:\n  loop.wav\n"
                                   "  It holds 32-bit floating point, 2 channels, 48000 Hz, 480 samples." << "";
    QTest::newRow("no samples") << "E" << wav(0, 0)
                                << "Not a 16-bit PCM WAV file with sound:\n  loop.wav\n"
                                   "  It holds 16-bit PCM, 2 channels, 48000 Hz, 0 samples." << "";
    QTest::newRow("same header twice") << "DJ K" << wav(4800, 7) << "File already imported !\n  Cuts\n  DJ K\n  90"
                                       << "";
}

void TestImportLooper::refusals() {
    QFETCH(QString, author);
    QFETCH(QByteArray, sound);
    QFETCH(QString, folder);
    fill(author, "Cuts", 90, source("loop.wav", sound));
    ModalDriver driver;
    m_dialog->save();
    QTEST(driver.messages().value(0), "message");
    QCOMPARE(m_announced->size(), folder.isEmpty() ? 0 : 1);
    QCOMPARE(m_dialog->isVisible(), folder.isEmpty());
    QCOMPARE(QFileInfo::exists(Path::joinLooper(author)), author == "DJ K");
    if (!folder.isEmpty())
        QVERIFY(QFileInfo::exists(Path::joinLooper(folder + "/" + Function::safeFileName("../x_Cuts_90.qlt"))));
}

// A different sound under a name the author's folder already holds (whatever its case) is kept beside it.
void TestImportLooper::sameNameOtherSound() {
    const QByteArray other = wav(4800, 9);
    fill("DJ K", "Scribble", 100, source("loop.wav", other));
    m_dialog->save();
    QCOMPARE(m_announced->size(), 1);
    const QString folder = Path::joinLooper("DJ K");
    QCOMPARE(readFile(folder + "/loop.WAV"), wav(4800, 7));
    QCOMPARE(readFile(folder + "/loop_2.wav"), other);
    QCOMPARE(m_announced->first().first().value<QLooper>().path_sound_looper(), folder + "/loop_2.wav");
}

QUILLON_GUI_TEST_MAIN(TestImportLooper)
#include "tst_ImportLooper.moc"
