#include <QtTest>

#include <cmath>

#include "Artifacts.h"
#include "GuiTest.h"
#include "SyntheticCurve.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/Phrasing.h"
#include "core/QCurve.h"
#include "core/QWav.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/WavPhrasing.h"
#include "gui/graph/QWPainter.h"

// What one frame of the graph draws, probed in pixels of a rendered picture.
class TestQWPainterFrame : public QObject {
    Q_OBJECT

private slots:
    void init();
    void gridOffKeepsCurve();
    void barLines();
    void reference_data();
    void reference();
    void splits_data();
    void splits();
    void countIn();
    void discAreaAtThreeOclock();
    void hostileValues();
    void screenshots();
    void scrollingEqualsWhole();
};

namespace {

Singleton* registry() {
    return Singleton::instance();
}

// 300 points a second at 48 kHz.
constexpr double STEP = 160.0;

double beat() {
    return registry()->instanceLooperTraining()->bpmSamplerate(ModelGraph::INPUT_A);
}

void option(void (Setting::*setter)(const QString&), bool on) {
    (registry()->instanceSetting()->*setter)(on ? QStringLiteral("1") : QStringLiteral("0"));
}

void setAreas(ModelGraph::EnumGraph graph, const QList<QPhrasing>& areas) {
    registry()->instancePhrasing()->setListPhrasing(graph, areas);
}

QImage frame(QWPainter& painter) {
    QImage image(painter.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    painter.render(&image);
    return image;
}

bool near(QRgb pixel, QColor expected, int tolerance = 12) {
    return std::abs(qRed(pixel) - expected.red()) <= tolerance && std::abs(qGreen(pixel) - expected.green()) <= tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) <= tolerance;
}

const QColor BACKGROUND(43, 43, 43);

void send(QWidget& widget, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// A painter of input A over [0, beats] with points taken from `points` (frame, degrees, y).
struct Scene {
    QWPainter painter{ModelGraph::INPUT_A, ModelGraph::INPUT_1};
    explicit Scene(double beats = 8.0) {
        painter.resize(1900, 500);
        painter.setXRange(0, qint64(beats * beat()));
    }
    void add(QCurve* curve, double frame, double degrees, double y, bool open = true) {
        QData p;
        p.setSamplerate(qint32(frame));
        p.setTargetPosition(degrees);
        p.setY(y);
        p.setDrawon(open);
        curve->addDataCurve(p);
    }
};

} // namespace

void TestQWPainterFrame::init() {
    Mode* mode = registry()->instanceMode();
    mode->setModeDisplay(ModelDisplay::NORMAL);
    mode->setDisplayBPM(8.0);
    mode->modeRun_off();
    mode->modeCurrentTimerAutoresize_off();
    registry()->instanceLooperTraining()->setMode(ModelActivatedMode::Training);
    registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, 0.0);
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, nullptr);
    registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_B, nullptr);
    setAreas(ModelGraph::INPUT_A, {});
    setAreas(ModelGraph::INPUT_B, {});
    option(&Setting::setParamGraphGrid, false);
    option(&Setting::setParamGraphLogo, false);
    option(&Setting::setParamGraphVinylPosition, false);
    option(&Setting::setParamGraphMainCurve, true);
    option(&Setting::setParamGraphShiniMode, false);
    registry()->instanceSetting()->setParamCurveOnSize(QStringLiteral("8"));
}

