#include <QLineEdit>
#include <QShortcut>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

#include "Artifacts.h"
#include "GuiTest.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Vinyl.h"
#include "gui/Connection.h"
#include "gui/QWGridTool.h"
#include "gui/QWMenuDevice.h"
#include "gui/QWMenuMode.h"
#include "gui/QWView.h"
#include "gui/graph/QWContextGraph.h"
#include "gui/graph/QWPainter.h"
#include "gui/library/ColorFileSaver.h"
#include "gui/library/QWMenuColor.h"
#include "gui/library/QWMenuLooper.h"
#include "gui/widgets/QB2Push.h"
#include "gui/widgets/QBPush.h"
#include "gui/widgets/QBToggle.h"
#include "gui/widgets/QDLed.h"

// The main view inside the whole controller window: its keyboard, its sound relays, its pages and size,
// and the graph menu.
class TestQWView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void shortcuts_data();
    void shortcuts();
    void playSoundByMode_data();
    void playSoundByMode();
    void metronomeTickWithToggleOff();
    void sizeAndPages();
    void graphMenuAtAskingPainter();
    void cleanupTestCase();

private:
    Connection* m_window = nullptr;
};

namespace {

Singleton* registry() {
    return Singleton::instance();
}

enum Effect { Play, Previous, Next, CalibrateA, CalibrateB, AreasA, AreasB, SaveA, SaveB, Volume };

QString areas(const ManagePhrasing* set) {
    QStringList parts;
    for (const QPhrasing& area : set->listPhrasing())
        parts << QStringLiteral("%1-%2").arg(area.angleStart()).arg(area.angleEnd());
    return parts.join(',');
}

int storedVolume(ModelVolume::EnumVolume channel) {
    Setting* setting = registry()->instanceSetting();
    switch (channel) {
    case ModelVolume::LOOPER:
        return int(setting->paramVolumeLooper(false));
    case ModelVolume::DECK_A_B:
        return int(setting->paramVolumeDeck(false));
    case ModelVolume::RECORD_A_B:
        return int(setting->paramVolumeRecord(false));
    default:
        return int(setting->paramVolumeMetronum(false));
    }
}

} // namespace

void TestQWView::initTestCase() {
    GuiTest::applyAppearance();
    m_window = new Connection;
    m_window->resize(1400, 800);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // The transport keys are checked at the buttons; the panels would start runs.
    QWGridTool* toolBar = m_window->view()->toolBar();
    for (QPushButton* button : std::initializer_list<QPushButton*>{toolBar->playButton(), toolBar->previousButton(),
                                                                    toolBar->nextButton()})
        button->disconnect();
}

void TestQWView::init() {
    QWView* view = m_window->view();
    view->colorSaverA()->deleteSaveColorPhrasing();
    view->colorSaverB()->deleteSaveColorPhrasing();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    const QList<QPhrasing> two{{"a", {1, 2, 3, 255}, 50, 150}, {"b", {4, 5, 6, 255}, 200, 300}};
    for (QWPainter* painter : {view->painterA(), view->painterB()})
        painter->managePhrasing()->setListPhrasing(two);
    Vinyl* vinyl = registry()->instanceVinyl();
    vinyl->setCalculVinylDeltaPosition(ModelGraph::INPUT_A, 0);
    vinyl->setCalculVinylDeltaPosition(ModelGraph::INPUT_B, 0);
    // Every volume between the ends, so a step either way shows.
    for (auto channel : {ModelVolume::LOOPER, ModelVolume::DECK_A_B, ModelVolume::RECORD_A_B, ModelVolume::METRONUM}) {
        while (storedVolume(channel) < 10)
            view->settingsPanel()->volumeUp(channel);
        while (storedVolume(channel) > 90)
            view->settingsPanel()->volumeDown(channel);
    }
}

