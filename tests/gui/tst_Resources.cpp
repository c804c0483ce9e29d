#include <QApplication>
#include <QDirIterator>
#include <QIcon>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Artifacts.h"
#include "GuiTest.h"
#include "TestFiles.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/ManageWAV.h"
#include "core/Path.h"
#include "gui/StartUp.h"

namespace {

struct Picture {
    QString kind;
    QString name;
    QSize size;
};

QString source(const QString& path) {
    return TestSandbox::sourceDir() + "/" + path;
}

QList<Picture> listedPictures() {
    QList<Picture> pictures;
    const QRegularExpression line(R"(^(icon|image)\|([^|]+)\|(\d+)x(\d+)$)");
    for (const QString& text :
         QString::fromUtf8(TestFiles::read(source("resources/gui/pictures.txt"))).split('\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch())
            pictures.append(
                {m.captured(1), m.captured(2), QSize(m.captured(3).toInt(), m.captured(4).toInt())});
    }
    return pictures;
}

QPixmap load(const Picture& picture) {
    return picture.kind == "icon" ? Path::joinResourceIcon(picture.name)
                                  : QPixmap(Path::joinResourceImage(picture.name));
}

const QString NAME = QStringLiteral("Quillon / Vantor V2.1.1983");

using TestFiles::tree;

// A Plugins folder beside the executable's folder makes the sandbox's bundle a deployed one.
QString plugins() {
    return Function::applicationDirPath() + "/../Plugins";
}

QString userFolder(const QString& applicationName) {
    return qEnvironmentVariable("XDG_DATA_HOME") + "/" + applicationName + "/AppData";
}

const QString DEFAULT_SET = QStringLiteral("T4rMo/T4rMo_Regular Training_84.qlt");

} // namespace

// The embedded pictures, the style sheet and the shipped data; the application's appearance, and the
// first-start copy of the shipped data tree into the per-user folder.
class TestResources : public QObject {
    Q_OBJECT

private slots:
    // What the build lays out is the source's data tree: every file and folder, unchanged, but for the
    // placeholders that keep empty folders in the source tree.
    void initTestCase() {
        QApplication::setApplicationName(NAME);
        m_shipped = TestFiles::tree(Path::appDataIntoAppResources_MacOS());
        QVERIFY(m_shipped.contains("Css/style.css") && m_shipped.contains("Training") &&
                m_shipped.contains("Recording"));
        QMap<QString, QByteArray> tree = TestFiles::tree(source("resources/AppData"));
        tree.removeIf([](const auto& entry) { return entry.key().endsWith("/.gitkeep"); });
        QCOMPARE(m_shipped, tree);
    }

    // Each start-up test deploys the bundle (a Plugins folder) itself.
    void cleanup() {
        QDir(qEnvironmentVariable("XDG_DATA_HOME")).removeRecursively();
        QDir(plugins()).removeRecursively();
        QApplication::setApplicationName(NAME);
    }

