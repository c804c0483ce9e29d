#include <QRandomGenerator>
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
    void barLines_data();
    void barLines();
    void reference_data();
    void reference();
    void splits_data();
    void splits();
    void crossfaderBands_data();
    void crossfaderBands();
    void waveCursorFollowsAngle();
    void topMargin_data();
    void topMargin();
    void countIn();
    void discAreaAtThreeOclock();
    void hostileValues();
    void runsFoldAsPoints_data();
    void runsFoldAsPoints();
    void closedStretchesGoByBlocks();
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

// Whether `after` shows within `area` what `before` showed there, moved `shift` columns left.
bool shifted(const QImage& before, const QImage& after, const QRect& area, int shift) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (before.pixel(x, y) != after.pixel(x - shift, y))
                return false;
    return true;
}

// A sound loaded for both decks' graphs.
void loadSound() {
    QList<QList<qint16>> channels(2);
    for (int i = 0; i < 48000; ++i)
        channels[0].append(qint16(12000 * std::sin(i * 0.01) * std::sin(i * 0.0003)));
    channels[1] = channels[0];
    const auto wav = std::make_shared<const QWav>(48000, 2, channels);
    for (auto graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B})
        registry()->instanceWavPhrasing()->setWavPhrasing(graph, wav);
}

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
    option(&Setting::setParamGraphDirectSound, false);
    option(&Setting::setParamGraphCurveCrossFaderOff, true);
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

void TestQWPainterFrame::barLines_data() {
    QTest::addColumn<double>("beats");
    QTest::addColumn<int>("offset"); // the looper's offset, in beats
    QTest::newRow("8 beats") << 8.0 << 0;
    // Still a line every beat: the step is the first of 1, 4, 10 … beats above 1/80 of the window.
    QTest::newRow("48 beats") << 48.0 << 0;
    QTest::newRow("looper offset of one beat") << 8.0 << 1;
}

// Bars (every fourth beat from the looper offset) are 4 px wide, other beats a thin line.
void TestQWPainterFrame::barLines() {
    QFETCH(double, beats);
    QFETCH(int, offset);
    RecordingLooperTraining* looper = registry()->instanceLooperTraining();
    looper->setOffset(offset * beat());
    const auto noOffset = qScopeGuard([looper] { looper->setOffset(0.0); });
    Scene scene(beats);
    option(&Setting::setParamGraphGrid, true);
    const QImage image = frame(scene.painter);
    const double perBeat = 1855.0 / beats;
    for (int b = 1; b <= 9 && b < beats; ++b) {
        const int centre = int(45 + b * perBeat);
        int lit = 0, brightest = 0;
        for (int x = centre - 6; x <= centre + 6; ++x) {
            lit += qGray(image.pixel(x, 200)) > 110;
            brightest = std::max(brightest, qGray(image.pixel(x, 200)));
        }
        // A thin line is brighter than the plot half a beat away.
        const int between = qGray(image.pixel(int(45 + (b + 0.5) * perBeat), 200));
        const bool bar = (b - offset) % 4 == 0;
        QVERIFY2(
            bar ? lit >= 3 && lit <= 5 : lit <= 1 && brightest > between + 15,
            qPrintable(
                QStringLiteral("beat %1: %2 lit, %3 over %4").arg(b).arg(lit).arg(brightest).arg(between)));
    }
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
    QTest::addColumn<double>("secondEnd"); // the second area is [180°, secondEnd)
    // Colours left of the mid frame at the top and bottom edges, and right of it at the bottom edge.
    QTest::addColumn<QColor>("leftTop");
    QTest::addColumn<QColor>("leftBottom");
    QTest::addColumn<QColor>("rightBottom");
    const QColor first(200, 40, 40), second(40, 40, 200);
    // Points 1 and 2 cross into the other area (PHRASING) or through 0° (DRUMMING).
    QTest::newRow("phrasing") << int(ModelDisplay::PHRASING) << QList<double>{100, 170, 190, 200, 210}
                              << 360.0 << first << BACKGROUND << second;
    QTest::newRow("drumming") << int(ModelDisplay::DRUMMING) << QList<double>{300, 350, 10, 20, 30} << 360.0
                              << second << BACKGROUND << first;
    // Point 2 lies in no area: only the part up to the edge nearer to point 1 is drawn.
    QTest::newRow("leaving every area from the upper half")
        << int(ModelDisplay::PHRASING) << QList<double>{100, 170, 300, 310, 320} << 270.0 << first
        << BACKGROUND << BACKGROUND;
    QTest::newRow("leaving every area from the lower half")
        << int(ModelDisplay::PHRASING) << QList<double>{100, 10, 300, 310, 320} << 270.0 << BACKGROUND
        << first << BACKGROUND;
}

