#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <thread>

#include "GuiTest.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/QListDataCurve.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "gui/graph/CurveCopy.h"
#include "gui/graph/QWContextGraph.h"
#include "gui/graph/QWPainter.h"

// The graph painter's windows, mouse, hold mode, curve copy and context menu.
class TestQWPainter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void initGraph_data();
    void initGraph();
    void wheelZoomSyncsTheOtherPainter();
    void selectionAndPan_data();
    void selectionAndPan();
    void rightClickWithSideMenu();
    void hold_data();
    void hold();
    void autoresizeEndsOutsideRun();
    void startAskedOncePerRun_data();
    void startAskedOncePerRun();
    void copyFollowsTheList();
    void copyDuringBackFill_data();
    void copyDuringBackFill();
    void contextMenu();
    void idleDoesNotRepaint();
};

namespace {

Singleton* registry() {
    return Singleton::instance();
}

double beat(ModelGraph::EnumGraph graph = ModelGraph::INPUT_A) {
    return registry()->instanceLooperTraining()->bpmSamplerate(graph);
}

void setRate(ModelGraph::EnumGraph graph, double rate) {
    auto sample = std::make_shared<const QSample>(graph, -1, QString(), rate, 2, 0);
    registry()->instancePerformance()->setInputSample(graph, sample, false);
    registry()->instanceLooperTraining()->setBpmSamplerate(graph, sample.get());
}

void frame(QWPainter& painter) {
    QImage image(painter.size(), QImage::Format_ARGB32_Premultiplied);
    painter.render(&image);
}

void send(QWidget& widget, QEvent::Type type, Qt::MouseButton button, QPoint at) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void wheel(QWidget& widget, QPoint at, QPoint angle) {
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&widget, &event);
}

QData point(qint32 frame, double acceleration) {
    QData p;
    p.setSamplerate(frame);
    p.setAcceleration(acceleration);
    p.setDrawon(true);
    return p;
}

} // namespace

void TestQWPainter::init() {
    Mode* mode = registry()->instanceMode();
    mode->setModeDisplay(ModelDisplay::NORMAL);
    mode->setDisplayBPM(4.0);
    for (auto off : {&Mode::modeRun_off, &Mode::modeSelectArea_off, &Mode::modeMenu_off, &Mode::modeHold_off,
                     &Mode::modeAutoresize_off, &Mode::modeGraphicScrollStop_off, &Mode::modeCurrentTimerAutoresize_off})
        (mode->*off)();
    registry()->instanceSetting()->setParamGraphMainCurve(QStringLiteral("1"));
    setRate(ModelGraph::INPUT_A, 48000.0);
    setRate(ModelGraph::INPUT_B, 48000.0);
}

void TestQWPainter::initGraph_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::newRow("looper") << int(ModelActivatedMode::Looper) << -3.84 << 0.16;
    QTest::newRow("training") << int(ModelActivatedMode::Training) << -8.0 / 3.0 << 4.0 / 3.0;
}

