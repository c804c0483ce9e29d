#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include "Artifacts.h"
#include "FileSizeLimit.h"
#include "SyntheticCurve.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "TestFiles.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/QCurve.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/library/LibrarySet.h"
#include "gui/library/ImportLooper.h"
#include "gui/library/RecordingExport.h"
#include "gui/widgets/QCustomSlider.h"

namespace {

// A stereo WAV of `frames` frames whose 16-bit samples all hold `value`.
QByteArray wav(int frames, qint16 value, quint16 format = 1, quint16 bits = 16, quint32 rate = 48000) {
    return TestFiles::wavFile(TestFiles::le(value).repeated(2 * frames), rate, 2, bits, format);
}

QString source(const QString& name, const QByteArray& bytes) {
    const QString path = TestSandbox::root() + "/in/" + name;
    return TestFiles::write(path, bytes) ? path : QString();
}

} // namespace

// The sets a user adds to the library: the add-looper dialog (what a save writes, where, and what it
// refuses), and the export of a finished recorder-mode run into a set of the Recording library.
class TestNewSets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_export = std::make_unique<RecordingExport>(&m_curveA, &m_curveB, &m_phrasingA, &m_phrasingB);
        Singleton::instance()->instanceMode()->modeRecorder_on();
        PathFile* files = Singleton::instance()->instancePathFile();
        files->setFilenameSound_a("1_A.wav");
        files->setFilenameSound_b("2_B.wav");
        files->setFilenameSound_master("3_M.wav");
        Singleton::instance()->instanceLooperTraining()->setFactorSpeed(92.7);
        Singleton::instance()->instanceLooperTraining()->setOffset(4321.9);
        QVERIFY(TestFiles::write(Path::joinInput("author.png"), "png"));
    }

    void init() {
        m_dialog = std::make_unique<ImportLooper>();
        m_announced = std::make_unique<QSignalSpy>(m_dialog.get(), &ImportLooper::s_NewLooper);
        m_dialog->initShow();
    }

    void savesIntoAuthorFolder() {
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
        QCOMPARE(TestFiles::read(folder + "/loop.WAV"), loop);
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

    void refusals_data() {
        QTest::addColumn<QString>("author");
        QTest::addColumn<QByteArray>("sound");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("folder"); // where a save lands, under Looper
        const auto row = [](const char* name, const char* author, const QByteArray& sound,
                            const QString& message, const char* folder) {
            QTest::newRow(name) << QString(author) << sound << message << QString(folder);
        };
        const QString notPcm = "Not a 16-bit PCM WAV file with sound:\n  loop.wav\n  It holds ";
        row("author with ../", "../x", wav(480, 1), "", "_.._x");
        row("author .dj", ".dj", wav(480, 1), "", "_.dj");
        row("float samples", "F", wav(480, 1, 3, 32),
            notPcm + "32-bit floating point, 2 channels, 48000 Hz, 480 samples.", "");
        row("no samples", "E", wav(0, 0), notPcm + "16-bit PCM, 2 channels, 48000 Hz, 0 samples.", "");
        row("no rate", "Z", wav(480, 1, 1, 16, 0), notPcm + "16-bit PCM, 2 channels, 0 Hz, 960 samples.", "");
        row("same header twice", "DJ K", wav(4800, 7), "File already imported !\n  Cuts\n  DJ K\n  90", "");
    }

    void refusals() {
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
        if (folder.isEmpty())
            return;
        const QString header = Path::joinLooper(folder + "/" + folder + "_Cuts_90.qlt");
        QVERIFY(QFileInfo::exists(header));
        // What the panel lists at the next start.
        const QList<QLooper> listed = LibrarySet::scan("Looper");
        QVERIFY(std::any_of(listed.cbegin(), listed.cend(), [&](const QLooper& set) {
            return set.filename() == header && set.author() == author;
        }));
    }

    // A different sound under a name the author's folder already holds (whatever its case) is kept beside it.
    void sameNameOtherSound() {
        const QByteArray other = wav(4800, 9);
        fill("DJ K", "Scribble", 100, source("loop.wav", other));
        m_dialog->save();
        QCOMPARE(m_announced->size(), 1);
        const QString folder = Path::joinLooper("DJ K");
        QCOMPARE(TestFiles::read(folder + "/loop.WAV"), wav(4800, 7));
        QCOMPARE(TestFiles::read(folder + "/loop_2.wav"), other);
        QCOMPARE(m_announced->first().first().value<QLooper>().path_sound_looper(), folder + "/loop_2.wav");
    }

    void exports_data() {
        QTest::addColumn<ModelInput::EnumInput>("input");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("named"); // sound A, sound B, curve 1, curve 2, colour A, colour B
        QTest::newRow("A only") << ModelInput::TEXT_A << "DJ"
                                << QStringList{"1_A.wav", "", "1_A.qlw", "", "ColorA", ""};
        QTest::newRow("B only") << ModelInput::TEXT_B << "DJ"
                                << QStringList{"", "2_B.wav", "", "2_B.qlw", "", ""};
        QTest::newRow("both") << ModelInput::UNDEFINED << "DJ"
                              << QStringList{"1_A.wav", "2_B.wav", "1_A.qlw", "2_B.qlw", "ColorA", ""};
        QTest::newRow("user A/B") << ModelInput::TEXT_A_B << "A/B"
                                  << QStringList{"1_A.wav", "2_B.wav", "1_A.qlw", "2_B.qlw", "ColorA", ""};
    }

    // With a colour file active on deck A only; the master take is always there.
    void exports() {
        QFETCH(ModelInput::EnumInput, input);
        QFETCH(QString, user);
        QFETCH(QStringList, named);
        Singleton::instance()->instanceSetting()->setParamName(user);
        Singleton::instance()->instanceMode()->setInputText(input);
        Singleton::instance()->instanceLooperTraining()->setPathColor_A(Path::joinColor("Default color.qlp"));
        Singleton::instance()->instanceLooperTraining()->setPathColor_B("");
        const QString folder = run({"1_A", "2_B", "3_M"});
        QSignalSpy announced(m_export.get(), &RecordingExport::s_NewRecording);
        const QLooper set = m_export->exportFile();
        QCOMPARE(announced.size(), 1);

        const QLooper read = LibrarySet::readTrainingFile(set.filename(), "Recording", true);
        QVERIFY(!read.isNull());
        QVERIFY(QFileInfo(set.filename())
                    .fileName()
                    .startsWith("Recording_" + QString(user).replace('/', '_') + "_"));
        QCOMPARE(read.author(), user);
        QCOMPARE(read.bpm(), 92);
        QCOMPARE(read.offset(), 4321);
        QCOMPARE(read.version(), 1);
        QCOMPARE(read.url(), QString());
        // The title is the export's time, as in the file name.
        QVERIFY(QDateTime::fromString(read.title(), Constant::Date::FORMAT).isValid());
        QVERIFY(set.filename().endsWith("_" + read.title() + ".qlt"));
        QCOMPARE(read.title(), set.title());
        QCOMPARE(read.path_picture(), folder + "/author.png");
        QCOMPARE(QFileInfo(read.path_sound_looper()).fileName(), QString("3_M.wav"));
        const QStringList paths{read.path_sound_a(), read.path_sound_b(), read.path_curve_1(),
                                read.path_curve_2(), read.path_color_a(), read.path_color_b()};
        for (int i = 0; i < paths.size(); ++i) {
            const QString name = QFileInfo(paths[i]).fileName();
            QVERIFY2(named[i].isEmpty() ? paths[i].isEmpty() : name.startsWith(named[i]),
                     qPrintable(paths[i]));
            QVERIFY(paths[i].isEmpty() || QFileInfo(paths[i]).isFile());
        }
        // Nothing but the named files, the header and the picture.
        const int written = 4 - int(named.mid(2).count(""));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3 + written + 2);
    }

    // A device that recorded nothing in this run keeps its earlier name in PathFile: that take, and its
    // curve file, belong to the earlier run and are neither named nor rewritten.
    void staleTakeNotNamed() {
        Singleton::instance()->instanceMode()->setInputText(ModelInput::UNDEFINED);
        const QString folder = run({"1_A", "2_B"});
        m_export->exportFile();
        const QByteArray earlierCurve = TestFiles::read(folder + "/1_A.qlw");
        QVERIFY(!earlierCurve.isEmpty());
        QTest::qWait(2);
        Singleton::instance()->instanceMode()->modeTraining_on(); // a second run into the same folder
        m_curveA.reset();
        QVERIFY(TestFiles::write(folder + "/2_B.wav", "second take"));
        const QLooper set = m_export->exportFile();
        const QLooper read = LibrarySet::readTrainingFile(set.filename(), "Recording", true);
        QVERIFY(!read.isNull());
        QVERIFY(read.path_sound_a().isEmpty() && read.path_curve_1().isEmpty() &&
                read.path_sound_looper().isEmpty());
        QCOMPARE(read.path_sound_b(), folder + "/2_B.wav");
        QCOMPARE(TestFiles::read(folder + "/1_A.qlw"), earlierCurve);
    }

    void keepsWhatWasPlayed_data() {
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<bool>("failedA");
        QTest::addColumn<int>("points"); // decoded on input A
        QTest::addColumn<bool>("full");  // the disk takes nothing more once the takes are written
        QTest::newRow("take A failed, its curve kept") << QStringList{"3_M"} << true << 3 << false;
        QTest::newRow("take A failed, no master: the curve alone") << QStringList{} << true << 3 << false;
        QTest::newRow("a take without a point: no curve file") << QStringList{"1_A"} << false << 0 << false;
        QTest::newRow("failed, nothing decoded") << QStringList{} << true << 0 << false;
        QTest::newRow("nothing recorded") << QStringList{} << false << 0 << false;
        QTest::newRow("the header cannot be written") << QStringList{"1_A", "3_M"} << false << 3 << true;
    }

    // A take that failed is named in the message and its curve still written; a curve without a point
    // is not; a run that left no take and no curve point adds no set and says so in the log.
    void keepsWhatWasPlayed() {
        QFETCH(QStringList, written);
        QFETCH(bool, failedA);
        QFETCH(int, points);
        Singleton::instance()->instanceMode()->setInputText(ModelInput::TEXT_A);
        const QString folder = run(written, false);
        SyntheticCurve::fill(m_curveA, 0, points, 480.0);
        if (failedA)
            m_export->takeWriteFailure(folder + "/1_A.wav", "No space left on device");
        const bool kept = !written.isEmpty() || points > 0;
        if (!kept)
            QTest::ignoreMessage(QtInfoMsg, "Nothing was recorded in this run: no recording is added to the library.");
        ModalDriver driver;
        QSignalSpy announced(m_export.get(), &RecordingExport::s_NewRecording);
        QFETCH(bool, full);
        auto limit = full ? std::make_unique<FileSizeLimit>(16) : nullptr;
        const QLooper set = m_export->exportFile();
        limit.reset();
        m_curveA.reset();
        if (full) {
            QCOMPARE(driver.messages(),
                     QStringList{"The recording could not be saved into the library:\n  " + folder});
            QCOMPARE(announced.size(), 0);
            QVERIFY(QDir(folder).entryList({"*.qlt"}).isEmpty());
            for (const QString& take : written)
                QCOMPARE(TestFiles::read(folder + "/" + take + ".wav"), take.toUtf8());
            return;
        }
        QCOMPARE(driver.messages().value(0),
                 failedA ? QString("A recording could not be written:\n  1_A.wav: No space left on device") : "");
        QCOMPARE(announced.size(), kept ? 1 : 0);
        QCOMPARE(QDir(folder).entryList({"*.qlt"}).size(), kept ? 1 : 0);
        if (!kept)
            return;
        const QLooper read = LibrarySet::readTrainingFile(set.filename(), "Recording", true);
        QCOMPARE(read.path_sound_a(), written.contains("1_A") ? folder + "/1_A.wav" : QString());
        QCOMPARE(QFileInfo::exists(folder + "/1_A.qlw"), points > 0);
        if (points == 0) {
            QVERIFY(read.path_curve_1().isEmpty());
            return;
        }
        QCOMPARE(read.path_curve_1(), folder + "/1_A.qlw");
        const QByteArray curve = TestFiles::read(read.path_curve_1());
        QVERIFY(curve.size() >= 8);
        QCOMPARE(qFromLittleEndian<qint32>(curve.constData() + 4), points);
    }