// The crossing segment is drawn as two parts meeting the top and bottom edges at the mid frame.
void TestQWPainterFrame::splits() {
    QFETCH(int, display);
    QFETCH(QList<double>, angles);
    QFETCH(double, secondEnd);
    registry()->instanceMode()->setModeDisplay(ModelDisplay::EnumDisplay(display));
    setAreas(ModelGraph::INPUT_A,
             {QPhrasing("a", {200, 40, 40}, 0.0, 180.0), QPhrasing("b", {40, 40, 200}, 180.0, secondEnd)});
    Scene scene(4.0);
    scene.painter.refreshListManagePhrasing();
    const double frames[] = {1000, beat(), 2 * beat(), 3 * beat(), 5 * beat()};
    for (int i = 0; i < 5; ++i)
        scene.add(scene.painter.curve_Main(), frames[i], angles[i], 0.0);
    const QImage image = frame(scene.painter);
    Artifacts::save(
        image, QStringLiteral("painter-split-%1").arg(QString(QTest::currentDataTag()).replace(' ', '-')));
    // Mid frame 1.5 beats: x = 45 + 1.5 / 4 * 1855; the top edge is row 35, the bottom edge row 460.
    // The probes keep clear of the round cap (4 px) of a part that starts at the mid frame.
    const int xm = int(45 + 1.5 / 4.0 * 1855);
    QFETCH(QColor, leftTop);
    QFETCH(QColor, leftBottom);
    QFETCH(QColor, rightBottom);
    const std::tuple<int, int, QColor> probes[] = {
        {xm - 8, 37, leftTop}, {xm - 8, 457, leftBottom}, {xm + 8, 457, rightBottom}};
    for (const auto& [x, y, expected] : probes)
        QVERIFY2(near(image.pixel(x, y), expected),
                 qPrintable(QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(QColor(image.pixel(x, y)).name())));
    QVERIFY(image.pixel(xm, 250) == BACKGROUND.rgb());
}

void TestQWPainterFrame::crossfaderBands_data() {
    QTest::addColumn<bool>("reference");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("top"); // the band's first row; it ends on row 30
    QTest::newRow("live, open") << false << true << 9;
    QTest::newRow("reference, open") << true << true << 4;
    QTest::newRow("closed") << false << false << 27;
}

void TestQWPainterFrame::crossfaderBands() {
    QFETCH(bool, reference);
    QFETCH(bool, open);
    QFETCH(int, top);
    Scene scene;
    QCurve* curve = reference ? scene.painter.curve_Secondary() : scene.painter.curve_Main();
    for (int i = 0; i <= 20; ++i)
        scene.add(curve, i * 0.4 * beat(), 0.0, 0.0, open);
    const QImage image = frame(scene.painter);
    // Green at alpha 100 over the background.
    const QColor band(26, 126, 26);
    QVERIFY2(near(image.pixel(1000, top), band), qPrintable(QColor(image.pixel(1000, top)).name()));
    QVERIFY(near(image.pixel(1000, 30), band));
    QVERIFY(image.pixel(1000, top - 1) == BACKGROUND.rgb());
    QVERIFY(image.pixel(1000, 31) == BACKGROUND.rgb());
}

