#include "ReceiveTimecodeDVSObject.h"

#include <QtDebug>

#include <climits>

#include "core/Mode.h"
#include "core/Performance.h"
#include "core/QCurve.h"
#include "core/QData.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/Time.h"
#include "core/Timecode.h"
#include "core/Vinyl.h"
#include "core/midi/Midi.h"
#include "core/timecode/Timecoder.h"

namespace {

// A decoded position further than this from the last one is a needle drop or a lap of the record.
constexpr qint32 JUMP_CYCLES = 1000;
// One turn of the platter takes 1.8 s of record time.
constexpr double DEGREES_PER_SECOND = 360.0 * 0.5555555555555556;
// The decoder's speed-tracking gains, applied once more for the frame's own travel.
constexpr double PITCH_ALPHA = 0.001953125;
constexpr double PITCH_BETA = 7.62939453125e-6;

} // namespace

ReceiveTimecodeDVSObject::ReceiveTimecodeDVSObject(ModelGraph::EnumGraph graph, QCurve* curve,
                                                   QObject* parent)
    : QObject(parent), m_graph(graph), m_curve(curve), m_timecoder(std::make_unique<Timecoder>()),
      m_mode(Singleton::instance()->instanceMode()),
      m_performance(Singleton::instance()->instancePerformance()),
      m_time(Singleton::instance()->instanceTime()), m_timecode(Singleton::instance()->instanceTimecode()),
      m_vinyl(Singleton::instance()->instanceVinyl()), m_midi(Singleton::instance()->instanceMidi()) {}

ReceiveTimecodeDVSObject::~ReceiveTimecodeDVSObject() = default;

void ReceiveTimecodeDVSObject::initialise() {
    m_active = false;
    m_fullDVS = m_mode->modeFullDVS();
    m_lastTimecode = -1;
    m_forwards = true;
    m_angle = 0.0;
    m_subPosition = 0.0;
    m_lastPosition = 0.0;
    m_wrapForward = false;
    m_wrapBackward = false;

    Setting* setting = Singleton::instance()->instanceSetting();
    double calibration = 0.0;
    if (m_fullDVS) {
        calibration = m_graph == ModelGraph::INPUT_B ? setting->paramVinylDeltaPositionB(false)
                                                     : setting->paramVinylDeltaPositionA(false);
    }
    m_vinyl->setCalculVinylDeltaPosition(m_graph, calibration);

    // The format cannot change during a run (its control is locked), so the name is read once here.
    const QString name = setting->paramTimecode(false);
    m_def = m_timecoder->findDefinition(name);
    if (m_def.name().isEmpty()) {
        qWarning() << "Unknown timecode format" << name << "- input" << Model::toText(m_graph)
                   << "is not decoded in this run";
        return;
    }
    const std::shared_ptr<const QSample> sample = m_performance->inputSample(m_graph);
    const double rate = sample ? sample->samplerate() : 0.0;
    if (!(rate >= 1.0 && rate <= double(UINT_MAX))) {
        qWarning() << "No usable sample rate for input" << Model::toText(m_graph)
                   << "- it is not decoded in this run";
        return;
    }
    Timecoder::initialization(&m_decoder, &m_def, unsigned(rate), false);
    m_doubleCycles = name == Model::toText(ModelTimecode::traktor_sideA) ||
                     name == Model::toText(ModelTimecode::traktor_sideB);
    // In absolute mode the calibration applies only once the record's position is known.
    if (m_fullDVS)
        m_timecode->modeTimecode_off(m_graph);
    else
        m_timecode->modeTimecode_on(m_graph);
    m_active = true;
}

void ReceiveTimecodeDVSObject::updateBPM() {
    m_restartRequested.store(true, std::memory_order_release);
}

void ReceiveTimecodeDVSObject::restartNow() {
    m_restartRequested.store(false, std::memory_order_relaxed);
    restartTimeBase();
}

// Keeps the curve's storage: on the audio thread nothing is allocated or freed here.
void ReceiveTimecodeDVSObject::restartTimeBase() {
    m_curve->curveGlobal()->discard();
    m_time->resetStartTime(m_graph);
    m_time->resetCurrentSamplerate(m_graph);
    m_time->resetCurrentSamplerate_m_s(m_graph);
    m_timecode->resetTimecodeOffset(m_graph);
    m_nextSampleStep = 0;
}

