#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/midi/ItemInterface.h"
#include "core/midi/ObjectMidi.h"

// The crossfader state the registry shares: the controller name, the mapped controls of its
// controller mapping, the configured crossfader control and the latest crossfader position.
// The mapping (controller name and controls) is loaded and read on the GUI thread only.
//
// The position is published by the MIDI worker and read by the audio input threads once per curve
// point, so reading it takes no lock and never frees memory. A reader announces itself in a counter
// while it holds a position; a publisher swaps the new position in and retires the old one, and
// frees what it retired only when it sees no reader at all: any reader that could still hold a
// retired position started before the swap, so a count of zero after the swap means all of them let go.
class Midi : public QObject {
    Q_OBJECT

public:
    // A reader's hold on the latest position: the position stays alive while the hold exists.
    class Position {
    public:
        Position() = default;
        Position(Position&& other) noexcept;
        Position& operator=(Position&& other) noexcept;
        Position(const Position&) = delete;
        Position& operator=(const Position&) = delete;
        ~Position();

        // False while no position was ever published.
        explicit operator bool() const { return m_object != nullptr; }
        const ObjectMidi* get() const { return m_object; }
        const ObjectMidi* operator->() const { return m_object; }
        const ObjectMidi& operator*() const { return *m_object; }

    private:
        friend class Midi;
        Position(const ObjectMidi* object, std::atomic<int>* readers)
            : m_object(object), m_readers(readers) {}
        void release();

        const ObjectMidi* m_object = nullptr;
        std::atomic<int>* m_readers = nullptr;
    };

    explicit Midi(QObject* parent = nullptr);
    ~Midi() override;

    // The controller type whose mapping was loaded; empty until one is.
    const QString& controllerName() const { return m_controllerName; }

    // Takes `controller` as the controller name and replaces the mapped controls (releasing the
    // previous ones) with the mapping's controls of that type; none when the file has none.
    void loadConfigListMidiItems(const QString& path, const QString& controller);
    // The control of the first mapped control of exactly this id name (case-sensitive) and mode, or
    // none. Valid until the mapping is loaded again.
    const ObjectMidi* objectMidiOfIdName(const QString& idName, ModelMode::EnumMode mode) const;

    // A copy of the configured crossfader control; none when not configured. Any thread.
    std::optional<ObjectMidi> crossFader() const;
    // Stores a copy of `control`; null clears it. Any thread.
    void setCrossFader(const ObjectMidi* control);

    // The latest position, none until the first one is published. Any thread; wait-free, allocates
    // and frees nothing.
    Position crossFaderPos() const;
    // Publishes a new latest position. Called by the MIDI worker; frees retired positions only when
    // no reader holds one.
    void setCrossFaderPos(std::unique_ptr<const ObjectMidi> position);

private:
    QString m_controllerName;
    ItemInterfaceList m_items;

    mutable std::mutex m_crossFaderMutex;
    std::optional<ObjectMidi> m_crossFader;

    std::atomic<const ObjectMidi*> m_crossFaderPos{nullptr};
    mutable std::atomic<int> m_positionReaders{0};
    // Publishers only.
    std::mutex m_retiredMutex;
    std::vector<std::unique_ptr<const ObjectMidi>> m_retired;
};
