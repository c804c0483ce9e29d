#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Path.h"
#include "core/PathFile.h"

class TestPathFile : public QObject {
    Q_OBJECT

private slots:
    void namesLoseTheirExtension_data();
    void namesLoseTheirExtension();
    void recordingFolder();
};

void TestPathFile::namesLoseTheirExtension_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("name");
    QTest::newRow("with .wav") << "x.wav"
                               << "x";
    QTest::newRow("no extension") << "abc"
                                  << "abc";
    QTest::newRow("only .wav") << ".wav"
                               << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("any last four") << "take1.WAVE"
                                   << "take1.";
}

void TestPathFile::namesLoseTheirExtension() {
    QFETCH(QString, stored);
    PathFile files;
    files.setFilenameSound_a(stored);
    files.setFilenameSound_b(stored);
    files.setFilenameSound_master(stored);
    QTEST(files.filenameSound_a(), "name");
    QTEST(files.filenameSound_b(), "name");
    QTEST(files.filenameSound_master(), "name");
}

void TestPathFile::recordingFolder() {
    PathFile files;
    QVERIFY(files.pathDirectory_recording().isEmpty());
    files.newPathDirectory_recording();
    const QString name = files.pathDirectory_recording();
    QVERIFY2(QRegularExpression(R"(^\d{8}-\d{6},\d{3}$)").match(name).hasMatch(), qPrintable(name));
    // The Recording folder itself may be missing too: every missing parent is made.
    QDir(Path::joinRecording(QString())).removeRecursively();
    const QString path = files.createPathDirectory_recording();
    QCOMPARE(path, Path::joinRecording(name));
    QVERIFY(QFileInfo(path).isDir());
}

QUILLON_TEST_MAIN(TestPathFile)
#include "tst_PathFile.moc"