void ReceiveTimecodeDVSObject::execute(const qint16* frame) {
    if (!m_active)
        return;
    if (m_restartRequested.load(std::memory_order_relaxed) &&
        m_restartRequested.exchange(false, std::memory_order_acquire))
        restartTimeBase();

    Timecoder::submit(&m_decoder, frame, 1);
    const qint32 position = Timecoder::position(&m_decoder);
    if (m_fullDVS)
        readAbsolute(position);
    else
        m_lastTimecode = 0;
    m_forwards = m_decoder.forwards();
    const double speed = reckon();

    // The frame counter has this thread as its only writer, and doubles hold it exactly.
    const qint64 frameIndex = qint64(m_time->currentSamplerate_m_s(m_graph));
    // A point's frame index is an int32: past it (12 hours at 48 kHz) the curve ends.
    if (frameIndex >= m_nextSampleStep && frameIndex <= INT_MAX)
        addPoint(frameIndex, speed);
    m_time->incrementCurrentSamplerate_m_s(m_graph);
}

void ReceiveTimecodeDVSObject::readAbsolute(qint32 position) {
    if (position < 0)
        return;
    // Reading backwards, the code word read last begins at the stylus instead of ending there: name
    // it by the position it has when read forwards. Before the first whole word there is none.
    if (!m_decoder.forwards()) {
        position -= m_def.bits() - 1;
        if (position < 0)
            return;
    }
    // The same position answered again: keep reckoning between bits.
    if (position == m_lastTimecode)
        return;
    const qint32 last = m_lastTimecode;
    if (last > 0) {
        if (position > last + JUMP_CYCLES)
            m_wrapForward = true;
        else if (last > JUMP_CYCLES && position < last - JUMP_CYCLES)
            m_wrapBackward = true;
    }
    m_lastTimecode = position;
    m_subPosition = 0.0;
    m_timecode->modeTimecode_on(m_graph);
}

// The decoder's tracking filter run ahead by one frame without changing it. The travel is
// zeroAlpha x speed, which reads the movement scaled by rate / (rate + 1000); stored curves are in
// that scale.
double ReceiveTimecodeDVSObject::reckon() {
    const QPitch* pitch = m_decoder.pitch();
    const double dt = m_decoder.dt();
    const double predicted = pitch->x() + pitch->v() * dt;
    const double residual = 0.25 / m_def.resolution() - predicted;
    const double x = predicted + residual * PITCH_ALPHA;
    const double v = pitch->v() + residual * PITCH_BETA / dt;
    m_subPosition += m_decoder.zeroAlpha() * v + x;
    return v;
}

void ReceiveTimecodeDVSObject::addPoint(qint64 frame, double speed) {
    const double position = m_lastTimecode + (m_doubleCycles ? 2.0 : 1.0) * m_subPosition;

    if (m_fullDVS && (m_wrapForward || m_wrapBackward)) {
        // Move the offset so that this point continues from the previous one.
        m_timecode->setTimecodeOffset(m_graph,
                                      m_timecode->timecodeOffset(m_graph) - (position - m_lastPosition));
        m_wrapForward = false;
        m_wrapBackward = false;
    }

    m_angle = position / m_def.resolution() * DEGREES_PER_SECOND;
    m_vinyl->setVinylPosition(m_graph, m_angle);

    const bool calibrated = !m_fullDVS || m_timecode->modeTimecode(m_graph);
    QData point;
    point.setTimecode(m_lastTimecode);
    point.setSamplerate(qint32(frame));
    point.setY(m_fullDVS ? m_timecode->timecodeOffset(m_graph) + position : position);
    point.setRotation(m_forwards ? ModelRotation::FORWARD : ModelRotation::BACK);
    point.setTargetPosition(calibrated ? m_angle - m_vinyl->vinylDeltaPosition(m_graph) : m_angle);
    point.setDrawon(audible());
    point.setAcceleration(speed);
    m_curve->addDataCurve(point);

    if (m_fullDVS)
        m_lastPosition = position;

    // A fractional step advances by its whole frames; a step below one frame (or none yet) still
    // advances by one, so there is never more than one point per frame.
    const double step = m_performance->processingSampleStep(m_graph);
    const qint64 advance = step >= 1.0 && step <= double(INT_MAX) ? qint64(step) : 1;
    m_nextSampleStep += advance;
    // Counters out of step (no restart since the last run) resume the regular spacing from here.
    if (m_nextSampleStep <= frame)
        m_nextSampleStep = frame + advance;
}

bool ReceiveTimecodeDVSObject::audible() const {
    const Midi::Position crossFader = m_midi->crossFaderPos();
    if (!crossFader)
        return true;
    const ModelCrossFader::EnumCrossFader side = crossFader->status();
    if (side == ModelCrossFader::MIDDLE || !m_mode->modeMix())
        return true;
    const bool reverse = m_mode->modeReverse();
    const bool right = side == ModelCrossFader::RIGHT;
    const bool left = side == ModelCrossFader::LEFT;
    if (m_graph == ModelGraph::INPUT_A)
        return !((right && !reverse) || (left && reverse));
    if (m_graph == ModelGraph::INPUT_B)
        return !((left && !reverse) || (right && reverse));
    return true;
}