void TestQWView::shortcuts_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("effect");
    // The deck's angle for the area keys, the channel for the volume keys.
    QTest::addColumn<double>("angle");
    // The areas left, or the change of the stored volume.
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("typed");

    const auto row = [](const char* name, int key, int modifiers, Effect effect, double angle = 100,
                        const QString& expected = QString(), bool typed = true) {
        for (bool inField : {false, true})
            QTest::newRow(qPrintable(QString(name) + (inField ? " in a text field" : "")))
                << key << modifiers << int(effect) << angle << expected << (inField && typed);
    };
    const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, none = Qt::NoModifier;
    row("Space", Qt::Key_Space, none, Play);
    row("Left", Qt::Key_Left, none, Previous);
    row("Right", Qt::Key_Right, none, Next);
    row("Enter", Qt::Key_Enter, Qt::KeypadModifier, CalibrateA, 100, {}, false);
    row("Return", Qt::Key_Return, none, CalibrateA, 100, {}, false);
    row("Backspace", Qt::Key_Backspace, none, CalibrateB);
    // Areas [50, 150) and [200, 300): each key leaves its own result.
    const struct {
        const char* name;
        int add;
        int remove;
        Effect effect;
    } decks[] = {{"A", Qt::Key_E, Qt::Key_R, AreasA}, {"B", Qt::Key_I, Qt::Key_O, AreasB}};
    for (const auto& d : decks) {
        const QString n = d.name;
        row(qPrintable(n + " add"), d.add, none, d.effect, 100, "50-100,200-300");
        row(qPrintable(n + " start"), d.add, shift, d.effect, 100, "100-150,200-300");
        row(qPrintable(n + " fill"), d.add, ctrl | shift, d.effect, 170, "50-150,200-300,150-200", false);
        row(qPrintable(n + " delete"), d.remove, none, d.effect, 100, "200-300");
        row(qPrintable(n + " clear"), d.remove, shift, d.effect, 100, "");
    }
    row("S", Qt::Key_S, none, SaveA);
    row("J", Qt::Key_J, none, SaveB);
    const struct {
        const char* name;
        int key;
        ModelVolume::EnumVolume channel;
    } volumes[] = {{"looper", Qt::Key_C, ModelVolume::LOOPER},
                   {"decks", Qt::Key_V, ModelVolume::DECK_A_B},
                   {"recorded sounds", Qt::Key_B, ModelVolume::RECORD_A_B},
                   {"metronome", Qt::Key_N, ModelVolume::METRONUM}};
    for (const auto& v : volumes) {
        const QString n = QString(v.name) + " volume";
        const bool copyOrPaste = v.key == Qt::Key_C || v.key == Qt::Key_V;
        row(qPrintable(n + " up"), v.key, none, Volume, v.channel, "+1");
        row(qPrintable(n + " down"), v.key, shift, Volume, v.channel, "-1");
        row(qPrintable(n + " off"), v.key, ctrl, Volume, v.channel, "0", copyOrPaste);
    }
}