    // Every listed picture is embedded and shows something; the contact sheet shows each at the size
    // the interface gives it, in rows.
    void picturesResolve() {
        const QList<Picture> pictures = listedPictures();
        QVERIFY(pictures.size() > 40);
        QList<QPixmap> shown;
        for (const Picture& picture : pictures) {
            const QPixmap pixmap = load(picture);
            QVERIFY2(!pixmap.isNull(), qPrintable(picture.name));
            // A real picture: not blank, not one flat colour.
            const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
            QSet<QRgb> colours;
            qsizetype visible = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    visible += qAlpha(image.pixel(x, y)) > 0;
                    colours.insert(image.pixel(x, y));
                }
            }
            QVERIFY2(visible * 20 > qsizetype(image.width()) * image.height(), qPrintable(picture.name));
            QVERIFY2(colours.size() > 2, qPrintable(picture.name));
            shown << pixmap.scaled(picture.size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        const int width = 1400;
        QList<QRect> cells;
        for (int i = 0, x = 0, y = 0, row = 0; i < shown.size(); ++i) {
            const QSize cell = shown[i].size().expandedTo(QSize(130, 0)) + QSize(10, 24);
            if (x + cell.width() > width)
                x = 0, y += row, row = 0;
            cells << QRect(QPoint(x, y), cell);
            x += cell.width();
            row = std::max(row, cell.height());
        }
        int height = 0;
        for (const QRect& cell : cells)
            height = std::max(height, cell.bottom() + 1);
        QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(QColor(53, 53, 53));
        QPainter p(&sheet);
        p.setPen(QColor(175, 176, 177));
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 7));
        for (int i = 0; i < shown.size(); ++i) {
            p.drawPixmap(cells[i].topLeft(), shown[i]);
            p.drawText(cells[i].adjusted(0, shown[i].height(), -10, 0), Qt::AlignHCenter | Qt::TextWordWrap,
                       pictures[i].name);
        }
        p.end();
        QVERIFY(!Artifacts::save(sheet, "pictures-contact-sheet").isEmpty());
    }

    void sourceNamesListed();

    // The sheet has a look for every object name the widgets carry (the widget gallery shows them).
    void styleSheetNamesEveryLook() {
        const QString sheet = Function::loadStyleFromFile(Path::joinCss("style.css"));
        for (const char* name : {"dark", "toggle", "togglecircular", "midi", "menu", "big", "volume", "bpm",
                                 "selectdisplaymode", "border", "frameheader", "framecore", "frameborder",
                                 "contextmenu", "contextgraph", "color", "title"})
            QVERIFY2(sheet.contains(QString("#%1").arg(name)), name);
    }

    // Every shipped sound is stereo 16-bit PCM at 48000 frames per second, of its length.
    void shippedSounds_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("frames");
        QTest::newRow("metronome click") << Path::joinInput("beep1.wav") << 2400;
        QTest::newRow("default looper: one bar at 84 bpm, less 57 ms")
            << Path::joinLooper("T4rMo/Regular Training.wav") << 134400;
        QTest::newRow("scratch sound: one platter turn") << Path::joinScratchTools("Ahh.wav") << 86400;
    }

    void shippedSounds() {
        QFETCH(QString, path);
        QFETCH(int, frames);
        const QByteArray bytes = TestFiles::read(path);
        QCOMPARE(bytes.size(), 44 + frames * 4);
        QCOMPARE(bytes.left(44), TestFiles::wavFile(QByteArray(frames * 4, '\0')).left(44));
        const auto wav = ManageWAV::extractStereoWAVFromFile(path);
        QCOMPARE(wav->channels(), 2);
        QCOMPARE(wav->size(), frames);
        // Loud enough to hear, and not clipped.
        QVERIFY(wav->wavMax() > 16000 && wav->wavMax() < 32767);
    }

    void embeddedClick() {
        const QByteArray embedded = TestFiles::read(":/Fx/core/fx/beep1.wav");
        QVERIFY(!embedded.isEmpty());
        QCOMPARE(embedded, TestFiles::read(Path::joinInput("beep1.wav")));
    }

    // The built-in set, byte for byte: the library marks it as the default by its values and the digest
    // check accepts it.
    void defaultSet() {
        QCOMPARE(TestFiles::read(Path::joinLooper(DEFAULT_SET)),
                 TestFiles::trainingFile({ModelActivatedMode::Looper, Constant::Default::TITLE,
                                          Constant::Default::AUTHOR, Constant::Default::URL, 84,
                                          "Regular Training.wav"}));
    }

    void appearance() {
        configureApplicationAppearance(*qApp);
        configureApplicationIcon(*qApp);
        QCOMPARE(QApplication::applicationName(), NAME);
        QCOMPARE(QApplication::style()->name().toLower(), QString("fusion"));
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            QCOMPARE(QApplication::palette().color(group, QPalette::Window), QColor(53, 53, 53));
            QCOMPARE(QApplication::palette().color(group, QPalette::WindowText), QColor(175, 176, 177));
        }
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    void firstAndSecondStart() {
        QVERIFY(QDir().mkpath(plugins()));
        QCOMPARE(Path::appData(), userFolder(NAME));
        handleMacSpecificDataSetup();
        QCOMPARE(TestFiles::tree(Path::appData()), m_shipped);
        QVERIFY(!QFileInfo::exists(Path::appData() + ".partial"));

        // What the user changed or deleted stays so.
        QVERIFY(TestFiles::write(Path::joinCss("style.css"), "edited"));
        QVERIFY(QFile::remove(Path::joinColor("Default color.qlp")));
        const QMap<QString, QByteArray> edited = TestFiles::tree(Path::appData());
        handleMacSpecificDataSetup();
        QCOMPARE(TestFiles::tree(Path::appData()), edited);
    }

    void notDeployed() {
        handleMacSpecificDataSetup();
        QCOMPARE(Path::appData(), Path::appDataIntoAppResources_MacOS());
        QVERIFY(!QFileInfo::exists(userFolder(NAME)));
    }

    void killedCopyIsRedone_data() {
        // Whether a start really ends inside the copy, or only its leftovers are laid out.
        QTest::addColumn<bool>("midway");
        QTest::newRow("leftovers of a killed start") << false;
        QTest::newRow("a start ended midway through the copy") << true;
    }

    // A start killed while copying leaves no data folder, only the unfinished sibling; the next start
    // copies afresh.
    void killedCopyIsRedone() {
        QFETCH(bool, midway);
        QVERIFY(QDir().mkpath(plugins()));
        const QString partial = userFolder(NAME) + ".partial";
        if (midway) {
            // A start of its own whose first write past the limit ends it, as a kill would.
            const pid_t child = ::fork();
            if (child == 0) {
                const rlimit limit{64 * 1024, 64 * 1024};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                std::signal(SIGXFSZ, SIG_DFL);
                handleMacSpecificDataSetup();
                ::_exit(0);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ, "the copy was not cut short");
        } else {
            QVERIFY(TestFiles::write(partial + "/Css/style.css", "cut sh"));
            QVERIFY(TestFiles::write(partial + "/stray.txt", "left over"));
        }
        QVERIFY(!QFileInfo::exists(userFolder(NAME)));
        const qsizetype unfinished = TestFiles::tree(partial).size();
        QVERIFY(unfinished > 0 && unfinished < m_shipped.size());
        handleMacSpecificDataSetup();
        QCOMPARE(TestFiles::tree(Path::appData()), m_shipped);
        QVERIFY(!QFileInfo::exists(partial));
    }

    void newVersionCopiesAgain() {
        QVERIFY(QDir().mkpath(plugins()));
        handleMacSpecificDataSetup();
        QVERIFY(TestFiles::write(Path::joinInput("config.ini"), "older version's"));
        const QMap<QString, QByteArray> older = TestFiles::tree(userFolder(NAME));
        QApplication::setApplicationName("Quillon / Vantor V2.1.1984");
        handleMacSpecificDataSetup();
        QCOMPARE(TestFiles::tree(userFolder("Quillon / Vantor V2.1.1984")), m_shipped);
        QCOMPARE(TestFiles::tree(userFolder(NAME)), older);
    }

