#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

#include "Model.h"
#include "QData.h"
#include "QListDataCurve.h"

// One scratch curve as a graph painter holds it: its point list, the index range of the points
// visible now, searches from a frame index to a point, and the curve-wave file (.qlw).
//
// The input's timecode receiver appends on its audio thread (addDataCurve); everything else runs
// on the GUI thread. reset, the file reader and the writer run only while no stream of the input
// runs. The point list lives exactly as long as the curve.
//
// Curve-wave file, little-endian: int32 tempo, int32 point count N, then N records of 23 bytes:
// int32 samplerate, double y, double targetPosition, int16 rotation (FORWARD 1, BACK 0,
// UNDEFINED 2), int8 drawon.
class QCurve {
public:
    static constexpr int RECORD_SIZE = 23;
    static constexpr int HEADER_SIZE = 8;

    explicit QCurve(ModelGraph::EnumGraph curveName);
    QCurve(const QCurve&) = delete;
    QCurve& operator=(const QCurve&) = delete;

    ModelGraph::EnumGraph curveName() const { return m_curveName; }
    int posStart() const { return m_posStart; }
    int posEnd() const { return m_posEnd; }
    QListDataCurve* curveGlobal() const { return m_curveGlobal.get(); }

    // Empties the curve; posStart goes back to 0.
    void reset();

    // Audio thread of the input. Appends the point; when it carries the run's first valid timecode
    // after points that had none, those points are moved to meet it.
    void addDataCurve(const QData& point);

    // The index of the first point at or after frame s (the last point when none is); 0 for s < 1
    // or an empty curve. Starts from where the processing step puts frame s, then gallops, so the
    // work stays O(log n) whatever the actual spacing of the points.
    int searchPosAfterFromSamplerate(qint32 s) const;
    // The index of the last point at or before frame s (0 when none is); 0 for s < 1 or an empty curve.
    int searchPosBeforeFromSamplerate(qint32 s) const;
    // A copy of the point searchPosBeforeFromSamplerate finds; none for an empty curve.
    std::optional<QData> qDataBeforeFromSamplerate(qint32 s) const;

    // Sets posStart and posEnd for the frames [firstFrame, lastFrame] and gives the y extent of the
    // points [posStart, posEnd); minY and maxY are meaningful only when found is true.
    void calculPosStartEnd(qint32 firstFrame, qint32 lastFrame, double& minY, double& maxY, bool& found);

    // Writes "<name>.qlw" into the current recording folder (created when missing) through a
    // temporary file. False when the file could not be written.
    bool exportCurveToQLWFile(const QString& name) const;
    // Replaces the points by those of the file at `path`. A missing or unreadable file leaves the
    // curve empty; a short file gives the records it holds completely; records with a non-finite
    // value are dropped. With `setBpm`, the stored tempo becomes the set's tempo when the 8-byte
    // header is complete and the tempo is above 0.
    void importCurveFromQLWFile(const QString& path, bool setBpm);

private:
    // Where frame s would be if points were exactly one processing step apart.
    int guessIndex(qint32 s) const;
    double processingStep() const;

    ModelGraph::EnumGraph m_curveName;
    // GUI thread only.
    int m_posStart = 0;
    int m_posEnd = 0;
    const std::unique_ptr<QListDataCurve> m_curveGlobal;
};