void TestQWPainterFrame::gridOffKeepsCurve() {
    Scene scene;
    SyntheticCurve::fill(*scene.painter.curve_Main(), 0, 1700, STEP);
    option(&Setting::setParamGraphGrid, true);
    const QImage on = frame(scene.painter);
    QVERIFY(near(on.pixel(1000, 460), QColor(175, 176, 177)));
    option(&Setting::setParamGraphGrid, false);
    const QImage off = frame(scene.painter);
    QVERIFY(!near(off.pixel(1000, 460), QColor(175, 176, 177)));
    // No axis, legend or labels: under the plot (right of the current-time label) and left of the plot.
    for (int y = 461; y < 500; ++y)
        for (int x = 100; x < 1900; x += 3)
            QVERIFY2(off.pixel(x, y) == BACKGROUND.rgb(), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    for (int y = 0; y < 455; y += 2)
        for (int x = 0; x < 40; ++x)
            QVERIFY(off.pixel(x, y) == BACKGROUND.rgb());
    int green = 0;
    for (int x = 45; x < 1900; ++x)
        for (int y = 35; y < 460; ++y)
            green += near(off.pixel(x, y), QColor(0, 255, 0));
    QVERIFY(green > 5000);
}

// Bars (every fourth beat from the looper offset) are 4 px wide, other beats a thin line.
void TestQWPainterFrame::barLines() {
    Scene scene;
    option(&Setting::setParamGraphGrid, true);
    const QImage image = frame(scene.painter);
    auto litRun = [&](double frame) {
        const int centre = int(45 + frame * 1855.0 / (8 * beat()));
        int lit = 0;
        for (int x = centre - 6; x <= centre + 6; ++x)
            lit += qGray(image.pixel(x, 200)) > 110;
        return lit;
    };
    QVERIFY2(litRun(4 * beat()) >= 3 && litRun(4 * beat()) <= 5, qPrintable(QString::number(litRun(4 * beat()))));
    QVERIFY(litRun(beat()) <= 1);
    QVERIFY(qGray(image.pixel(int(45 + 1855.0 / 8), 200)) > 50);
}

void TestQWPainterFrame::reference_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QColor>("expected");
    // The reference curve takes the area's colour raised by 50 where below 205.
    QTest::newRow("training") << int(ModelActivatedMode::Training) << QColor(220, 80, 150);
    QTest::newRow("looper draws no reference") << int(ModelActivatedMode::Looper) << BACKGROUND;
}

void TestQWPainterFrame::reference() {
    QFETCH(int, mode);
    QFETCH(QColor, expected);
    registry()->instanceLooperTraining()->setMode(ModelActivatedMode::EnumActivatedMode(mode));
    setAreas(ModelGraph::INPUT_A, {QPhrasing("all", {220, 30, 100}, 0.0, 360.0)});
    Scene scene;
    scene.painter.refreshListManagePhrasing();
    for (int i = 0; i < 1700; ++i)
        scene.add(scene.painter.curve_Secondary(), i * STEP, 90.0, 500.0);
    // Data [500, 500] gives the window [470, 570]: y = 500 on row 332.5 of a 425-row plot from row 35.
    const QImage image = frame(scene.painter);
    QVERIFY2(near(image.pixel(1000, 332), expected, 3), qPrintable(QColor(image.pixel(1000, 332)).name()));
}

void TestQWPainterFrame::splits_data() {
    QTest::addColumn<int>("display");
    QTest::addColumn<QList<double>>("angles");
    // Points 1 and 2 cross into the other area (PHRASING) or through 0° (DRUMMING).
    QTest::newRow("phrasing") << int(ModelDisplay::PHRASING) << QList<double>{100, 170, 190, 200, 210};
    QTest::newRow("drumming") << int(ModelDisplay::DRUMMING) << QList<double>{300, 350, 10, 20, 30};
}

// The crossing segment is drawn as two parts meeting the top and bottom edges at the mid frame.
void TestQWPainterFrame::splits() {
    QFETCH(int, display);
    QFETCH(QList<double>, angles);
    registry()->instanceMode()->setModeDisplay(ModelDisplay::EnumDisplay(display));
    const QColor first(200, 40, 40), second(40, 40, 200);
    setAreas(ModelGraph::INPUT_A, {QPhrasing("a", {200, 40, 40}, 0.0, 180.0), QPhrasing("b", {40, 40, 200}, 180.0, 360.0)});
    Scene scene(4.0);
    scene.painter.refreshListManagePhrasing();
    const double frames[] = {1000, beat(), 2 * beat(), 3 * beat(), 5 * beat()};
    for (int i = 0; i < 5; ++i)
        scene.add(scene.painter.curve_Main(), frames[i], angles[i], 0.0);
    const QImage image = frame(scene.painter);
    Artifacts::save(image, QStringLiteral("painter-split-%1").arg(display));
    // Mid frame 1.5 beats: x = 45 + 1.5 / 4 * 1855; the top edge is row 35, the bottom edge row 460.
    const int xm = int(45 + 1.5 / 4.0 * 1855);
    const QColor before = display == ModelDisplay::PHRASING ? first : second;
    const QColor after = display == ModelDisplay::PHRASING ? second : first;
    QVERIFY2(near(image.pixel(xm - 2, 37), before), qPrintable(QColor(image.pixel(xm - 2, 37)).name()));
    QVERIFY2(near(image.pixel(xm + 2, 457), after), qPrintable(QColor(image.pixel(xm + 2, 457)).name()));
    QVERIFY(image.pixel(xm, 250) == BACKGROUND.rgb());
}

