#pragma once

#include <QObject>
#include <QtGlobal>

#include <atomic>
#include <memory>

#include "core/Model.h"
#include "core/timecode/Definition.h"
#include "core/timecode/QTimecoder.h"

class Midi;
class Mode;
class Performance;
class QCurve;
class Time;
class Timecode;
class Timecoder;
class Vinyl;

// Turns the stereo frames of one turntable input (INPUT_A or INPUT_B) into that input's live scratch
// curve: feeds the decoder, reckons the record position between decoded positions from the tracked
// speed, writes the record angle into Vinyl, and every processing step appends one point to the
// input's main curve.
//
// Two modes, chosen at each run start from Mode::modeFullDVS: absolute mode follows the decoded
// position on the record, relative mode integrates the movement since the run start.
//
// Threads: initialise and restartNow run on the GUI thread while the input's stream is not running;
// execute runs on the input's audio thread only; updateBPM may be called from any thread. Everything
// but the restart request belongs to whichever of these is running, and they never overlap.
//
// A restart of the time base empties the live curve in the same step, so no point taken on the old
// time base follows the restart, and the first point after it is frame 0.
class ReceiveTimecodeDVSObject : public QObject {
    Q_OBJECT

public:
    // `curve` is the input's main curve (not owned); it must outlive the receiver.
    ReceiveTimecodeDVSObject(ModelGraph::EnumGraph graph, QCurve* curve, QObject* parent = nullptr);
    ~ReceiveTimecodeDVSObject() override;

    // False when the last initialise met an unknown format: execute then does nothing.
    bool isActive() const { return m_active; }

public slots:
    // GUI thread, at run start, while the input's stream is not running. Reads the mode, the format
    // name and the calibration once for the whole run and resets the decoder; builds the format's
    // lookup table on the first run that uses it.
    void initialise();
    // Any thread. Asks for the input's time base to restart (frame counter, start time, offset, next
    // point at frame 0, the live curve emptied); execute carries it out before its next frame, so the
    // request never races the audio thread's own counters or points.
    void updateBPM();
    // GUI thread, while the input's stream is not running: the same restart, done at once.
    void restartNow();
    // The input's audio thread, once per frame: `frame` points at the frame's left sample, with the
    // right sample right after it. Allocates only what the curve needs for a point; no lock but the
    // curve's own.
    void execute(const qint16* frame);

private:
    void restartTimeBase();
    void readAbsolute(qint32 position);
    // Advances subPosition by one frame of travel; returns the speed used (relative to normal speed).
    double reckon();
    void addPoint(qint64 frame, double speed);
    bool audible() const;

    const ModelGraph::EnumGraph m_graph;
    QCurve* const m_curve;
    const std::unique_ptr<Timecoder> m_timecoder;
    QTimecoder m_decoder;
    Definition m_def;

    // The registry's objects, which live until the process exits.
    Mode* const m_mode;
    Performance* const m_performance;
    Time* const m_time;
    Timecode* const m_timecode;
    Vinyl* const m_vinyl;
    Midi* const m_midi;

    // Set by initialise for the run.
    bool m_active = false;
    bool m_fullDVS = false;
    // The Traktor formats count two carrier cycles where the others count one.
    bool m_doubleCycles = false;

    // The run's state, advanced by execute.
    qint32 m_lastTimecode = -1;
    bool m_forwards = true;
    double m_angle = 0.0;
    double m_subPosition = 0.0;
    double m_lastPosition = 0.0;
    bool m_wrapForward = false;
    bool m_wrapBackward = false;
    qint64 m_nextSampleStep = 0;

    std::atomic<bool> m_restartRequested{false};
};