// In NORMAL display the cursor on the waveform band runs with the platter angle from the band's left end.
void TestQWPainterFrame::waveCursorFollowsAngle() {
    loadSound();
    Scene scene;
    scene.painter.refreshVariable();
    scene.add(scene.painter.curve_Main(), 1000, 60.0, 0.0);
    registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, 2 * beat());
    const QImage image = frame(scene.painter);
    // The band is 1810 wide from x = 45 and 100 high from row 400.
    const QColor green(0, 255, 0);
    const int at60 = int(1810 * 60 / 360.0 + 45), at300 = int(1810 * 300 / 360.0 + 45);
    QVERIFY2(near(image.pixel(at60 + 3, 450), green), qPrintable(QColor(image.pixel(at60 + 3, 450)).name()));
    QVERIFY(!near(image.pixel(at300 + 3, 450), green));
}

void TestQWPainterFrame::topMargin_data() {
    QTest::addColumn<bool>("direct");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<int>("top");
    QTest::newRow("direct wave") << true << true << 135;
    QTest::newRow("direct wave without a sound") << true << false << 35;
    QTest::newRow("sound without direct wave") << false << true << 35;
}

// The plot, and so its vertical axis, starts below the band the direct-wave strokes are drawn in.
void TestQWPainterFrame::topMargin() {
    QFETCH(bool, direct);
    QFETCH(bool, sound);
    QFETCH(int, top);
    if (sound)
        loadSound();
    option(&Setting::setParamGraphGrid, true);
    option(&Setting::setParamGraphDirectSound, direct);
    Scene scene;
    scene.painter.refreshVariable();
    // The current-time line, which starts there too, away from the axis.
    registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, 4 * beat());
    const QImage image = frame(scene.painter);
    QVERIFY(near(image.pixel(44, top + 3), QColor(175, 176, 177)));
    QVERIFY(image.pixel(44, top - 5) == BACKGROUND.rgb());
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

void TestQWPainterFrame::runsFoldAsPoints_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("back");
    QTest::addColumn<bool>("directWave");
    QTest::addColumn<int>("backFill");
    QTest::newRow("sound on") << true << 0 << false << 0;
    QTest::newRow("sound off, shown") << false << 0 << false << 0;
    QTest::newRow("frames going back") << true << 40 << false << 0;
    QTest::newRow("direct wave") << true << 0 << true << 0;
    // The points taken before the first position are moved after a frame has copied that position too:
    // the summary's blocks of up to 1024 points that the move ends inside were complete before it.
    QTest::newRow("back-fill ending inside summary blocks") << true << 0 << false << 33 * 1024 - 1;
}