void TestQWPainterFrame::countIn() {
    Scene scene;
    auto countInPixels = [&] {
        const QImage image = frame(scene.painter);
        int n = 0;
        for (int y = 0; y < 250; ++y)
            for (int x = 0; x < 1900; ++x)
                n += near(image.pixel(x, y), QColor(95, 96, 97), 4);
        return n;
    };
    scene.painter.drawTagNumber_3();
    QVERIFY(countInPixels() > 200);
    scene.painter.drawTagNumber_0();
    QCOMPARE(countInPixels(), 0);
}

// 0° is at twelve o'clock and angles run clockwise: an area around 90° shows at three o'clock.
void TestQWPainterFrame::discAreaAtThreeOclock() {
    option(&Setting::setParamGraphVinylPosition, true);
    setAreas(ModelGraph::INPUT_A, {QPhrasing("east", {200, 40, 40}, 60.0, 120.0)});
    Scene scene;
    scene.painter.refreshListManagePhrasing();
    const QImage image = frame(scene.painter);
    QVERIFY(near(image.pixel(125 + 60, 125), QColor(200, 40, 40), 2));
    for (QPoint p : {QPoint(125, 65), QPoint(65, 125), QPoint(125, 185)})
        QVERIFY(near(image.pixel(p), QColor(175, 176, 177), 2));
}

// Values no recording makes (a crafted curve file) neither hang the frame nor reach the windows.
void TestQWPainterFrame::hostileValues() {
    option(&Setting::setParamGraphGrid, true);
    for (int display : {ModelDisplay::NORMAL, ModelDisplay::PHRASING, ModelDisplay::DRUMMING}) {
        registry()->instanceMode()->setModeDisplay(ModelDisplay::EnumDisplay(display));
        Scene scene;
        const double values[] = {std::nan(""), 1e300, -1e300, 500.0, INFINITY, 600.0};
        for (int i = 0; i < 600; ++i) {
            scene.add(scene.painter.curve_Main(), i * STEP * 3, values[i % 6] == 500.0 ? 1e300 : i, values[i % 6]);
            scene.add(scene.painter.curve_Secondary(), i * STEP * 3, 10.0 * i, i % 2 ? 1e300 : -5.0);
        }
        frame(scene.painter);
        const QImage image = frame(scene.painter);
        QVERIFY(std::isfinite(scene.painter.yRange().min) && std::isfinite(scene.painter.yRange().max));
        QVERIFY(std::fabs(scene.painter.yRange().max) < 1e13);
        QVERIFY(!image.isNull());
    }
}

// Both decks' graphs with two-deck curves, bands, the waveform band or strip and the disc.
void TestQWPainterFrame::screenshots() {
    for (auto setter : {&Setting::setParamGraphGrid, &Setting::setParamGraphLogo,
                        &Setting::setParamGraphVinylPosition, &Setting::setParamGraphDirectSound})
        option(setter, true);
    QList<QList<qint16>> channels(2);
    for (int i = 0; i < 48000; ++i)
        channels[0].append(qint16(12000 * std::sin(i * 0.01) * std::sin(i * 0.0003)));
    channels[1] = channels[0];
    const auto wav = std::make_shared<const QWav>(48000, 2, channels);
    const QList<QPhrasing> areas{QPhrasing("Baby", {208, 0, 24}, 20.0, 110.0),
                                 QPhrasing("Chirp", {254, 194, 0}, 110.0, 200.0),
                                 QPhrasing("Tear", {1, 194, 193}, 200.0, 300.0)};
    for (auto graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B}) {
        registry()->instanceWavPhrasing()->setWavPhrasing(graph, wav);
        setAreas(graph, areas);
    }
    QWPainter a(ModelGraph::INPUT_A, ModelGraph::INPUT_1), b(ModelGraph::INPUT_B, ModelGraph::INPUT_2);
    const double phase[] = {0.0, 1.3};
    int k = 0;
    for (QWPainter* painter : {&a, &b}) {
        painter->resize(1900, 500);
        painter->refreshListManagePhrasing();
        SyntheticCurve::fill(*painter->curve_Main(), 0, 1400, STEP, phase[k]);
        SyntheticCurve::fill(*painter->curve_Secondary(), 0, 1700, STEP, phase[k] + 0.4);
        painter->setXRange(0, qint64(8 * beat()));
        ++k;
    }
    registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, 1399 * STEP);
    registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_B, 1399 * STEP);
    for (auto display : {ModelDisplay::NORMAL, ModelDisplay::PHRASING, ModelDisplay::DRUMMING}) {
        registry()->instanceMode()->setModeDisplay(display);
        for (QWPainter* painter : {&a, &b}) {
            painter->refreshVariable();
            const QString name = QStringLiteral("painter-%1-%2")
                                     .arg(painter == &a ? "A" : "B", Model::toText(display).toLower());
            QVERIFY(!Artifacts::save(frame(*painter), name).isEmpty());
        }
    }
}

