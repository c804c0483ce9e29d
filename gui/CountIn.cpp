#include "CountIn.h"

#include <QTimer>

namespace {

// Below this the steps keep to the millisecond; from it on they may come a little late.
constexpr int PRECISE_BELOW_MS = 2000;

} // namespace

CountIn::CountIn(QObject* parent) : QObject(parent) {}

void CountIn::schedule(int delayMs, QObject* context, std::function<void()> step) {
    auto found = m_due.find(delayMs);
    if (found == m_due.end()) {
        auto* timer = new QTimer(this);
        timer->setSingleShot(true);
        timer->setTimerType(delayMs < PRECISE_BELOW_MS ? Qt::PreciseTimer : Qt::CoarseTimer);
        connect(timer, &QTimer::timeout, this, [this, delayMs] { fire(delayMs); });
        timer->start(delayMs);
        found = m_due.emplace(delayMs, Due{timer, {}}).first;
    }
    found->second.steps.append({context, std::move(step)});
}

void CountIn::cancel() {
    ++m_generation;
    for (auto& [delay, due] : m_due)
        delete due.timer;
    m_due.clear();
}

QList<int> CountIn::pendingDelays() const {
    QList<int> delays;
    for (const auto& [delay, due] : m_due)
        delays.append(delay);
    return delays;
}

void CountIn::fire(int delayMs) {
    const auto found = m_due.find(delayMs);
    if (found == m_due.end())
        return;
    Due due = std::move(found->second);
    m_due.erase(found);
    due.timer->deleteLater();
    // A step may cancel the count-in (a stop from inside a step): the steps after it do not run.
    const quint64 generation = m_generation;
    for (const Step& step : std::as_const(due.steps)) {
        if (m_generation != generation)
            return;
        if (step.context)
            step.run();
    }
}