void TestQWPainter::initGraph() {
    QFETCH(int, mode);
    QFETCH(double, first);
    QFETCH(double, second);
    registry()->instanceLooperTraining()->setMode(ModelActivatedMode::EnumActivatedMode(mode));
    QWPainter painter(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    QSignalSpy started(&painter, &QWPainter::s_InitStart);
    painter.initGraph();
    QCOMPARE(started.count(), 1);
    QCOMPARE(painter.xRange(), (GraphWindow::Range{std::trunc(beat() * first), std::trunc(beat() * second)}));
    // NORMAL display: the Y margin rule on [0, 200] from (0, 0).
    QCOMPARE(painter.yRange(), (GraphWindow::Range{0.0, 270.0}));
}

// Painter A at 44.1 kHz and B at 48 kHz, each s_XRange wired to the other's updateXRange: one wheel step
// on A gives exactly one s_XRange and B's window in its own samples.
void TestQWPainter::wheelZoomSyncsTheOtherPainter() {
    setRate(ModelGraph::INPUT_A, 44100.0);
    QWPainter a(ModelGraph::INPUT_A, ModelGraph::INPUT_1), b(ModelGraph::INPUT_B, ModelGraph::INPUT_2);
    for (QWPainter* painter : {&a, &b}) {
        painter->resize(1900, 500);
        painter->refreshVariable();
    }
    connect(&a, &QWPainter::s_XRange, &b, &QWPainter::updateXRange);
    connect(&b, &QWPainter::s_XRange, &a, &QWPainter::updateXRange);
    QSignalSpy fromA(&a, &QWPainter::s_XRange), fromB(&b, &QWPainter::s_XRange);
    a.setXRange(100'000, 500'000);
    const double c = 100'000 + (500 - 45) * 400'000.0 / 1855;
    wheel(a, QPoint(500, 200), QPoint(0, 120));
    QCOMPARE(fromA.count(), 1);
    QCOMPARE(fromB.count(), 0);
    const GraphWindow::Range in = a.xRange();
    QCOMPARE(in.max - in.min, 200'000.0);
    QCOMPARE(b.xRange(), (GraphWindow::Range{std::trunc(in.min * 48000 / 44100), std::trunc(in.max * 48000 / 44100)}));
    wheel(a, QPoint(500, 200), QPoint(0, -120));
    QCOMPARE(a.xRange().max - a.xRange().min, 300'000.0);
    QVERIFY(std::fabs((c - a.xRange().min) / 300'000.0 - (c - 100'000) / 400'000.0) < 1e-4);
    // A sideways scroll is no zoom.
    wheel(a, QPoint(500, 200), QPoint(120, 0));
    QCOMPARE(fromA.count(), 2);
    QCOMPARE(fromB.count(), 0);
}

void TestQWPainter::selectionAndPan_data() {
    QTest::addColumn<bool>("select");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("release");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    // The window is [1 000 000, 2 000 000] over 1855 pixels from x = 45.
    QTest::newRow("selection narrower than a beat") << true << 500 << 501 << 1e6 << 2e6;
    QTest::newRow("selection right to left") << true << 1000 << 300 << std::trunc((300 - 45) * (1e6 / 1855) + 1e6)
                                             << std::trunc((1000 - 45) * (1e6 / 1855) + 1e6);
    QTest::newRow("pan from x 0 keeps the width from sample 0") << false << 0 << 700 << 0.0 << 1e6;
    // Dragging to the right shows earlier samples.
    const double moved =
        std::trunc((500 - 45) * (1e6 / 1855) + 1e6) - std::trunc((700 - 45) * (1e6 / 1855) + 1e6);
    QTest::newRow("pan right from x 500") << false << 500 << 700 << 1e6 + moved << 2e6 + moved;
}

void TestQWPainter::selectionAndPan() {
    QFETCH(bool, select);
    QFETCH(int, press);
    QFETCH(int, release);
    if (select)
        registry()->instanceMode()->modeSelectArea_on();
    QWPainter painter(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    painter.resize(1900, 500);
    painter.refreshVariable();
    painter.setXRange(1'000'000, 2'000'000);
    QSignalSpy range(&painter, &QWPainter::s_XRange), ended(&painter, &QWPainter::s_EndSelectArea),
        released(&painter, &QWPainter::s_MouseReleaseEvent);
    send(painter, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(press, 100));
    send(painter, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(release, 100));
    QCOMPARE(range.count(), 1);
    QCOMPARE(ended.count(), select ? 1 : 0);
    QCOMPARE(released.count(), 1);
    QTEST(range.first().at(1).toDouble(), "min");
    QTEST(range.first().at(2).toDouble(), "max");
}

void TestQWPainter::rightClickWithSideMenu() {
    QWPainter painter(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    painter.resize(400, 300);
    QSignalSpy right(&painter, &QWPainter::s_PressRightButton);
    send(painter, QEvent::MouseButtonPress, Qt::RightButton, QPoint(10, 20));
    registry()->instanceMode()->modeMenu_on();
    send(painter, QEvent::MouseButtonPress, Qt::RightButton, QPoint(10, 20));
    QCOMPARE(right.at(0), (QList<QVariant>{10, 20}));
    QCOMPARE(right.at(1), (QList<QVariant>{810, 20}));
}

void TestQWPainter::hold_data() {
    QTest::addColumn<bool>("holdOn");
    QTest::addColumn<bool>("mainCurve");
    QTest::addColumn<QList<double>>("accelerations");
    QTest::addColumn<bool>("stopped");
    // A processing buffer of 50 points a second: the hold window is the last 5 points.
    const QList<double> held{3, 2, 1, 0.1, -0.1, 0.05, 0, 0.1};
    QTest::newRow("held") << true << true << held << true;
    QTest::newRow("one point moves") << true << true << QList<double>{3, 0, 0.1, -0.11, 0, 0} << false;
    QTest::newRow("no more points than the window") << true << true << QList<double>{0, 0, 0, 0, 0} << false;
    QTest::newRow("hold mode off") << false << true << held << false;
    // Nothing else would ever let the graph scroll again.
    QTest::newRow("main curve off releases a stop") << true << false << held << false;
}

void TestQWPainter::hold() {
    QFETCH(bool, holdOn);
    QFETCH(bool, mainCurve);
    QFETCH(QList<double>, accelerations);
    Mode* mode = registry()->instanceMode();
    registry()->instancePerformance()->setProcessingBuffer(ModelGraph::INPUT_A, 50.0);
    QWPainter painter(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    painter.resize(600, 400);
    for (int i = 0; i < accelerations.size(); ++i)
        painter.curve_Main()->addDataCurve(point(i * 960, accelerations[i]));
    holdOn ? mode->modeHold_on() : mode->modeHold_off();
    mode->modeGraphicScrollStop_on();
    registry()->instanceSetting()->setParamGraphMainCurve(mainCurve ? QStringLiteral("1") : QStringLiteral("0"));
    frame(painter);
    QTEST(mode->modeGraphicScrollStop(), "stopped");
}

void TestQWPainter::autoresizeEndsOutsideRun() {
    QWPainter painter(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    painter.resize(600, 400);
    painter.setXRange(0, 200'000);
    QSignalSpy ended(&painter, &QWPainter::s_EndAutoresize);
    registry()->instanceMode()->modeAutoresize_on();
    registry()->instanceMode()->modeCurrentTimerAutoresize_on();
    frame(painter);
    QCOMPARE(ended.count(), 1);
    // Auto-resize keeps the window still even though the current-time follow is on.
    QCOMPARE(painter.xRange(), (GraphWindow::Range{0, 200'000}));
    registry()->instanceMode()->modeRun_on();
    frame(painter);
    QCOMPARE(ended.count(), 1);
}

void TestQWPainter::startAskedOncePerRun_data() {
    QTest::addColumn<bool>("streamA");
    QTest::addColumn<bool>("streamB");
    QTest::newRow("no stream") << false << false;
    QTest::newRow("A's stream running, B's not") << true << false;
    QTest::newRow("B's stream running, A's not") << false << true;
}

// While a run has no frame, the display tick asks for the time base to start once per run, and never
// while a stream runs: its callback starts the time base at its first frame. Each input goes by its
// own stream and its own frames.
void TestQWPainter::startAskedOncePerRun() {
    QFETCH(bool, streamA);
    QFETCH(bool, streamB);
    Time* time = registry()->instanceTime();
    QWPainter a(ModelGraph::INPUT_A, ModelGraph::INPUT_1), b(ModelGraph::INPUT_B, ModelGraph::INPUT_2);
    QSignalSpy askedA(&a, &QWPainter::s_InitStart), askedB(&b, &QWPainter::s_InitStart);
    for (const auto& [graph, stream] :
         {std::pair{ModelGraph::INPUT_A, streamA}, std::pair{ModelGraph::INPUT_B, streamB}}) {
        time->resetCurrentSamplerate_m_s(graph);
        time->setStreamRunning(graph, stream);
    }
    for (int run = 0; run < 2; ++run) {
        registry()->instanceMode()->modeRun_on();
        for (int tick = 0; tick < 5; ++tick) {
            a.refresh();
            b.refresh();
        }
        registry()->instanceMode()->modeRun_off();
        a.refresh();
        b.refresh();
    }
    time->setStreamRunning(ModelGraph::INPUT_A, false);
    time->setStreamRunning(ModelGraph::INPUT_B, false);
    QCOMPARE(askedA.count(), streamA ? 0 : 2);
    QCOMPARE(askedB.count(), streamB ? 0 : 2);
}

// The painter's copy takes new points only, and everything again after a back-fill or a clear.
void TestQWPainter::copyFollowsTheList() {
    QListDataCurve list;
    CurveCopy copy(&list);
    auto add = [&](int i, qint32 timecode) {
        QData p = point(i * 160, 0.0);
        p.setY(i);
        p.setTimecode(timecode);
        list.addQdata(p);
    };
    for (int i = 0; i < 3; ++i)
        add(i, -1);
    copy.sync();
    QCOMPARE(copy.size(), 3);
    add(3, 100);
    list.initStartValueBeforeTimecode(3);
    copy.sync();
    QCOMPARE(copy.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(copy.at(i).y(), list.value(i)->y());
    QCOMPARE(copy.searchPosBefore(330), 2);
    QCOMPARE(copy.searchPosAfter(330), 3);
    list.clear();
    add(0, 0);
    copy.sync();
    QCOMPARE(copy.size(), 1);
}

void TestQWPainter::copyDuringBackFill_data() {
    QTest::addColumn<bool>("appenderThread");
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("syncBetween");
    const int chunks = 40 * QListDataCurve::BACK_FILL_CHUNK;
    QTest::newRow("a sync after every append") << false << chunks << false;
    QTest::newRow("appends from another thread") << true << chunks << false;
    // A sync between the first position's append and its back-fill: the copy holds that point, which
    // completes summary blocks of every size up to 1024 points that the back-fill moves all but the last of.
    QTest::newRow("a back-fill ending inside summary blocks") << false << chunks + 1023 << true;
}

// A long run meets its first position: while the list stores the back-fill, a painter syncing after
// every append reads only the new points, never more than a slice under one lock, and ends with the
// list's points, summarised as they are; so does one syncing while another thread appends.
void TestQWPainter::copyDuringBackFill() {
    QFETCH(bool, appenderThread);
    QFETCH(int, before);
    QFETCH(bool, syncBetween);
    QListDataCurve list;
    CurveCopy copy(&list);
    auto add = [&](int i, qint32 timecode) {
        QData p = point(i * 160, 0.0);
        p.setTargetPosition(std::fmod(i * 0.7, 360.0));
        p.setY(i % 1000 == 0 ? std::nan("") : std::sin(i * 0.001) * 300.0);
        p.setTimecode(timecode);
        return list.addQdata(p);
    };
    for (int i = 0; i < before; ++i)
        add(i, -1);
    copy.sync();
    if (appenderThread) {
        std::thread appender([&] {
            list.initStartValueBeforeTimecode(add(before, 5000));
            for (int i = before + 1; list.pendingBackFill() > 0; ++i)
                add(i, 5000);
        });
        while (list.pendingBackFill() > 0 || list.size() == before)
            copy.sync();
        appender.join();
        copy.sync();
    } else {
        const int first = add(before, 5000);
        if (syncBetween)
            copy.sync();
        list.initStartValueBeforeTimecode(first);
        for (int i = before + 1; list.pendingBackFill() > 0; ++i) {
            add(i, 5000);
            const qint64 read = copy.pointsRead();
            copy.sync();
            QVERIFY(copy.pointsRead() - read <= 2);
        }
    }
    QVERIFY(copy.largestRead() <= 8192);
    QCOMPARE(copy.size(), list.size());
    for (int j = 0; j < list.size(); ++j) {
        const QData expected = *list.value(j);
        const QData& actual = copy.at(j);
        const double y[2] = {expected.y(), actual.y()};
        QVERIFY(actual.samplerate() == expected.samplerate() && actual.timecode() == expected.timecode() &&
                std::memcmp(&y[0], &y[1], sizeof(double)) == 0 &&
                actual.targetPosition() == expected.targetPosition() &&
                actual.targetVinylDeltaPosition() == expected.targetVinylDeltaPosition() &&
                actual.drawon() == expected.drawon());
    }
    for (int first : {0, 3, before - 7}) {
        double lo = 0.0, hi = 0.0, bruteLo = INFINITY, bruteHi = -INFINITY;
        QVERIFY(copy.summary().extent(copy, first, copy.size(), lo, hi));
        for (int j = first; j < copy.size(); ++j) {
            if (!std::isnan(copy.at(j).y()))
                bruteLo = std::min(bruteLo, copy.at(j).y()), bruteHi = std::max(bruteHi, copy.at(j).y());
        }
        QCOMPARE(lo, bruteLo);
        QCOMPARE(hi, bruteHi);
    }
    // Every block the summary keeps, against its points.
    const CurveSummary& summary = copy.summary();
    for (int k = CurveSummary::BASE; k <= summary.topLevel(); ++k) {
        for (int b = 0; b < summary.count(k); ++b) {
            double lo = INFINITY, hi = -INFINITY, least = INFINITY, most = -INFINITY;
            for (int j = b << k; j < (b + 1) << k; ++j) {
                const QData& p = copy.at(j);
                if (!std::isnan(p.y()))
                    lo = std::min(lo, p.y()), hi = std::max(hi, p.y());
                least = std::min(least, p.targetVinylDeltaPosition());
                most = std::max(most, p.targetVinylDeltaPosition());
            }
            const CurveSummary::Block& block = summary.block(k, b);
            QVERIFY2(block.lowY == lo && block.highY == hi && block.minAngle == least &&
                         block.maxAngle == most,
                     qPrintable(QStringLiteral("level %1, block %2").arg(k).arg(b)));
        }
    }
}

void TestQWPainter::contextMenu() {
    QWContextGraph menu;
    QCOMPARE(menu.objectName(), QStringLiteral("contextgraph"));
    QMenu* zoom = menu.actions().at(0)->menu();
    QCOMPARE(zoom->title(), QStringLiteral("Zoom"));
    QCOMPARE(zoom->objectName(), QStringLiteral("contextgraph"));
    QAction* autoresize = zoom->actions().at(0);
    QAction* selection = zoom->actions().at(1);
    QCOMPARE(autoresize->text(), QStringLiteral("Auto-resize"));
    QCOMPARE(selection->text(), QStringLiteral("Selection area"));
    QSignalSpy on(&menu, &QWContextGraph::s_Autoresize_on), off(&menu, &QWContextGraph::s_Autoresize_off),
        select(&menu, &QWContextGraph::s_SelectArea);
    autoresize->trigger();
    QVERIFY(autoresize->isChecked());
    menu.autoresize_off();
    QVERIFY(!autoresize->isChecked());
    selection->trigger();
    QCOMPARE(on.count(), 1);
    QCOMPARE(off.count(), 1);
    QCOMPARE(select.count(), 1);
}

namespace {

struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

// A display tick whose picture would not change paints nothing; a new point or a moved window does.
void TestQWPainter::idleDoesNotRepaint() {
    QWPainter painter(ModelGraph::INPUT_A, ModelGraph::INPUT_1);
    painter.resize(400, 200);
    painter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&painter));
    for (int i = 0; i < 600; ++i)
        painter.curve_Main()->addDataCurve(point(i * 160, std::sin(i * 0.1)));
    PaintCounter paints;
    painter.installEventFilter(&paints);
    painter.refresh();
    QTRY_VERIFY(paints.count > 0);
    // The first frames set the window from the points.
    for (int i = 0; i < 3; ++i) {
        painter.refresh();
        QCoreApplication::processEvents();
    }
    paints.count = 0;
    for (int i = 0; i < 20; ++i) {
        painter.refresh();
        QCoreApplication::processEvents();
    }
    QCOMPARE(paints.count, 0);
    painter.curve_Main()->addDataCurve(point(600 * 160, 0.0));
    painter.refresh();
    QTRY_VERIFY(paints.count > 0);
    paints.count = 0;
    painter.setXRange(0, qint64(2 * beat()));
    painter.refresh();
    QTRY_VERIFY(paints.count > 0);
}

QUILLON_GUI_TEST_MAIN(TestQWPainter)
#include "tst_QWPainter.moc"
