#include "QWPainter.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "core/Autoresize.h"
#include "core/InstCurve.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/Phrasing.h"
#include "core/QCurve.h"
#include "core/QListDataCurve.h"
#include "core/QWav.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/WavPhrasing.h"

namespace {

Singleton* registry() {
    return Singleton::instance();
}

QPixmap fitted(const QPixmap& pixmap, int side) {
    if (pixmap.isNull())
        return pixmap;
    return pixmap.scaled(side, side, Qt::KeepAspectRatio, Qt::FastTransformation);
}

// A sample position as an int pixel or sample index, clamped so that a crafted value cannot overflow.
int toInt(double value) {
    return int(std::clamp<qint64>(GraphWindow::trunc64(value), -1'000'000'000, 1'000'000'000));
}

double streamRate(ModelGraph::EnumGraph graph) {
    const std::shared_ptr<const QSample> sample = registry()->instancePerformance()->inputSample(graph);
    return sample ? sample->samplerate() : 0.0;
}

} // namespace

QWPainter::QWPainter(ModelGraph::EnumGraph graphMain, ModelGraph::EnumGraph graphSecondary, QWidget* parent)
    : QWidget(parent), m_graphMain(graphMain), m_graphSecondary(graphSecondary),
      m_curveSecondary(std::make_unique<QCurve>(graphSecondary)), m_curveMain(std::make_unique<QCurve>(graphMain)),
      m_copySecondary(m_curveSecondary->curveGlobal()), m_copyMain(m_curveMain->curveGlobal()), m_fold(m_raster) {
    // Every frame fills the whole widget first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    registry()->instanceCurve()->setCurveMain(m_graphMain, m_curveMain->curveGlobal());
    m_managePhrasing = std::make_unique<ManagePhrasing>(m_graphMain);
    m_painterWav = std::make_unique<QWPainterWav>(m_graphMain);
    initGraph();
    m_logo = QPixmap(Path::joinResourceImage(QStringLiteral("Logo - Quillon-WhiteDark")));
    if (!m_logo.isNull())
        m_logo = m_logo.scaled(400, 400, Qt::KeepAspectRatio, Qt::FastTransformation);
    m_arrowDownRight = fitted(Path::joinResourceIcon(QStringLiteral("arrowDown-Right")), 30);
    m_arrowDownLeft = fitted(Path::joinResourceIcon(QStringLiteral("arrowDown-Left")), 30);
    m_arrowUpRight = fitted(Path::joinResourceIcon(QStringLiteral("arrowUp-Right")), 30);
    m_arrowUpLeft = fitted(Path::joinResourceIcon(QStringLiteral("arrowUp-Left")), 30);
    refreshVariable();
}

QWPainter::~QWPainter() = default;

double QWPainter::samplesPerBeat() const {
    return registry()->instanceLooperTraining()->bpmSamplerate(m_graphMain);
}

bool QWPainter::wavLoaded() const {
    return registry()->instanceWavPhrasing()->wav(m_graphMain) != nullptr;
}

void QWPainter::setXRange(qint64 a, qint64 b) {
    if (!GraphWindow::acceptsXRange(a, b, samplesPerBeat()))
        return;
    m_xMin = double(a);
    m_xMax = double(b);
}

void QWPainter::setYRangeWithMarging(double min, double max) {
    const GraphWindow::Range r = GraphWindow::yRangeWithMargin({min, max}, {m_yMin, m_yMax});
    m_yMin = r.min;
    m_yMax = r.max;
}

void QWPainter::initGraph() {
    const ModelActivatedMode::EnumActivatedMode mode = registry()->instanceLooperTraining()->mode();
    const bool trailing = mode == ModelActivatedMode::Recording || mode == ModelActivatedMode::Training;
    const double f1 = trailing ? -2.0 / 3.0 : -0.96;
    const double f2 = trailing ? 1.0 / 3.0 : 0.04;
    const double p = samplesPerBeat();
    m_xStep = p;
    const double perTenth = registry()->instancePerformance()->processingBuffer(m_graphMain) / 10.0;
    m_holdWindow = perTenth >= 0.0 ? int(std::min(perTenth, 1e6)) : 0;
    const double beats = registry()->instanceMode()->displayBPM();
    m_offsetStart = p * beats * f1;
    m_offsetEnd = p * beats * f2;
    setXRange(GraphWindow::trunc64(m_offsetStart), GraphWindow::trunc64(m_offsetEnd));
    const ModelDisplay::EnumDisplay display = registry()->instanceMode()->modeDisplay();
    const bool full = display == ModelDisplay::PHRASING || display == ModelDisplay::DRUMMING;
    setYRangeWithMarging(0.0, full ? 1'000'000.0 : 200.0);
    m_shownPhrasing = -1;
    m_startAsked = false;
    emit s_InitStart();
}