// Following a run, the curve layer scrolls and renders only what is new or changed. Painter b lives the
// same frames as a, but at each check its layer is drawn whole (a frame at another size first): the two
// pictures are the same, over new points, a selection made while the window is held, and a resize.
void TestQWPainterFrame::scrollingEqualsWhole() {
    option(&Setting::setParamGraphGrid, true);
    option(&Setting::setParamGraphShiniMode, true);
    setAreas(ModelGraph::INPUT_A, {QPhrasing("Baby", {208, 0, 24}, 20.0, 110.0), QPhrasing("Tear", {1, 194, 193}, 200.0, 300.0)});
    Mode* mode = registry()->instanceMode();
    mode->modeRun_on();
    mode->modeCurrentTimerAutoresize_on();
    QWPainter a(ModelGraph::INPUT_A, ModelGraph::INPUT_1), b(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    QSize size(900, 300);
    for (QWPainter* painter : {&a, &b}) {
        painter->resize(size);
        painter->refreshListManagePhrasing();
        painter->initGraph();
        SyntheticCurve::fill(*painter->curve_Secondary(), 0, 6000, STEP, 0.4);
    }
    qint64 next = 0;
    for (int tick = 1; tick <= 80; ++tick) {
        // Checked ticks: b draws the previous frame once more at another size, so this one is drawn whole.
        const bool check = tick % 10 == 9;
        if (check) {
            b.resize(size + QSize(0, 1));
            frame(b);
            b.resize(size);
        }
        // About three columns of new points a tick.
        const qint64 last = tick * 9;
        for (QWPainter* painter : {&a, &b})
            SyntheticCurve::fill(*painter->curve_Main(), next, last - next, STEP);
        next = last;
        registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, (last - 1) * STEP);
        if (tick == 30) {
            mode->modeCurrentTimerAutoresize_off();
            mode->modeSelectArea_on();
            for (QWPainter* painter : {&a, &b}) {
                send(*painter, QEvent::MouseButtonPress, QPoint(300, 100));
                send(*painter, QEvent::MouseButtonRelease, QPoint(700, 100));
            }
            mode->modeSelectArea_off();
        }
        if (tick == 40)
            mode->modeCurrentTimerAutoresize_on();
        if (tick == 60) {
            size = QSize(820, 320);
            a.resize(size);
            b.resize(size);
        }
        const QImage scrolled = frame(a);
        const QImage whole = frame(b);
        if (!check)
            continue;
        QRect off;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                if (whole.pixel(x, y) != scrolled.pixel(x, y))
                    off |= QRect(x, y, 1, 1);
        if (!off.isEmpty()) {
            Artifacts::save(scrolled, QStringLiteral("painter-scrolled"));
            Artifacts::save(whole, QStringLiteral("painter-whole"));
        }
        QVERIFY2(off.isEmpty(), qPrintable(QStringLiteral("tick %1: pixels differ in %2,%3 %4x%5")
                                               .arg(tick).arg(off.x()).arg(off.y()).arg(off.width()).arg(off.height())));
    }
    mode->modeRun_off();
    mode->modeCurrentTimerAutoresize_off();
}

QUILLON_GUI_TEST_MAIN(TestQWPainterFrame)
#include "tst_QWPainterFrame.moc"