// A column folded from the curve's summary draws exactly what folding its points one by one draws, at
// every zoom from a few points a column to hundreds, on random values with NaN, ±1e300 and frames that
// go back, with and without direct-wave strokes. Shini mode folds point by point (its arrows sit on single points), and draws no arrow while
// the crossfader never moves.
void TestQWPainterFrame::runsFoldAsPoints() {
    QFETCH(bool, open);
    QFETCH(int, back);
    QFETCH(bool, directWave);
    QFETCH(int, backFill);
    option(&Setting::setParamGraphCurveCrossFaderOff, !open);
    if (directWave) {
        QList<QList<qint16>> channels(2);
        for (int i = 0; i < 48000; ++i)
            channels[0].append(qint16(12000 * std::sin(i * 0.01) * std::sin(i * 0.0003)));
        channels[1] = channels[0];
        registry()->instanceWavPhrasing()->setWavPhrasing(ModelGraph::INPUT_A, std::make_shared<const QWav>(48000, 2, channels));
    }
    setAreas(ModelGraph::INPUT_A, {QPhrasing("a", {200, 40, 40}, 30.0, 150.0), QPhrasing("b", {40, 40, 200}, 120.0, 250.0)});
    Scene scene;
    scene.painter.refreshListManagePhrasing();
    QRandomGenerator random(7);
    // A small window: up to a few hundred points a column.
    scene.painter.resize(400, 300);
    scene.painter.refreshVariable();
    const int n = 100000;
    double y = 0.0, angle = 100.0, t = 0.0;
    for (int i = 0; i < n; ++i) {
        y += random.bounded(20.0) - 10.0;
        angle = std::fmod(angle + random.bounded(6.0) + 357.0, 360.0);
        // Runs of `back` points going back by half a step, among runs going forward by a step.
        t += back > 0 && i / back % 4 == 3 ? -STEP / 2 : STEP;
        const int odd = random.bounded(400);
        // The back-fill moves the points before the first position to meet it from the last of them.
        const double value =
            i == backFill - 1 ? y : odd == 0 ? std::nan("") : odd == 1 ? 1e300 : odd == 2 ? -1e300 : y;
        for (QCurve* curve : {scene.painter.curve_Main(), scene.painter.curve_Secondary()}) {
            const double scale = curve == scene.painter.curve_Main() ? 1.0 : 0.5;
            QData p;
            p.setSamplerate(qint32(curve == scene.painter.curve_Main() ? t : t + 40));
            p.setTargetPosition(curve == scene.painter.curve_Main() ? angle : std::fmod(angle + 90.0, 360.0));
            p.setY(value * scale);
            p.setAcceleration(random.bounded(4) == 0 ? 0.0 : random.bounded(2.0));
            p.setDrawon(open);
            if (backFill > 0)
                p.setTimecode(i < backFill ? -1 : qint32(y * scale));
            if (i == backFill && backFill > 0)
                curve->curveGlobal()->addQdata(p);
            else
                curve->addDataCurve(p);
        }
        if (i == backFill && backFill > 0) {
            // A frame between the append of the first position and its back-fill.
            frame(scene.painter);
            for (QCurve* curve : {scene.painter.curve_Main(), scene.painter.curve_Secondary()})
                curve->curveGlobal()->initStartValueBeforeTimecode(backFill);
        }
    }
    for (int zoom = 1; zoom <= 2048; zoom *= 2) {
        const qint64 width = qint64(t / zoom);
        scene.painter.setXRange(qint64(t / 3) - width / 3, qint64(t / 3) - width / 3 + width);
        option(&Setting::setParamGraphShiniMode, false);
        const QImage runs = frame(scene.painter);
        option(&Setting::setParamGraphShiniMode, true);
        const QImage points = frame(scene.painter);
        QVERIFY2(runs == points, qPrintable(QStringLiteral("zoom %1").arg(zoom)));
    }
}

// Stretches of closed crossfader go by whole blocks while they are not shown. Shini mode cannot serve as
// the point-by-point reference here (it draws arrows where the crossfader moves), so the same curve is
// drawn again behind one more point far before the window: every block then starts one point later,
// and whatever goes by blocks goes by other blocks. Both frames must be the same, at every zoom.
void TestQWPainterFrame::closedStretchesGoByBlocks() {
    option(&Setting::setParamGraphCurveCrossFaderOff, false);
    option(&Setting::setParamGraphShiniMode, false);
    option(&Setting::setParamGraphDirectSound, true);
    loadSound();
    setAreas(ModelGraph::INPUT_A, {QPhrasing("a", {200, 40, 40}, 30.0, 150.0), QPhrasing("b", {40, 40, 200}, 120.0, 250.0)});
    Scene plain, shifted;
    for (Scene* scene : {&plain, &shifted}) {
        scene->painter.refreshListManagePhrasing();
        scene->painter.resize(400, 300);
        scene->painter.refreshVariable();
    }
    QRandomGenerator random(11);
    const int n = 60000;
    double y = 0.0, angle = 100.0;
    bool open = true;
    int left = 0;
    for (int i = 0; i < n; ++i) {
        if (left-- == 0) {
            open = !open;
            left = int(random.bounded(64));
        }
        y += random.bounded(20.0) - 10.0;
        angle = std::fmod(angle + random.bounded(6.0) + 357.0, 360.0);
        const double acceleration = random.bounded(4) == 0 ? 0.0 : 1.0;
        for (Scene* scene : {&plain, &shifted}) {
            for (QCurve* curve : {scene->painter.curve_Main(), scene->painter.curve_Secondary()}) {
                const bool main = curve == scene->painter.curve_Main();
                const double degrees = main ? angle : std::fmod(angle + 90.0, 360.0);
                // The first point gives the offset between the curves and, before the run, the cursor
                // on the waveform: the same in both scenes.
                if (i == 0 && scene == &shifted)
                    scene->add(curve, -1e6, degrees, main ? y : y * 0.5, open);
                QData p;
                p.setSamplerate(qint32(i * STEP + (main ? 0 : 40)));
                p.setTargetPosition(degrees);
                p.setY(main ? y : y * 0.5);
                p.setAcceleration(acceleration);
                p.setDrawon(open);
                curve->addDataCurve(p);
            }
        }
    }
    const double t = n * STEP;
    for (int zoom = 2; zoom <= 2048; zoom *= 2) {
        const qint64 width = qint64(t / zoom);
        const qint64 from = qint64(t / 3) - width / 3;
        plain.painter.setXRange(from, from + width);
        shifted.painter.setXRange(from, from + width);
        const QImage a = frame(plain.painter);
        QVERIFY2(a == frame(shifted.painter), qPrintable(QStringLiteral("zoom %1").arg(zoom)));
    }
}

