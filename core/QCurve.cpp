#include "QCurve.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "Constant.h"
#include "PathFile.h"
#include "Performance.h"
#include "RecordingLooperTraining.h"
#include "Singleton.h"
#include "FileIO.h"

namespace {

// Points encoded or decoded at a time, so neither direction holds a whole long curve twice.
constexpr int BLOCK_POINTS = 4096;

qint16 rotationCode(ModelRotation::EnumRotation rotation) {
    switch (rotation) {
    case ModelRotation::FORWARD:
        return 1;
    case ModelRotation::BACK:
        return 0;
    default:
        return 2;
    }
}

ModelRotation::EnumRotation rotationFromCode(qint16 code) {
    if (code == 1)
        return ModelRotation::FORWARD;
    if (code == 0)
        return ModelRotation::BACK;
    return ModelRotation::UNDEFINED;
}

void encode(const QData& point, char* at) {
    qToLittleEndian<qint32>(point.samplerate(), at);
    qToLittleEndian<double>(point.y(), at + 4);
    qToLittleEndian<double>(point.targetPosition(), at + 12);
    qToLittleEndian<qint16>(rotationCode(point.rotation()), at + 20);
    at[22] = point.drawon() ? 1 : 0;
}

// None when a stored value is not finite.
std::optional<QData> decode(const char* at) {
    const double y = qFromLittleEndian<double>(at + 4);
    const double targetPosition = qFromLittleEndian<double>(at + 12);
    if (!std::isfinite(y) || !std::isfinite(targetPosition))
        return std::nullopt;
    QData point;
    point.setSamplerate(qFromLittleEndian<qint32>(at));
    point.setY(y);
    point.setTargetPosition(targetPosition);
    point.setRotation(rotationFromCode(qFromLittleEndian<qint16>(at + 20)));
    point.setDrawon(at[22] != 0);
    return point;
}

// The set's played tempo as whole beats, toward zero; 0 when it is not a finite number.
qint32 storedTempo() {
    const double bpm = Singleton::instance()->instanceLooperTraining()->bpmFactorSpeed();
    if (!std::isfinite(bpm))
        return 0;
    return static_cast<qint32>(std::trunc(std::clamp(bpm, double(INT_MIN), double(INT_MAX))));
}

} // namespace

QCurve::QCurve(ModelGraph::EnumGraph curveName)
    : m_curveName(curveName), m_curveGlobal(std::make_unique<QListDataCurve>(curveName)) {}

void QCurve::reset() {
    m_posStart = 0;
    m_curveGlobal->clear();
}

void QCurve::addDataCurve(const QData& point) {
    // Only a curve that began before any valid timecode, meeting its first one, needs the back-fill.
    const std::optional<QData> first = m_curveGlobal->value(0);
    const bool backFill = first && first->timecode() == -1 && point.timecode() >= 0;
    const int index = m_curveGlobal->addQdata(point);
    if (backFill && index >= 1)
        m_curveGlobal->initStartValueBeforeTimecode(index);
}

double QCurve::processingStep() const {
    return Singleton::instance()->instancePerformance()->processingSampleStep(m_curveName);
}

int QCurve::guessIndex(qint32 s) const {
    const double step = processingStep();
    if (!(step > 0.0) || !std::isfinite(step))
        return 0;
    return static_cast<int>(std::min(s / step, double(INT_MAX)));
}

int QCurve::searchPosAfterFromSamplerate(qint32 s) const {
    if (s < 1)
        return 0;
    return m_curveGlobal->indexAtOrAfter(s, guessIndex(s));
}

int QCurve::searchPosBeforeFromSamplerate(qint32 s) const {
    if (s < 1)
        return 0;
    return m_curveGlobal->indexAtOrBefore(s, guessIndex(s));
}

std::optional<QData> QCurve::qDataBeforeFromSamplerate(qint32 s) const {
    return m_curveGlobal->value(searchPosBeforeFromSamplerate(s));
}

void QCurve::calculPosStartEnd(qint32 firstFrame, qint32 lastFrame, double& minY, double& maxY, bool& found) {
    minY = std::numeric_limits<double>::max();
    maxY = std::numeric_limits<double>::min();
    found = false;
    if (m_curveGlobal->size() == 0)
        return;
    m_posStart = searchPosAfterFromSamplerate(firstFrame);
    m_posEnd = searchPosBeforeFromSamplerate(lastFrame);
    if (m_posEnd <= m_posStart)
        return;
    found = m_curveGlobal->extentY(m_posStart, m_posEnd, minY, maxY);
}

bool QCurve::exportCurveToQLWFile(const QString& name) const {
    const QString folder = Singleton::instance()->instancePathFile()->createPathDirectory_recording();
    QSaveFile file(folder + "/" + name + Constant::Extension::QLW);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // One count for the header and the records: points appended meanwhile are not written.
    const int count = m_curveGlobal->size();
    char header[HEADER_SIZE];
    qToLittleEndian<qint32>(storedTempo(), header);
    qToLittleEndian<qint32>(count, header + 4);
    file.write(header, HEADER_SIZE);
    std::vector<QData> points(std::min(count, BLOCK_POINTS));
    QByteArray bytes;
    for (int first = 0; first < count;) {
        const int copied =
            m_curveGlobal->copyRange(first, std::min(count - first, BLOCK_POINTS), points.data());
        if (copied == 0) {
            // The list was emptied under us: the header would not match the records.
            file.cancelWriting();
            return false;
        }
        bytes.resize(qsizetype(copied) * RECORD_SIZE);
        for (int i = 0; i < copied; ++i)
            encode(points[i], bytes.data() + qsizetype(i) * RECORD_SIZE);
        file.write(bytes);
        first += copied;
    }
    return FileIO::commit(file);
}

void QCurve::importCurveFromQLWFile(const QString& path, bool setBpm) {
    m_curveGlobal->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    char header[HEADER_SIZE];
    if (file.read(header, HEADER_SIZE) != HEADER_SIZE)
        return;
    const qint32 tempo = qFromLittleEndian<qint32>(header);
    if (setBpm && tempo > 0)
        Singleton::instance()->instanceLooperTraining()->setBpm(tempo);
    // The stored count only bounds the reading; memory follows the bytes actually present.
    qint64 remaining = std::max<qint32>(qFromLittleEndian<qint32>(header + 4), 0);
    while (remaining > 0) {
        const qint64 wanted = std::min<qint64>(remaining, BLOCK_POINTS) * RECORD_SIZE;
        const QByteArray bytes = file.read(wanted);
        const qint64 records = bytes.size() / RECORD_SIZE;
        for (qint64 i = 0; i < records; ++i) {
            if (const std::optional<QData> point = decode(bytes.constData() + i * RECORD_SIZE))
                m_curveGlobal->addQdata(*point);
        }
        if (bytes.size() < wanted)
            break;
        remaining -= records;
    }
}