private:
    QMap<QString, QByteArray> m_shipped;
};

// The pictures the interface's code names are all listed (so embedded): quoted ".png" names and
// names given to the resource helpers. Defined outside the class, where moc does not read its raw strings.
void TestResources::sourceNamesListed() {
    QSet<QString> listed;
    for (const Picture& picture : listedPictures())
        listed.insert(picture.name);
    const QRegularExpression png(R"re("(?:[^"\n]*/)?([^"/\\\n]+\.png)")re");
    const QRegularExpression helper(
        R"re(joinResource(?:Icon|Image)\(\s*(?:QStringLiteral\(\s*)?"([^"]+)")re");
    QDirIterator it(source("gui"), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString text = QString::fromUtf8(TestFiles::read(path));
        ++files;
        for (const QRegularExpression& re : {png, helper}) {
            for (const QRegularExpressionMatch& m : re.globalMatch(text)) {
                const QString name = m.captured(1);
                // The author picture is a data file beside a set, not an embedded picture.
                if (name == Constant::Default::AUTHOR_FILE)
                    continue;
                QVERIFY2(listed.contains(name), qPrintable(path + " names " + name));
            }
        }
    }
    QVERIFY(files > 0);
}

QUILLON_GUI_TEST_MAIN(TestResources)
#include "tst_Resources.moc"