// Each key does its own action and nothing else; a focused text field keeps the keys it types with.
void TestQWView::shortcuts() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, effect);
    QFETCH(double, angle);
    QFETCH(QString, expected);
    QFETCH(bool, typed);
    QWView* view = m_window->view();
    QCOMPARE(view->shortcuts().size(), 30);
    QWidget* target = m_window;
    if (QTest::currentDataTag() && QString(QTest::currentDataTag()).endsWith("text field")) {
        view->screenMenu_Device();
        target = view->settingsPanel()->findChild<QLineEdit*>();
        target->setFocus();
        QVERIFY(target->hasFocus());
    }
    registry()->instanceVinyl()->setVinylPosition(ModelGraph::INPUT_A, angle);
    // Deck B's angle differs only where the calibration keys must tell the decks apart.
    const bool calibration = effect == CalibrateA || effect == CalibrateB;
    registry()->instanceVinyl()->setVinylPosition(ModelGraph::INPUT_B, calibration ? angle + 20 : angle);
    QWGridTool* toolBar = view->toolBar();
    QSignalSpy play(toolBar->playButton(), &QB2Push::s_push);
    QSignalSpy previous(toolBar->previousButton(), &QBPush::s_push);
    QSignalSpy next(toolBar->nextButton(), &QBPush::s_push);
    const ModelVolume::EnumVolume channel = ModelVolume::EnumVolume(int(angle));
    const int volumeBefore = storedVolume(channel);
    const QString before[2] = {areas(view->painterA()->managePhrasing()), areas(view->painterB()->managePhrasing())};

    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    const bool acts = !typed;
    QCOMPARE(play.count(), effect == Play && acts ? 1 : 0);
    QCOMPARE(previous.count(), effect == Previous && acts ? 1 : 0);
    QCOMPARE(next.count(), effect == Next && acts ? 1 : 0);
    const Vinyl* vinyl = registry()->instanceVinyl();
    QCOMPARE(vinyl->vinylDeltaPosition(ModelGraph::INPUT_A), effect == CalibrateA && acts ? angle : 0.0);
    QCOMPARE(vinyl->vinylDeltaPosition(ModelGraph::INPUT_B), effect == CalibrateB && acts ? angle + 20 : 0.0);
    QCOMPARE(areas(view->painterA()->managePhrasing()), effect == AreasA && acts ? expected : before[0]);
    QCOMPARE(areas(view->painterB()->managePhrasing()), effect == AreasB && acts ? expected : before[1]);
    QCOMPARE(view->colorSaverA()->dialog() != nullptr, effect == SaveA && acts);
    QCOMPARE(view->colorSaverB()->dialog() != nullptr, effect == SaveB && acts);
    if (effect == Volume) {
        const int after = storedVolume(channel);
        const int wanted = !acts ? volumeBefore
                           : expected == "0" ? 0
                                             : volumeBefore + expected.toInt();
        QCOMPARE(after, wanted);
    }
}

void TestQWView::playSoundByMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("looper");
    QTest::addColumn<QString>("soundB");
    QTest::addColumn<QStringList>("emitted");
    const QStringList records{"RecordA", "RecordB", "RecordMaster"};
    QTest::newRow("training") << int(ModelActivatedMode::Training) << "l.wav" << "b.wav"
                              << QStringList{"Looper", "SoundA", "SoundB"} + records;
    QTest::newRow("training without sound B")
        << int(ModelActivatedMode::Training) << "l.wav" << "" << QStringList{"Looper", "SoundA"} + records;
    QTest::newRow("looper") << int(ModelActivatedMode::Looper) << "l.wav" << "b.wav" << QStringList{"Looper"} + records;
    QTest::newRow("recording") << int(ModelActivatedMode::Recording) << "" << "b.wav" << records;
}

// Only a training set plays its sounds A and B; the three record requests always go out, in order.
void TestQWView::playSoundByMode() {
    QFETCH(int, mode);
    QFETCH(QString, looper);
    QFETCH(QString, soundB);
    QFETCH(QStringList, emitted);
    RecordingLooperTraining* open = registry()->instanceLooperTraining();
    open->setMode(ModelActivatedMode::EnumActivatedMode(mode));
    open->setPathSound_Looper(looper);
    open->setPathSound_A("a.wav");
    open->setPathSound_B(soundB);
    QWView* view = m_window->view();
    QStringList heard;
    const auto listen = [&](auto signal, const char* name) {
        return connect(view, signal, this, [&heard, name] { heard << name; });
    };
    const QList<QMetaObject::Connection> probes{
        listen(&QWView::s_Play_Looper, "Looper"),         listen(&QWView::s_Play_SoundA, "SoundA"),
        listen(&QWView::s_Play_SoundB, "SoundB"),         listen(&QWView::s_Record_SoundA, "RecordA"),
        listen(&QWView::s_Record_SoundB, "RecordB"),      listen(&QWView::s_Record_SoundMaster, "RecordMaster")};
    view->playSound();
    for (const auto& probe : probes)
        disconnect(probe);
    QCOMPARE(heard, emitted);
}

