#include <QSignalSpy>
#include <QtTest>

#include "GuiTest.h"
#include "ModalDriver.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/QCurve.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/library/LibrarySet.h"
#include "gui/library/RecordingExport.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

// The export of a finished recorder-mode run into a set of the Recording library.
class TestRecordingExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void exports_data();
    void exports();
    void staleTakeNotNamed();
    void writeFailureShown();

private:
    // Starts a run in a new recording folder in which the recorders then write the takes `written`.
    QString run(const QStringList& written);

    QCurve m_curveA{ModelGraph::INPUT_A};
    QCurve m_curveB{ModelGraph::INPUT_B};
    ManagePhrasing m_phrasingA{ModelGraph::INPUT_A};
    ManagePhrasing m_phrasingB{ModelGraph::INPUT_B};
    std::unique_ptr<RecordingExport> m_export;
};

void TestRecordingExport::initTestCase() {
    m_export = std::make_unique<RecordingExport>(&m_curveA, &m_curveB, &m_phrasingA, &m_phrasingB);
    Singleton::instance()->instanceMode()->modeRecorder_on();
    PathFile* files = Singleton::instance()->instancePathFile();
    files->setFilenameSound_a("1_A.wav");
    files->setFilenameSound_b("2_B.wav");
    files->setFilenameSound_master("3_M.wav");
    Singleton::instance()->instanceLooperTraining()->setFactorSpeed(92.7);
    writeFile(Path::joinInput("author.png"), "png");
}

QString TestRecordingExport::run(const QStringList& written) {
    QTest::qWait(2); // a folder name of its own (milliseconds in the name)
    PathFile* files = Singleton::instance()->instancePathFile();
    files->newPathDirectory_recording();
    Singleton::instance()->instanceMode()->modeTraining_on(); // s_RunApp
    const QString folder = files->createPathDirectory_recording();
    for (const QString& take : written)
        writeFile(folder + "/" + take + ".wav", take.toUtf8());
    return folder;
}

void TestRecordingExport::exports_data() {
    QTest::addColumn<ModelInput::EnumInput>("input");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("named"); // sound A, sound B, curve 1, curve 2, colour A, colour B
    QTest::newRow("A only") << ModelInput::TEXT_A << "DJ"
                            << QStringList{"1_A.wav", "", "1_A.qlw", "", "ColorA", ""};
    QTest::newRow("B only") << ModelInput::TEXT_B << "DJ" << QStringList{"", "2_B.wav", "", "2_B.qlw", "", ""};
    QTest::newRow("both") << ModelInput::UNDEFINED << "DJ"
                          << QStringList{"1_A.wav", "2_B.wav", "1_A.qlw", "2_B.qlw", "ColorA", ""};
    QTest::newRow("user A/B") << ModelInput::TEXT_A_B << "A/B"
                              << QStringList{"1_A.wav", "2_B.wav", "1_A.qlw", "2_B.qlw", "ColorA", ""};
}

// With a colour file active on deck A only; the master take is always there.
void TestRecordingExport::exports() {
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
    QVERIFY(QFileInfo(set.filename()).fileName().startsWith("Recording_" + QString(user).replace('/', '_') + "_"));
    QCOMPARE(read.author(), user);
    QCOMPARE(read.bpm(), 92);
    QCOMPARE(read.path_picture(), folder + "/author.png");
    QCOMPARE(QFileInfo(read.path_sound_looper()).fileName(), QString("3_M.wav"));
    const QStringList paths{read.path_sound_a(), read.path_sound_b(), read.path_curve_1(),
                            read.path_curve_2(), read.path_color_a(), read.path_color_b()};
    for (int i = 0; i < paths.size(); ++i) {
        const QString name = QFileInfo(paths[i]).fileName();
        QVERIFY2(named[i].isEmpty() ? paths[i].isEmpty() : name.startsWith(named[i]), qPrintable(paths[i]));
        QVERIFY(paths[i].isEmpty() || QFileInfo(paths[i]).isFile());
    }
    // Nothing but the named files, the header and the picture.
    const int written = 4 - int(named.mid(2).count(""));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3 + written + 2);
}

// A device that recorded nothing in this run keeps its earlier name in PathFile: that take, and its
// curve file, belong to the earlier run and are neither named nor rewritten.
void TestRecordingExport::staleTakeNotNamed() {
    Singleton::instance()->instanceMode()->setInputText(ModelInput::UNDEFINED);
    const QString folder = run({"1_A", "2_B"});
    m_export->exportFile();
    const QByteArray earlierCurve = [&] {
        QFile file(folder + "/1_A.qlw");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY(!earlierCurve.isEmpty());
    QTest::qWait(2);
    Singleton::instance()->instanceMode()->modeTraining_on(); // a second run into the same folder
    writeFile(folder + "/2_B.wav", "second take");
    const QLooper set = m_export->exportFile();
    const QLooper read = LibrarySet::readTrainingFile(set.filename(), "Recording", true);
    QVERIFY(!read.isNull());
    QVERIFY(read.path_sound_a().isEmpty() && read.path_curve_1().isEmpty() && read.path_sound_looper().isEmpty());
    QCOMPARE(read.path_sound_b(), folder + "/2_B.wav");
    QFile curve(folder + "/1_A.qlw");
    QVERIFY(curve.open(QIODevice::ReadOnly));
    QCOMPARE(curve.readAll(), earlierCurve);
}

void TestRecordingExport::writeFailureShown() {
    run({});
    m_export->takeWriteFailure("/x/1_A.wav", "No space left on device");
    ModalDriver driver;
    m_export->exportFile();
    QCOMPARE(driver.messages().value(0), QString("A recording could not be written:\n  1_A.wav: No space left on device"));
}

QUILLON_GUI_TEST_MAIN(TestRecordingExport)
#include "tst_RecordingExport.moc"
