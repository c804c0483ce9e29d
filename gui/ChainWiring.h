#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>
#include <typeinfo>

// The connections that one wiring of the run chains made. Clearing removes exactly those, so the
// other receivers of the same signals (the recording export's, the graph menu's) stay in place and
// nothing is connected twice by the next wiring.
//
// An observer, when one is set before the wiring, is told each receiver's label, and what that
// receiver calls (its object and slot), just before that receiver runs: a probe is connected right
// ahead of it. Receivers run in the order they were connected, so the labels come in the order the
// signal calls them. GUI thread only.
class ChainWiring {
public:
    // The object a connection calls and its slot, comparable with what `call` makes of the same pair.
    struct Call {
        const QObject* receiver = nullptr;
        QByteArray slot;
        bool operator==(const Call&) const = default;
    };
    using Observer = std::function<void(const QString& label)>;
    using CallObserver = std::function<void(const QString& label, const Call& call)>;

    template <typename Receiver, typename Slot> static Call call(const Receiver* receiver, Slot slot) {
        return {receiver, QByteArray(typeid(Slot).name()) +
                              QByteArray(reinterpret_cast<const char*>(&slot), sizeof(slot))};
    }

    ChainWiring() = default;
    ChainWiring(const ChainWiring&) = delete;
    ChainWiring& operator=(const ChainWiring&) = delete;
    ~ChainWiring() { clear(); }

    template <typename Sender, typename Signal, typename Receiver, typename Slot>
    void add(const QString& label, const Sender* sender, Signal signal, const Receiver* receiver, Slot slot) {
        if (m_observer)
            m_connections.append(QObject::connect(
                sender, signal, sender,
                [observer = m_observer, label, called = call(receiver, slot)] { observer(label, called); }));
        m_connections.append(QObject::connect(sender, signal, receiver, slot));
    }

    void clear() {
        for (const QMetaObject::Connection& connection : std::as_const(m_connections))
            QObject::disconnect(connection);
        m_connections.clear();
    }

    void setObserver(Observer observer) {
        if (observer)
            m_observer = [observer](const QString& label, const Call&) { observer(label); };
        else
            m_observer = nullptr;
    }
    void setCallObserver(CallObserver observer) { m_observer = std::move(observer); }
    qsizetype size() const { return m_connections.size(); }

private:
    QList<QMetaObject::Connection> m_connections;
    CallObserver m_observer;
};