// A tick lights the lamp whatever the toggle says; only the toggle lets the click play.
void TestQWView::metronomeTickWithToggleOff() {
    QWGridTool* toolBar = m_window->view()->toolBar();
    QSignalSpy click(m_window->view(), &QWView::s_Play_Metronum);
    QVERIFY(!registry()->instanceMode()->modeMetronom());
    m_window->controller();
    QVERIFY(toolBar->metronomeLed()->isEnabled());
    QCOMPARE(click.count(), 0);
    QTRY_VERIFY(!toolBar->metronomeLed()->isEnabled());
    toolBar->metronomeToggle()->toggle_on();
    m_window->controller();
    QCOMPARE(click.count(), 1);
    toolBar->metronomeToggle()->toggle_off();
}

// The view keeps its minimum size; the pages stack in their order, 800 wide, hidden at start and shown
// by the page slots; the mode menu's closing hides them.
void TestQWView::sizeAndPages() {
    QWView* view = m_window->view();
    view->modeMenu()->disableSubMenu();
    QStackedWidget* pages = view->pageStack();
    QVERIFY(!pages->isVisible());
    m_window->resize(300, 200);
    QTRY_VERIFY(view->width() >= 1200 && view->height() >= 600);
    QCOMPARE(view->minimumSize(), QSize(1200, 600));
    QCOMPARE(view->listMenuLooper(),
             (QList<QWMenuLooper*>{view->looperPanel(), view->trainingPanel(), view->recordingPanel()}));
    const std::pair<void (QWView::*)(), QWidget*> pages_[] = {{&QWView::screenMenu_Looper, view->looperPanel()},
                                                              {&QWView::screenMenu_Color, view->colorPanel()},
                                                              {&QWView::screenMenu_Training, view->trainingPanel()},
                                                              {&QWView::screenMenu_Recording, view->recordingPanel()},
                                                              {&QWView::screenMenu_Device, view->settingsPanel()}};
    for (int i = 0; i < 5; ++i) {
        const auto [slot, page] = pages_[i];
        QCOMPARE(pages->widget(i), page);
        view->modeMenu()->disableSubMenu();
        QVERIFY(!pages->isVisible());
        (view->*slot)();
        QVERIFY(pages->isVisible() && pages->currentWidget() == page && pages->width() == 800);
    }
    m_window->resize(1400, 800);
    QVERIFY(!Artifacts::save(m_window, "main-view-settings-page").isEmpty());
    view->modeMenu()->disableSubMenu();
}

// The menu opens under the pointer on the painter that asked, also with the side pages open.
void TestQWView::graphMenuAtAskingPainter() {
    QWView* view = m_window->view();
    m_window->initConnectionPlayStopTraining(ModelInput::TEXT_A_B);
    QWContextGraph* menu = view->graphMenu();
    for (bool pagesOpen : {false, true}) {
        pagesOpen ? view->screenMenu_Looper() : view->modeMenu()->disableSubMenu();
        pagesOpen ? registry()->instanceMode()->modeMenu_on() : registry()->instanceMode()->modeMenu_off();
        for (QWPainter* painter : {view->painterA(), view->painterB()}) {
            QTRY_COMPARE(painter->mapTo(view, QPoint(0, 0)).x() > 800, pagesOpen);
            QPoint shown;
            QTimer::singleShot(0, menu, [&] {
                shown = menu->pos();
                menu->close();
            });
            // A press alone: the release would close the pages.
            QTest::mousePress(painter, Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
            QCOMPARE(shown, painter->mapToGlobal(QPoint(30, 40)));
        }
    }
    view->modeMenu()->disableSubMenu();
    m_window->initConnectionPlayStopTraining(ModelInput::TEXT_A);
}

void TestQWView::cleanupTestCase() {
    delete m_window;
}

QUILLON_DESKTOP_GUI_TEST_MAIN(TestQWView)
#include "tst_QWView.moc"
