#include "RecordingLooperTraining.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "QSample.h"

namespace {

// A tempo as the whole beats the interface shows: toward zero, non-finite as 0, clamped to int.
int wholeBeats(double bpm) {
    if (!std::isfinite(bpm))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(bpm), double(INT_MIN), double(INT_MAX)));
}

} // namespace

RecordingLooperTraining::RecordingLooperTraining(QObject* parent) : QObject(parent) {}

void RecordingLooperTraining::setVersion(int version) {
    m_version = version;
    emit s_Update();
}

void RecordingLooperTraining::setMode(ModelActivatedMode::EnumActivatedMode mode) {
    m_mode = mode;
    emit s_Update();
}

void RecordingLooperTraining::setTitle(const QString& title) {
    m_title = title;
    emit s_Update();
}

void RecordingLooperTraining::setAuthor(const QString& author) {
    m_author = author;
    emit s_Update();
}

void RecordingLooperTraining::setUrl(const QString& url) {
    m_url = url;
    emit s_Update();
}

void RecordingLooperTraining::setPathSound_Looper(const QString& path) {
    m_pathSound_Looper = path;
    emit s_Update();
}

void RecordingLooperTraining::setOffset(double offset) {
    m_offset = offset;
    emit s_Update();
}

void RecordingLooperTraining::setPathSound_A(const QString& path) {
    m_pathSound_A = path;
    emit s_Update();
}

void RecordingLooperTraining::setPathSound_B(const QString& path) {
    m_pathSound_B = path;
    emit s_Update();
}

void RecordingLooperTraining::setPathColor_A(const QString& path) {
    m_pathColor_A = path;
    emit s_Update();
}

void RecordingLooperTraining::setPathColor_B(const QString& path) {
    m_pathColor_B = path;
    emit s_Update();
}

void RecordingLooperTraining::setBpm(double bpm) {
    m_bpm = bpm;
    emit s_UpdateBpm(wholeBeats(bpm));
}

void RecordingLooperTraining::setFactorSpeed(double bpm) {
    if (!(bpm > 0.0) || !std::isfinite(bpm))
        return;
    m_factorSpeed = m_bpm > 0.0 ? bpm / m_bpm : 1.0;
    m_bpmFactorSpeed = bpm;
}

void RecordingLooperTraining::setBpmSamplerate(ModelGraph::EnumGraph graph, const QSample* sample) {
    if (!sample || !(m_bpmFactorSpeed > 0.0))
        return;
    m_bpmSamplerate[index(graph)] = sample->samplerateInMinute() / m_bpmFactorSpeed;
}

bool RecordingLooperTraining::opensCurve(const QString& path) {
    return !path.isEmpty() && path.endsWith(Constant::Extension::QLW, Qt::CaseSensitive);
}

void RecordingLooperTraining::setPathCurve_1(const QString& path) {
    m_pathCurve_1 = path;
    emit s_Update();
    emit s_ResetCurve_1();
    if (opensCurve(path))
        emit s_OpenCurve_1(path, true);
}

void RecordingLooperTraining::setPathCurve_2(const QString& path) {
    m_pathCurve_2 = path;
    emit s_Update();
    emit s_ResetCurve_2();
    if (opensCurve(path))
        emit s_OpenCurve_2(path, true);
}