private:
    // Fills the dialog as a user would (the file through the dialog) and saves.
    void fill(const QString& author, const QString& title, int bpm, const QString& file, int offset = 0);
    // Starts a run in a new recording folder in which the recorders then write the takes `written`;
    // with `decoded`, input A's and B's takes come with points on their curves.
    QString run(const QStringList& written, bool decoded = true) {
        QTest::qWait(2); // a folder name of its own (milliseconds in the name)
        PathFile* files = Singleton::instance()->instancePathFile();
        files->newPathDirectory_recording();
        Singleton::instance()->instanceMode()->modeTraining_on(); // s_RunApp
        const QString folder = files->createPathDirectory_recording();
        for (const QString& take : written) {
            if (!TestFiles::write(folder + "/" + take + ".wav", take.toUtf8()))
                qFatal("cannot write the take %s", qPrintable(take));
        }
        m_curveA.reset();
        m_curveB.reset();
        if (decoded && written.contains("1_A"))
            SyntheticCurve::fill(m_curveA, 0, 5, 480.0);
        if (decoded && written.contains("2_B"))
            SyntheticCurve::fill(m_curveB, 0, 5, 480.0);
        return folder;
    }

    std::unique_ptr<ImportLooper> m_dialog;
    std::unique_ptr<QSignalSpy> m_announced;
    QCurve m_curveA{ModelGraph::INPUT_A};
    QCurve m_curveB{ModelGraph::INPUT_B};
    ManagePhrasing m_phrasingA{ModelGraph::INPUT_A};
    ManagePhrasing m_phrasingB{ModelGraph::INPUT_B};
    std::unique_ptr<RecordingExport> m_export;
};

void TestNewSets::fill(const QString& author, const QString& title, int bpm, const QString& file,
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

QUILLON_GUI_TEST_MAIN(TestNewSets)
#include "tst_NewSets.moc"