void QWPainter::initStart() {
    m_shownPhrasing = -1;
    emit s_InitStart();
}

void QWPainter::resetCurve_Main() {
    m_curveMain->reset();
}

void QWPainter::resetCurve_Secondary() {
    m_curveSecondary->reset();
}

void QWPainter::importCurve_Secondary(const QString& path, bool setBpm) {
    m_curveSecondary->importCurveFromQLWFile(path, setBpm);
    emit s_EndImportCurve_Secondary();
}

void QWPainter::updateXRange(ModelGraph::EnumGraph graph, double minimum, double maximum) {
    const double r = graph == m_graphMain ? 1.0 : GraphWindow::rateRatio(streamRate(m_graphMain), streamRate(graph));
    setXRange(GraphWindow::trunc64(minimum * r), GraphWindow::trunc64(maximum * r));
}

void QWPainter::refreshListManagePhrasing() {
    m_managePhrasing->setListPhrasing(registry()->instancePhrasing()->listPhrasing(m_curveMain->curveName()));
    generateWavPhrasing();
}

void QWPainter::generateWavPhrasing() {
    m_wavSegments.clear();
    const std::shared_ptr<const QWav> wav = registry()->instanceWavPhrasing()->wav(m_graphMain);
    if (!wav)
        return;
    const double n = double(wav->size());
    for (const QPhrasing& area : m_managePhrasing->listPhrasing()) {
        const auto c = area.color();
        m_wavSegments.append({{toInt(area.angleStart() * n / 360.0), toInt(area.angleEnd() * n / 360.0)},
                              QColor(c.red, c.green, c.blue, c.alpha)});
    }
    m_painterWav->refresh(&m_wavSegments);
    ++m_wavGeneration;
}

void QWPainter::refreshVariable() {
    const bool normal = registry()->instanceMode()->modeDisplay() == ModelDisplay::NORMAL;
    const bool wav = wavLoaded();
    m_marginBottom = normal && wav ? 120 : 40;
    m_marginTop = 35 + (registry()->instanceSetting()->paramGraphDirectSound(false) && wav ? 100 : 0);
    m_plotWidth = width() - 45.0;
    m_bandWidth = width() - 90.0;
    m_plotBottom = double(height() - m_marginBottom);
    m_plotHeight = m_plotBottom - m_marginTop;
    m_cursorBottom = m_plotBottom - 3.0;
    m_bandTop = height() - 100;
    m_legendBottom = int(m_plotBottom) + 40;
    m_labelBottom = int(m_plotBottom) + 20;
}

void QWPainter::refresh() {
    Mode* mode = registry()->instanceMode();
    if (!mode->modeRun())
        m_startAsked = false;
    if (!mode->modeGraphicScrollStop() && mode->modeRun()) {
        Time* time = registry()->instanceTime();
        // No frame yet and no stream to bring one: the time base starts with the run, asked once (the
        // restart is done at once). A running stream's callback starts it at its first frame itself; an
        // ask from here could land after that frame.
        if (!m_startAsked && time->currentSamplerate_m_s(m_graphMain) == 0.0 && !time->streamRunning(m_graphMain)) {
            m_startAsked = true;
            m_shownPhrasing = -1;
            emit s_InitStart();
        }
        const std::shared_ptr<const QSample> sample = registry()->instancePerformance()->inputSample(m_graphMain);
        const double v = double(GraphWindow::trunc64(time->currentTimeToSamplerate(m_graphMain, sample.get())));
        time->setCurrentSamplerate(m_graphMain, v);
    }
    // A tick whose picture would be the same paints nothing.
    std::vector<double> inputs = frameInputs();
    if (inputs != m_frameInputs) {
        m_frameInputs = std::move(inputs);
        update();
    }
}

