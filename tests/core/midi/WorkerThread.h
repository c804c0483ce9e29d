#pragma once

#include <QThread>

#include "core/midi/WorkerMidiObject.h"

// A MIDI worker on a QThread of its own, as the controller window runs it. Every call runs the slot
// on that thread and returns once it ran; the worker is deleted after the thread has finished.
class WorkerThread {
public:
    WorkerThread() {
        m_worker->moveToThread(&m_thread);
        m_thread.start();
    }
    ~WorkerThread() {
        m_thread.quit();
        m_thread.wait();
        delete m_worker;
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    WorkerMidiObject* worker() const { return m_worker; }

    template <typename Slot> void call(Slot slot) {
        QMetaObject::invokeMethod(m_worker, slot, Qt::BlockingQueuedConnection);
    }
    void message(quint32 message) {
        QMetaObject::invokeMethod(
            m_worker, [this, message] { m_worker->message(message, 0); }, Qt::BlockingQueuedConnection);
    }
    void learnMessage(quint32 message) {
        QMetaObject::invokeMethod(
            m_worker, [this, message] { m_worker->learnMessage(message, 0); }, Qt::BlockingQueuedConnection);
    }

private:
    QThread m_thread;
    WorkerMidiObject* m_worker = new WorkerMidiObject;
};
