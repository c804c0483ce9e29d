#include "QWView.h"

#include <QGridLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ViewShortcuts.h"
#include "core/Function.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/RecordingLooperTraining.h"
#include "core/Singleton.h"
#include "gui/QWContextMenu.h"
#include "gui/QWGridTool.h"
#include "gui/QWMenuDevice.h"
#include "gui/QWMenuMode.h"
#include "gui/graph/QWContextGraph.h"
#include "gui/graph/QWPainter.h"
#include "gui/library/ColorFileSaver.h"
#include "gui/library/QWMenuColor.h"
#include "gui/library/QWMenuLooper.h"
#include "gui/library/RecordingExport.h"

namespace {

constexpr int PAGE_WIDTH = 800;
constexpr int MINIMUM_WIDTH = 1200;
constexpr int MINIMUM_HEIGHT = 600;

Singleton* registry() {
    return Singleton::instance();
}

} // namespace

// The tool bar comes before the settings panel and the painters: it hands the input selection and
// the number of beats shown to Mode, the settings panel's combos then pass the buffer settings on,
// and the painters' first initGraph reads all of them.
QWView::QWView(QWidget* parent)
    : QWidget(parent), m_applicationMenu(new QWContextMenu(this)), m_modeMenu(new QWMenuMode(this)),
      m_toolBar(new QWGridTool(this)), m_graphMenu(new QWContextGraph(this)) {
    m_listMenuLooper.clear();
    applyStyle();
    buildPages();

    m_painterA = new QWPainter(ModelGraph::INPUT_A, ModelGraph::INPUT_1, this);
    m_painterB = new QWPainter(ModelGraph::INPUT_B, ModelGraph::INPUT_2, this);
    m_painterB->hide();
    buildLayout();

    // The keyboard's savers live with the areas they save.
    m_saverA = new ColorFileSaver(m_painterA->managePhrasing());
    m_saverB = new ColorFileSaver(m_painterB->managePhrasing());
    m_shortcuts = ViewShortcuts::install(this, {m_toolBar, m_painterA->managePhrasing(),
                                                m_painterB->managePhrasing(), m_saverA, m_saverB, m_settings});

    m_export = new RecordingExport(m_painterA->curve_Main(), m_painterB->curve_Main(),
                                   m_painterA->managePhrasing(), m_painterB->managePhrasing(), this);
    connect(m_export, &RecordingExport::s_NewRecording, this, &QWView::s_NewRecording);
}

QWView::~QWView() = default;

QWMenuLooper* QWView::libraryPanel(ModelActivatedMode::EnumActivatedMode mode, const QString& icon) {
    // The page name is the mode's key text, which registers the enumeration on first use.
    auto* panel = new QWMenuLooper(Model::toText(mode), icon, this);
    m_listMenuLooper.append(panel);
    return panel;
}

void QWView::buildPages() {
    m_looper = libraryPanel(ModelActivatedMode::Looper, QStringLiteral("musical-disc-and-dj-hand.png"));
    m_training = libraryPanel(ModelActivatedMode::Training, QStringLiteral("menu_training.png"));
    m_recording = libraryPanel(ModelActivatedMode::Recording, QStringLiteral("record.png"));
    m_color = new QWMenuColor(Model::toText(ModelActivatedMode::Color), QStringLiteral("colorMode.png"), this);
    m_settings = new QWMenuDevice(Model::toText(ModelActivatedMode::Setting), QStringLiteral("setting.png"), this);

    m_pages = new QStackedWidget(this);
    for (QWidget* page : {static_cast<QWidget*>(m_looper), static_cast<QWidget*>(m_color),
                          static_cast<QWidget*>(m_training), static_cast<QWidget*>(m_recording),
                          static_cast<QWidget*>(m_settings)})
        m_pages->addWidget(page);
    m_pages->setFixedWidth(PAGE_WIDTH);
    m_pages->hide();
    m_pages->setCurrentWidget(m_training);
    m_pages->show();
}

void QWView::buildLayout() {
    auto* painters = new QVBoxLayout;
    painters->setContentsMargins(0, 0, 0, 0);
    painters->addWidget(m_painterA);
    painters->addWidget(m_painterB);

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    grid->addWidget(m_modeMenu, 0, 0, 1, 1);
    grid->addWidget(m_pages, 0, 1, 1, 1);
    grid->addLayout(painters, 0, 2, 1, 1);
    grid->addWidget(m_toolBar, 1, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(0, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(grid);
    setMinimumSize(MINIMUM_WIDTH, MINIMUM_HEIGHT);
}

void QWView::applyStyle() {
    setStyleSheet(Function::loadStyleFromFile(Path::joinCss(QStringLiteral("style.css"))));
}

void QWView::showPage(QWidget* page) {
    m_pages->setCurrentWidget(page);
    m_pages->show();
}

void QWView::screenMenu_Training() {
    showPage(m_training);
}

void QWView::screenMenu_Recording() {
    showPage(m_recording);
}

void QWView::screenMenu_Looper() {
    showPage(m_looper);
}

void QWView::screenMenu_Color() {
    showPage(m_color);
}

void QWView::screenMenu_Device() {
    showPage(m_settings);
}

void QWView::loadSound() {
    const RecordingLooperTraining* open = registry()->instanceLooperTraining();
    emit s_Load_Metronum(Path::joinInput(QStringLiteral("beep1.wav")));
    emit s_Load_Looper(open->pathSound_Looper());
    emit s_Load_SoundA(open->pathSound_A());
    emit s_Load_SoundB(open->pathSound_B());
}

void QWView::playSound() {
    const RecordingLooperTraining* open = registry()->instanceLooperTraining();
    if (!open->pathSound_Looper().isEmpty())
        emit s_Play_Looper();
    if (open->mode() == ModelActivatedMode::Training) {
        if (!open->pathSound_A().isEmpty())
            emit s_Play_SoundA();
        if (!open->pathSound_B().isEmpty())
            emit s_Play_SoundB();
    }
    emit s_Record_SoundA();
    emit s_Record_SoundB();
    emit s_Record_SoundMaster();
}

void QWView::stopSound() {
    emit s_Stop_Looper();
    emit s_Stop_SoundA();
    emit s_Stop_SoundB();
}

void QWView::metronomSound() {
    if (registry()->instanceMode()->modeMetronom())
        emit s_Play_Metronum();
}

void QWView::updateBpmSamplerate(ModelGraph::EnumGraph graph) {
    registry()->instanceLooperTraining()->setBpmSamplerate(
        graph, registry()->instancePerformance()->inputSample(graph).get());
}

void QWView::updateAllBpmSamplerate() {
    updateBpmSamplerate(ModelGraph::INPUT_A);
    updateBpmSamplerate(ModelGraph::INPUT_B);
}

void QWView::contectGraphShow(int x, int y) {
    // The asking painter reports its own point, moved right by the page width while the side pages are
    // open; the menu opens under the pointer on that painter.
    QWidget* origin = qobject_cast<QWPainter*>(sender());
    if (!origin)
        origin = m_painterA;
    if (registry()->instanceMode()->modeMenu())
        x -= PAGE_WIDTH;
    m_graphMenu->exec(origin->mapToGlobal(QPoint(x, y)));
}

void QWView::exportFile() {
    m_export->exportFile();
}