// Both decks' graphs with two-deck curves, bands, the waveform band or strip and the disc.
void TestQWPainterFrame::screenshots() {
    for (auto setter : {&Setting::setParamGraphGrid, &Setting::setParamGraphLogo,
                        &Setting::setParamGraphVinylPosition, &Setting::setParamGraphDirectSound})
        option(setter, true);
    loadSound();
    const QList<QPhrasing> areas{QPhrasing("Baby", {208, 0, 24}, 20.0, 110.0),
                                 QPhrasing("Chirp", {254, 194, 0}, 110.0, 200.0),
                                 QPhrasing("Tear", {1, 194, 193}, 200.0, 300.0)};
    for (auto graph : {ModelGraph::INPUT_A, ModelGraph::INPUT_B})
        setAreas(graph, areas);
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
// same frames as a, but at each check its layer is drawn whole (a frame at another size first, at the
// same time): the two pictures are the same, over new points, a selection made while the window is
// held, an area's new colour and a resize. And while following, curves, grid and current-time line
// share one placement: each tick moves the plot left of the new points by whole columns, all of it
// alike, and the frame does not depend on where the previous one stood.
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
    QImage before;
    GraphWindow::Range yBefore;
    int moves = 0;
    for (int tick = 1; tick <= 80; ++tick) {
        // About three columns of new points a tick, but for one tick that only recolours an area.
        const bool recolour = tick == 49;
        const qint64 last = recolour ? next : next + 9;
        for (QWPainter* painter : {&a, &b})
            SyntheticCurve::fill(*painter->curve_Main(), next, last - next, STEP);
        next = last;
        registry()->instanceTime()->setCurrentSamplerate(ModelGraph::INPUT_A, (last - 1) * STEP);
        // Checked ticks: b draws this frame once more at another size first, so the next is drawn whole.
        const bool check = tick % 10 == 9;
        if (check) {
            b.resize(size + QSize(0, 1));
            frame(b);
            b.resize(size);
        }
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
        if (recolour) {
            setAreas(ModelGraph::INPUT_A, {QPhrasing("Baby", {40, 90, 230}, 20.0, 110.0),
                                           QPhrasing("Tear", {1, 194, 193}, 200.0, 300.0)});
            for (QWPainter* painter : {&a, &b})
                painter->refreshListManagePhrasing();
        }
        if (tick == 60) {
            size = QSize(820, 320);
            a.resize(size);
            b.resize(size);
        }
        const bool following = mode->modeCurrentTimerAutoresize() && tick != 40 && tick != 60 && !recolour;
        const QImage scrolled = frame(a);
        const QImage whole = frame(b);
        if (following && !before.isNull() && a.yRange() == yBefore) {
            // Left of where this tick's points begin (the current time is two thirds in), above the labels.
            const QRect plot(60, 0, size.width() * 3 / 5 - 60, size.height() - 40);
            int shift = 0;
            while (shift <= 8 && !shifted(before, scrolled, plot, shift))
                ++shift;
            QVERIFY2(shift <= 8, qPrintable(QStringLiteral("tick %1 moved the plot unevenly").arg(tick)));
            moves += shift > 0;
        }
        before = scrolled;
        yBefore = a.yRange();
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
    QVERIFY(moves > 30);
    mode->modeRun_off();
    mode->modeCurrentTimerAutoresize_off();
}

QUILLON_GUI_TEST_MAIN(TestQWPainterFrame)
#include "tst_QWPainterFrame.moc"