std::vector<double> QWPainter::frameInputs() const {
    Mode* mode = registry()->instanceMode();
    Setting* setting = registry()->instanceSetting();
    const RecordingLooperTraining* set = registry()->instanceLooperTraining();
    const Autoresize* autoresize = registry()->instanceAutoresize();
    const QListDataCurve* main = m_curveMain->curveGlobal();
    const QListDataCurve* secondary = m_curveSecondary->curveGlobal();
    std::vector<double> inputs{double(main->size()),
                               double(main->generation()),
                               double(secondary->size()),
                               double(secondary->generation()),
                               registry()->instanceTime()->currentSamplerate(m_graphMain),
                               m_xMin,
                               m_xMax,
                               m_yMin,
                               m_yMax,
                               double(m_tagNumber),
                               double(width()),
                               double(height()),
                               double(m_wavGeneration),
                               double(reinterpret_cast<quintptr>(registry()->instanceWavPhrasing()->wav(m_graphMain).get())),
                               streamRate(m_graphMain),
                               double(mode->modeDisplay()),
                               double(mode->modeRun()),
                               double(mode->modeReverse()),
                               double(mode->modeCurrentTimerAutoresize()),
                               double(mode->modeAutoresize()),
                               double(mode->modeHold()),
                               double(mode->modeGraphicScrollStop()),
                               mode->displayBPM(),
                               double(set->mode()),
                               set->offset(),
                               set->bpmFactorSpeed(),
                               samplesPerBeat(),
                               autoresize->minYAutoresize(),
                               autoresize->maxYAutoresize(),
                               double(setting->paramCurveOnSize(false))};
    for (bool on : {setting->paramGraphMainCurve(false), setting->paramGraphGrid(false),
                    setting->paramGraphCurveCrossFaderOff(false), setting->paramGraphCurveNoSound(false),
                    setting->paramGraphShiniMode(false), setting->paramGraphVinylPosition(false),
                    setting->paramGraphDirectSound(false), setting->paramGraphLogo(false)})
        inputs.push_back(double(on));
    for (const QPhrasing& area : m_managePhrasing->listPhrasing()) {
        const auto c = area.color();
        inputs.insert(inputs.end(), {area.angleStart(), area.angleEnd(), double(qRgba(c.red, c.green, c.blue, c.alpha)),
                                     double(qHash(area.label()))});
    }
    return inputs;
}

void QWPainter::updateWindows() {
    m_copyMain.sync();
    m_copySecondary.sync();
    handleXAutoresize();
    calculateAndSyncYRanges();
    setYRangeBasedOnMode();
    defineXStep(GraphWindow::trunc64(m_xMin), GraphWindow::trunc64(m_xMax));
    m_yStep = GraphWindow::yStep(m_yMin, m_yMax);
    placeFrame();
}

// While the window follows the run, the curve layer is drawn on whole columns counted from sample 0
// and scrolls by whole columns, so that only what is new or changed is rendered. The grid, the labels
// and the current-time line take the same placement: the window's start moved left to its whole
// column. Placed at the window's own fractional start instead, they would wobble against the curve by
// up to a pixel from tick to tick. The span the follow mode keeps gives the scale, so that the
// truncated ends of the window do not change it from frame to frame.
void QWPainter::placeFrame() {
    m_scale = GraphScale(m_xMin, m_xMax, m_plotWidth, m_yMin, m_yMax, m_plotBottom, m_plotHeight);
    const qreal dpr = devicePixelRatioF();
    m_anchored = registry()->instanceMode()->modeCurrentTimerAutoresize() && dpr == std::floor(dpr);
    m_anchorColumn = 0.0;
    if (m_anchored) {
        const double kept = m_offsetEnd - m_offsetStart;
        const double span = std::fabs(m_xMax - m_xMin - kept) <= 2.0 ? kept : m_xMax - m_xMin;
        const GraphScale steady(m_xMin, m_xMin + span, m_plotWidth, m_yMin, m_yMax, m_plotBottom, m_plotHeight);
        m_anchorColumn = steady.startColumn();
        m_scale = steady.anchored(m_anchorColumn);
    }
    m_currentX = toInt(m_scale.x(registry()->instanceTime()->currentSamplerate(m_graphMain)));
}

void QWPainter::handleXAutoresize() {
    Mode* mode = registry()->instanceMode();
    if (mode->modeAutoresize()) {
        if (!mode->modeRun())
            emit s_EndAutoresize();
    } else if (mode->modeCurrentTimerAutoresize()) {
        const qint64 c = GraphWindow::trunc64(registry()->instanceTime()->currentSamplerate(m_graphMain));
        setXRange(GraphWindow::trunc64(c + m_offsetStart), GraphWindow::trunc64(c + m_offsetEnd));
    }
}

