#pragma once

#include <QObject>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "core/midi/WorkerMidiObject.h"

// A MIDI worker on a QThread of its own, as the controller window runs it. Every call runs the slot
// on that thread and returns once it ran; the worker is deleted after the thread has finished.
//
// Calls are handed over under a std::mutex rather than by a blocking queued invocation: Qt's own
// queue and semaphores are not instrumented, so ThreadSanitizer would not see that a call's effects
// come before what the test reads next. The queued signal only wakes the thread and carries nothing.
class WorkerThread : public QObject {
    Q_OBJECT

public:
    WorkerThread() {
        m_worker->moveToThread(&m_thread);
        QObject::connect(
            this, &WorkerThread::wake, m_worker, [this] { runJob(); }, Qt::QueuedConnection);
        m_thread.start();
    }
    ~WorkerThread() override {
        run([] {}); // the worker's last effects are seen here, before it is deleted
        m_thread.quit();
        m_thread.wait();
        delete m_worker;
    }

    WorkerMidiObject* worker() const { return m_worker; }

    template <typename Slot> void call(Slot slot) {
        run([this, slot] { (m_worker->*slot)(); });
    }
    void message(quint32 message) {
        run([this, message] { m_worker->message(message, 0); });
    }
    void learnMessage(quint32 message) {
        run([this, message] { m_worker->learnMessage(message, 0); });
    }

signals:
    void wake();

private:
    void run(std::function<void()> job) {
        {
            std::lock_guard lock(m_mutex);
            m_job = std::move(job);
            m_done = false;
        }
        emit wake();
        std::unique_lock lock(m_mutex);
        m_ran.wait(lock, [this] { return m_done; });
    }
    // On the worker's thread.
    void runJob() {
        std::function<void()> job;
        {
            std::lock_guard lock(m_mutex);
            job = std::move(m_job);
        }
        job();
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ran.notify_one();
    }

    QThread m_thread;
    WorkerMidiObject* m_worker = new WorkerMidiObject;
    std::mutex m_mutex;
    std::condition_variable m_ran;
    std::function<void()> m_job;
    bool m_done = false;
};
