#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class QTimer;

// The steps of a count-in, each due some milliseconds from now. Steps due at the same moment share one
// single-shot timer and run in the order they were scheduled. Cancelling drops every step still
// pending, so a run stopped (or started again) during its count-in gets no late step. GUI thread only.
class CountIn : public QObject {
    Q_OBJECT

public:
    explicit CountIn(QObject* parent = nullptr);

    // `step` runs after `delayMs` unless `context` is gone by then or the count-in is cancelled.
    void schedule(int delayMs, QObject* context, std::function<void()> step);
    void cancel();
    bool isPending() const { return !m_due.empty(); }
    // The delays of the steps still pending, in milliseconds from when each was scheduled, ascending.
    QList<int> pendingDelays() const;

private:
    struct Step {
        QPointer<QObject> context;
        std::function<void()> run;
    };
    struct Due {
        QTimer* timer;
        QList<Step> steps;
    };
    void fire(int delayMs);

    std::map<int, Due> m_due;
    quint64 m_generation = 0;
};
