#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>

// The connections that one wiring of the run chains made. Clearing removes exactly those, so the
// other receivers of the same signals (the recording export's, the graph menu's) stay in place and
// nothing is connected twice by the next wiring.
//
// An observer, when one is set before the wiring, is told each receiver's label just before that
// receiver runs: a probe is connected right ahead of it. Receivers run in the order they were
// connected, so the labels come in the order the signal calls them. GUI thread only.
class ChainWiring {
public:
    using Observer = std::function<void(const QString& label)>;

    ChainWiring() = default;
    ChainWiring(const ChainWiring&) = delete;
    ChainWiring& operator=(const ChainWiring&) = delete;
    ~ChainWiring() { clear(); }

    template <typename Sender, typename Signal, typename Receiver, typename Slot>
    void add(const QString& label, const Sender* sender, Signal signal, const Receiver* receiver, Slot slot) {
        if (m_observer)
            m_connections.append(QObject::connect(sender, signal, sender, [observer = m_observer, label] {
                observer(label);
            }));
        m_connections.append(QObject::connect(sender, signal, receiver, slot));
    }

    void clear() {
        for (const QMetaObject::Connection& connection : std::as_const(m_connections))
            QObject::disconnect(connection);
        m_connections.clear();
    }

    void setObserver(Observer observer) { m_observer = std::move(observer); }
    qsizetype size() const { return m_connections.size(); }

private:
    QList<QMetaObject::Connection> m_connections;
    Observer m_observer;
};
