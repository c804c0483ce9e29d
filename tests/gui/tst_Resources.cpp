#include <QComboBox>
#include <QDirIterator>
#include <QDomDocument>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QtEndian>
#include <QtTest>

#include "Artifacts.h"
#include "GuiTest.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/Header.h"
#include "core/ManagePhrasing.h"
#include "core/ManageWAV.h"
#include "core/Path.h"
#include "core/RecordingLooperTraining.h"

// The embedded pictures, the style sheet and the data tree that a first start copies.
class TestResources : public QObject {
    Q_OBJECT

private slots:
    void picturesResolve();
    void sourceNamesListed();
    void styleSheet();
    void shippedSounds_data();
    void shippedSounds();
    void embeddedClick();
    void defaultSet();
    void defaultColor();
    void firstStartTree();
};

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
    QFile file(source("resources/gui/pictures.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return pictures;
    const QRegularExpression line(R"(^(icon|image)\|([^|]+)\|(\d+)x(\d+)$)");
    for (const QString& text : QString::fromUtf8(file.readAll()).split('\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch())
            pictures.append({m.captured(1), m.captured(2), QSize(m.captured(3).toInt(), m.captured(4).toInt())});
    }
    return pictures;
}

QPixmap load(const Picture& picture) {
    return picture.kind == "icon" ? Path::joinResourceIcon(picture.name)
                                  : QPixmap(Path::joinResourceImage(picture.name));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString DEFAULT_SET = QStringLiteral("T4rMo/T4rMo_Regular Training_84.qlt");

} // namespace

// Every listed picture is embedded and shows something; the contact sheet shows each at the size
// the interface gives it.
void TestResources::picturesResolve() {
    const QList<Picture> pictures = listedPictures();
    QVERIFY(pictures.size() > 40);
    const int cell = 140, columns = 8;
    const int rows = int(pictures.size() + columns - 1) / columns;
    QImage small(columns * cell, rows * cell, QImage::Format_ARGB32_Premultiplied);
    small.fill(QColor(53, 53, 53));
    QPainter p(&small);
    p.setPen(QColor(175, 176, 177));
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 7));
    QList<QPixmap> large;
    for (int i = 0; i < pictures.size(); ++i) {
        const Picture& picture = pictures[i];
        const QPixmap pixmap = load(picture);
        QVERIFY2(!pixmap.isNull(), qPrintable(picture.name));
        // A real picture: not blank, not one flat colour.
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> colours;
        qsizetype visible = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb rgb = image.pixel(x, y);
                visible += qAlpha(rgb) > 0;
                colours.insert(rgb);
            }
        }
        QVERIFY2(visible * 20 > qsizetype(image.width()) * image.height(), qPrintable(picture.name));
        QVERIFY2(colours.size() > 2, qPrintable(picture.name));

        const QPixmap shown = pixmap.scaled(picture.size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (shown.width() > cell - 10 || shown.height() > cell - 30) {
            large.append(shown);
            continue;
        }
        const QPoint corner((i % columns) * cell, (i / columns) * cell);
        p.drawPixmap(corner + QPoint((cell - shown.width()) / 2, (cell - 20 - shown.height()) / 2), shown);
        p.drawText(QRect(corner + QPoint(2, cell - 22), QSize(cell - 4, 20)), Qt::AlignCenter | Qt::TextWordWrap,
                   picture.name);
    }
    p.end();
    // The large images below the icons.
    int height = small.height();
    int width = small.width();
    for (const QPixmap& image : large) {
        height += image.height() + 10;
        width = std::max(width, image.width());
    }
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(43, 43, 43));
    QPainter s(&sheet);
    s.drawImage(0, 0, small);
    int y = small.height() + 10;
    for (const QPixmap& image : large) {
        s.drawPixmap(0, y, image);
        y += image.height() + 10;
    }
    s.end();
    QVERIFY(!Artifacts::save(sheet, "pictures-contact-sheet").isEmpty());
}