void QWPainter::calculateAndSyncYRanges() {
    const qint64 first = GraphWindow::trunc64(m_xMin);
    const qint64 last = GraphWindow::trunc64(m_xMax);
    double lo = 0.0, hi = 0.0;
    bool found = false;
    m_copySecondary.calculPosStartEnd(first, last, lo, hi, found);
    if (registry()->instanceSetting()->paramGraphMainCurve(false)) {
        double mainLo = 0.0, mainHi = 0.0;
        bool mainFound = false;
        m_copyMain.calculPosStartEnd(first, last, mainLo, mainHi, mainFound);
        if (mainFound && found) {
            // The reference curve is compared at the live curve's starting height.
            const double shift = m_copyMain.at(0).y() - m_copySecondary.at(0).y();
            if (std::isfinite(shift)) {
                lo += shift;
                hi += shift;
            }
            lo = std::min(lo, mainLo);
            hi = std::max(hi, mainHi);
        } else if (mainFound) {
            lo = mainLo;
            hi = mainHi;
            found = true;
        }
    }
    if (!found || !std::isfinite(lo) || !std::isfinite(hi))
        return;
    Autoresize* autoresize = registry()->instanceAutoresize();
    autoresize->setMinYAutoresize(lo);
    autoresize->setMaxYAutoresize(hi);
}

void QWPainter::setYRangeBasedOnMode() {
    const ModelDisplay::EnumDisplay display = registry()->instanceMode()->modeDisplay();
    if (display == ModelDisplay::PHRASING || display == ModelDisplay::DRUMMING) {
        m_yMin = 0.0;
        m_yMax = 1'000'000.0;
        return;
    }
    const Autoresize* autoresize = registry()->instanceAutoresize();
    setYRangeWithMarging(autoresize->minYAutoresize(), autoresize->maxYAutoresize());
}

void QWPainter::defineXStep(qint64 min, qint64 max) {
    m_xStep = GraphWindow::xStep(min, max, samplesPerBeat());
}

void QWPainter::holdMode() {
    Mode* mode = registry()->instanceMode();
    if (!mode->modeHold() || m_copyMain.size() <= m_holdWindow || m_copyMain.moves(m_holdWindow, 0.1))
        mode->modeGraphicScrollStop_off();
    else
        mode->modeGraphicScrollStop_on();
}

void QWPainter::zoommore(double c) {
    const GraphWindow::Range r = GraphWindow::zoomIn({m_xMin, m_xMax}, c);
    setXRange(qint64(r.min), qint64(r.max));
}

void QWPainter::zoomless(double c) {
    const GraphWindow::Range r = GraphWindow::zoomOut({m_xMin, m_xMax}, c);
    setXRange(qint64(r.min), qint64(r.max));
}

GraphScale QWPainter::currentScale() const {
    return GraphScale(m_xMin, m_xMax, m_plotWidth, m_yMin, m_yMax, m_plotBottom, m_plotHeight);
}

void QWPainter::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_pressPoint = p;
        emit s_PressLeftButton();
    } else if (event->button() == Qt::RightButton) {
        // With the side menu open the view shifts the popup by the menu's width.
        const int shift = registry()->instanceMode()->modeMenu() ? 800 : 0;
        emit s_PressRightButton(p.x() + shift, p.y());
    }
}

void QWPainter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_releasePoint = event->position().toPoint();
        const GraphScale scale = currentScale();
        if (registry()->instanceMode()->modeSelectArea()) {
            const int lo = std::min(m_pressPoint.x(), m_releasePoint.x());
            const int hi = std::max(m_pressPoint.x(), m_releasePoint.x());
            setXRange(GraphWindow::trunc64(scale.sample(lo)), GraphWindow::trunc64(scale.sample(hi)));
            emit s_XRange(m_graphMain, m_xMin, m_xMax);
            emit s_EndSelectArea();
        } else {
            // Dragging to the right shows earlier samples.
            const qint64 d = GraphWindow::trunc64(scale.sample(m_pressPoint.x())) -
                             GraphWindow::trunc64(scale.sample(m_releasePoint.x()));
            if (m_pressPoint.x() > 0)
                setXRange(GraphWindow::trunc64(m_xMin + d), GraphWindow::trunc64(m_xMax + d));
            else
                setXRange(0, GraphWindow::trunc64(m_xMax - m_xMin));
            emit s_XRange(m_graphMain, m_xMin, m_xMax);
        }
    }
    emit s_MouseReleaseEvent();
}

void QWPainter::wheelEvent(QWheelEvent* event) {
    const int dy = event->angleDelta().y();
    // A purely horizontal scroll is no zoom.
    if (dy == 0)
        return;
    const double c = currentScale().sample(std::trunc(event->position().x()));
    if (dy > 0)
        zoommore(c);
    else
        zoomless(c);
    emit s_XRange(m_graphMain, m_xMin, m_xMax);
}

void QWPainter::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refreshVariable();
}
