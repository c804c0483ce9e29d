#include "Time.h"

#include <algorithm>

#include <QDateTime>

#include <algorithm>
#include <chrono>

#include "QSample.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

template <typename Clock> qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

} // namespace

Time::Time(QObject* parent) : QObject(parent) {
    const qint64 now = nowNs<std::chrono::steady_clock>();
    m_startSteady[0].store(now, relaxed);
    m_startSteady[1].store(now, relaxed);
}

int Time::index(ModelGraph::EnumGraph graph) {
    return graph == ModelGraph::INPUT_A ? 0 : graph == ModelGraph::INPUT_B ? 1 : -1;
}

// Reads two clocks and stores two numbers: safe on an audio thread (no time-zone lookup here).
void Time::resetStartTime(ModelGraph::EnumGraph graph) {
    const int input = index(graph);
    if (input < 0)
        return;
    m_startSteady[input].store(nowNs<std::chrono::steady_clock>(), relaxed);
    m_startWall[input].store(nowNs<std::chrono::system_clock>(), relaxed);
}

double Time::startTime(ModelGraph::EnumGraph graph) const {
    const int input = index(graph);
    const qint64 wall = input < 0 ? 0 : m_startWall[input].load(relaxed);
    if (wall == 0)
        return 0.0;
    const QTime time = QDateTime::fromMSecsSinceEpoch(wall / 1000000).time();
    return time.isValid() ? time.msecsSinceStartOfDay() : 0.0;
}

double Time::currentTimeToSamplerate(ModelGraph::EnumGraph graph, const QSample* sample) const {
    const int input = index(graph);
    if (input < 0 || !sample)
        return 0.0;
    // The start is read before the clock, and a reset on the audio thread between the two reads gives 0,
    // never a negative time.
    const qint64 start = m_startSteady[input].load(relaxed);
    const qint64 elapsed = std::max<qint64>(0, nowNs<std::chrono::steady_clock>() - start);
    return elapsed / 1.0e6 * sample->samplerateInMs();
}

double Time::currentSamplerate(ModelGraph::EnumGraph graph) const {
    const int input = index(graph);
    return input < 0 ? 0.0 : m_currentSamplerate[input].load(relaxed);
}

void Time::setCurrentSamplerate(ModelGraph::EnumGraph graph, double value) {
    const int input = index(graph);
    if (input >= 0)
        m_currentSamplerate[input].store(value, relaxed);
}

void Time::resetCurrentSamplerate(ModelGraph::EnumGraph graph) {
    setCurrentSamplerate(graph, 0.0);
}

double Time::currentSamplerate_m_s(ModelGraph::EnumGraph graph) const {
    const int input = index(graph);
    return input < 0 ? 0.0 : m_currentSamplerate_m_s[input].load(relaxed);
}

// A single writer: load and store, no read-modify-write needed.
void Time::incrementCurrentSamplerate_m_s(ModelGraph::EnumGraph graph) {
    const int input = index(graph);
    if (input >= 0)
        m_currentSamplerate_m_s[input].store(m_currentSamplerate_m_s[input].load(relaxed) + 1.0, relaxed);
}

void Time::resetCurrentSamplerate_m_s(ModelGraph::EnumGraph graph) {
    const int input = index(graph);
    if (input >= 0)
        m_currentSamplerate_m_s[input].store(0.0, relaxed);
}

bool Time::streamRunning(ModelGraph::EnumGraph graph) const {
    const int input = index(graph);
    return input >= 0 && m_streamRunning[input].load(relaxed);
}

void Time::setStreamRunning(ModelGraph::EnumGraph graph, bool running) {
    const int input = index(graph);
    if (input >= 0)
        m_streamRunning[input].store(running, relaxed);
}