// The pictures the interface's code names are all listed (so embedded): quoted ".png" names and
// names given to the resource helpers.
void TestResources::sourceNamesListed() {
    QSet<QString> listed;
    for (const Picture& picture : listedPictures())
        listed.insert(picture.name);
    const QRegularExpression png(R"re("(?:[^"\n]*/)?([^"/\\\n]+\.png)")re");
    const QRegularExpression helper(R"re(joinResource(?:Icon|Image)\(\s*(?:QStringLiteral\(\s*)?"([^"]+)")re");
    QDirIterator it(source("gui"), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString text = QString::fromUtf8(readAll(path));
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

// The sheet parses, and its checked looks take effect on the object names the widgets carry.
void TestResources::styleSheet() {
    const QString sheet = Function::loadStyleFromFile(Path::joinCss("style.css"));
    for (const char* name : {"dark", "toggle", "togglecircular", "midi", "menu", "big", "volume", "bpm",
                             "selectdisplaymode", "border", "frameheader", "framecore", "frameborder",
                             "contextmenu", "contextgraph", "color", "title"})
        QVERIFY2(sheet.contains(QString("#%1").arg(name)), name);
    QTest::failOnWarning(QRegularExpression("(?i)style ?sheet"));

    // The window's palette, as the application sets it.
    QWidget view;
    QPalette palette = view.palette();
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(175, 176, 177));
    view.setPalette(palette);
    view.setAutoFillBackground(true);
    view.setStyleSheet(sheet);
    auto* grid = new QGridLayout(&view);
    const auto button = [&](const char* name, const QString& icon, int row, int column, bool checked,
                            bool enabled = true) {
        auto* b = new QPushButton(&view);
        b->setObjectName(name);
        b->setFixedSize(50, 50);
        b->setIcon(Path::joinResourceIcon(icon));
        b->setIconSize(QSize(30, 30));
        b->setCheckable(true);
        b->setChecked(checked);
        b->setEnabled(enabled);
        grid->addWidget(b, row, column);
        return b;
    };
    auto* header = new QFrame(&view);
    header->setObjectName("frameheader");
    auto* headerLayout = new QHBoxLayout(header);
    auto* caption = new QLabel("Looper", header);
    caption->setObjectName("dark");
    headerLayout->addWidget(caption);
    headerLayout->addWidget(button("dark", "close.png", 0, 0, false));
    grid->addWidget(header, 0, 0, 1, 6);
    QPushButton* off = button("toggle", "record.png", 1, 0, false);
    QPushButton* on = button("toggle", "mix.png", 1, 1, true);
    button("toggle", "hamster.png", 1, 2, false, false);
    button("togglecircular", "hold.png", 1, 3, true);
    QPushButton* learn = button("midi", QString(), 1, 4, true);
    learn->setText("Learn");
    learn->setFixedSize(100, 50);
    auto* beats = new QComboBox(&view);
    beats->setObjectName("bpm");
    beats->addItems({"2", "4", "8"});
    grid->addWidget(beats, 2, 0);
    auto* display = new QComboBox(&view);
    display->setObjectName("selectdisplaymode");
    display->addItem(Path::joinResourceIcon("phrasing.png"), "Phrasing");
    grid->addWidget(display, 2, 1, 1, 2);
    auto* device = new QComboBox(&view);
    device->setObjectName("big");
    device->addItem("0-[tc_capture]-44100/128p0-ALSA-");
    grid->addWidget(device, 2, 3, 1, 3);
    auto* row = new QFrame(&view);
    row->setObjectName("frameborder");
    auto* rowLayout = new QHBoxLayout(row);
    for (const char* name : {"title", "bpm", "border", "color"}) {
        auto* label = new QLabel(QString(name), row);
        label->setObjectName(name);
        rowLayout->addWidget(label);
    }
    grid->addWidget(row, 3, 0, 1, 6);
    auto* volume = new QSlider(Qt::Vertical, &view);
    volume->setObjectName("volume");
    volume->setValue(60);
    grid->addWidget(volume, 0, 6, 4, 1);
    view.resize(520, 320);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QVERIFY(!Artifacts::save(&view, "style-sheet").isEmpty());
    const QImage image = view.grab().toImage();
    const auto pixel = [&](QWidget* w) { return image.pixelColor(w->geometry().topLeft() + QPoint(8, 25)); };
    // A checked toggle wears the accent; an unchecked one does not; learning is red.
    const auto tinted = [](const QColor& c) { return c.green() > c.red() + 20 && c.blue() > c.red() + 20; };
    QVERIFY2(tinted(pixel(on)) && !tinted(pixel(off)), "a checked toggle looks like an unchecked one");
    QVERIFY(pixel(learn).red() > 150 && pixel(learn).green() < 120);
}

// Every shipped sound is stereo 16-bit PCM at 48000 frames per second, of its length.
void TestResources::shippedSounds_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("frames");
    QTest::newRow("metronome click") << Path::joinInput("beep1.wav") << 2400;
    QTest::newRow("default looper: one bar at 84 bpm, less 57 ms")
        << Path::joinLooper("T4rMo/Regular Training.wav") << 134400;
    QTest::newRow("scratch sound: one platter turn") << Path::joinScratchTools("Ahh.wav") << 86400;
}

void TestResources::shippedSounds() {
    QFETCH(QString, path);
    QFETCH(int, frames);
    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes.size(), 44 + frames * 4);
    const char* h = bytes.constData();
    QCOMPARE(bytes.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(h + 4), quint32(bytes.size() - 8));
    QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint16>(h + 20), quint16(1));
    QCOMPARE(qFromLittleEndian<quint16>(h + 22), quint16(2));
    QCOMPARE(qFromLittleEndian<quint32>(h + 24), quint32(48000));
    QCOMPARE(qFromLittleEndian<quint16>(h + 34), quint16(16));
    QCOMPARE(qFromLittleEndian<quint32>(h + 40), quint32(frames * 4));

    const auto wav = ManageWAV::extractStereoWAVFromFile(path);
    QCOMPARE(wav->channels(), 2);
    QCOMPARE(wav->size(), frames);
    // Loud enough to hear, and not clipped.
    QVERIFY(wav->wavMax() > 16000 && wav->wavMax() < 32767);
}

