#pragma once

#include <QObject>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "core/midi/WorkerMidiObject.h"

// A MIDI worker on a QThread of its own, as the controller window runs it; deleted after the
// thread has finished. Jobs are handed over under a std::mutex rather than by a blocking queued
// call: Qt's queue is not instrumented, so ThreadSanitizer would not see that a job's effects come
// before what the test reads next. The queued signal only wakes the thread.
class WorkerThread : public QObject {
    Q_OBJECT

public:
    WorkerThread() {
        worker->moveToThread(&m_thread);
        connect(
            this, &WorkerThread::wake, worker, [this] { runJob(); }, Qt::QueuedConnection);
        m_thread.start();
    }
    ~WorkerThread() override {
        call(&WorkerMidiObject::stopRun); // the worker's last effects are seen here
        m_thread.quit();
        m_thread.wait();
        delete worker;
    }
    // Runs `slot` on the worker's thread and returns once it ran.
    template <typename... Params, typename... Args>
    void call(void (WorkerMidiObject::*slot)(Params...), Args... args) {
        std::unique_lock lock(m_mutex);
        m_job = [=, this] { (worker->*slot)(args...); };
        emit wake();
        m_ran.wait(lock, [this] { return !m_job; });
    }

    WorkerMidiObject* const worker = new WorkerMidiObject;

signals:
    void wake();

private:
    void runJob() { // on the worker's thread
        std::lock_guard lock(m_mutex);
        m_job();
        m_job = nullptr;
        m_ran.notify_one();
    }

    QThread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ran;
    std::function<void()> m_job;
};