void TestResources::embeddedClick() {
    const QByteArray embedded = readAll(":/Fx/core/fx/beep1.wav");
    QVERIFY(!embedded.isEmpty());
    QCOMPARE(embedded, readAll(Path::joinInput("beep1.wav")));
}

// The built-in set is accepted by the digest check and is the one the library marks as default.
void TestResources::defaultSet() {
    const auto header = Header::importHeaderFromQLTFile(Path::joinLooper(DEFAULT_SET));
    QVERIFY(header);
    QVERIFY(Header::checkHash(header.get()));
    QCOMPARE(header->version(), 1);
    QCOMPARE(header->mode(), ModelActivatedMode::Looper);
    QCOMPARE(header->title(), Constant::Default::TITLE);
    QCOMPARE(header->author(), Constant::Default::AUTHOR);
    QCOMPARE(header->url(), Constant::Default::URL);
    QCOMPARE(header->bpm(), 84.0);
    QCOMPARE(header->offset(), 0.0);
    QCOMPARE(header->pathSound_Looper(), QString("Regular Training.wav"));
    for (const QString& none : {header->pathSound_A(), header->pathSound_B(), header->pathCurve_1(),
                                header->pathCurve_2(), header->pathColor_A(), header->pathColor_B()})
        QVERIFY(none.isEmpty());
}

// The default colour file, read the way the colour panel reads it: a valid set with its sound.
void TestResources::defaultColor() {
    const QString path = Path::joinColor(Constant::Default::PHRASING_DEFAULT + Constant::Extension::QLP);
    QDomDocument doc;
    QVERIFY(doc.setContent(readAll(path)));
    const QDomElement root = doc.documentElement();
    QCOMPARE(root.tagName(), Constant::XmlPhrasing::PHRASING);
    QCOMPARE(root.attribute(Constant::XmlPhrasing::NAME), Constant::Default::PHRASING_DEFAULT);
    QList<QPhrasing> areas;
    for (QDomElement s = root.firstChildElement(Constant::XmlPhrasing::SECTION); !s.isNull();
         s = s.nextSiblingElement(Constant::XmlPhrasing::SECTION)) {
        const QStringList rgb = s.attribute(Constant::XmlPhrasing::COLOR).split(',');
        QCOMPARE(rgb.size(), 3);
        areas.append(QPhrasing(s.attribute(Constant::XmlPhrasing::LABEL),
                               {quint8(rgb[0].toInt()), quint8(rgb[1].toInt()), quint8(rgb[2].toInt())},
                               s.attribute(Constant::XmlPhrasing::ANGLE_START).toDouble(),
                               s.attribute(Constant::XmlPhrasing::ANGLE_END).toDouble()));
    }
    QVERIFY(!areas.isEmpty());
    ManagePhrasing set(ModelGraph::NOT_USED);
    set.setListPhrasing(areas);
    QVERIFY(set.checkPhrasing());
    set.setScratchTools(root.attribute(Constant::XmlPhrasing::SCRATCH_TOOLS));
    set.generateScratchTools();
    QVERIFY(set.wav() && set.wav()->size() > 0);
}

// What the build lays out is what a first start copies: every shipped file and folder, unchanged.
void TestResources::firstStartTree() {
    const QString shipped = source("resources/AppData");
    QDirIterator it(shipped, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.fileName() == ".gitkeep")
            continue;
        const QString copy = Path::joinHome(QDir(shipped).relativeFilePath(entry.filePath()));
        if (entry.isDir()) {
            QVERIFY2(QFileInfo(copy).isDir(), qPrintable(copy));
        } else {
            QVERIFY2(readAll(copy) == readAll(entry.filePath()), qPrintable(copy));
            ++files;
        }
    }
    QVERIFY(files >= 8);
    for (const char* library : {"Training", "Recording"})
        QVERIFY(QFileInfo(Path::joinHome(library)).isDir());
}

QUILLON_GUI_TEST_MAIN(TestResources)
#include "tst_Resources.moc"
