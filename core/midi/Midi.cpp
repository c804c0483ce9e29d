#include "Midi.h"

#include "core/midi/ParserMidi.h"

Midi::Position::Position(Position&& other) noexcept : m_object(other.m_object), m_readers(other.m_readers) {
    other.m_object = nullptr;
    other.m_readers = nullptr;
}

Midi::Position& Midi::Position::operator=(Position&& other) noexcept {
    if (this != &other) {
        release();
        m_object = other.m_object;
        m_readers = other.m_readers;
        other.m_object = nullptr;
        other.m_readers = nullptr;
    }
    return *this;
}

Midi::Position::~Position() {
    release();
}

void Midi::Position::release() {
    if (m_readers)
        m_readers->fetch_sub(1);
    m_readers = nullptr;
    m_object = nullptr;
}

Midi::Midi(QObject* parent) : QObject(parent) {}

Midi::~Midi() {
    delete m_crossFaderPos.load();
}

void Midi::loadConfigListMidiItems(const QString& path, const QString& controller) {
    m_controllerName = controller;
    m_items = ParserMidi::parseXmlNi(path, controller);
}

const ObjectMidi* Midi::objectMidiOfIdName(const QString& idName, ModelMode::EnumMode mode) const {
    for (const auto& item : m_items) {
        if (item->mode() == mode && item->idName() == idName)
            return &item->objectMidi();
    }
    return nullptr;
}

std::optional<ObjectMidi> Midi::crossFader() const {
    std::lock_guard lock(m_crossFaderMutex);
    return m_crossFader;
}

void Midi::setCrossFader(const ObjectMidi* control) {
    std::lock_guard lock(m_crossFaderMutex);
    if (control)
        m_crossFader = *control;
    else
        m_crossFader.reset();
}

// Sequentially consistent on purpose: the count must rise before the pointer is read, and the
// publisher's swap must come before its look at the count.
Midi::Position Midi::crossFaderPos() const {
    m_positionReaders.fetch_add(1);
    return Position(m_crossFaderPos.load(), &m_positionReaders);
}

void Midi::setCrossFaderPos(std::unique_ptr<const ObjectMidi> position) {
    std::lock_guard lock(m_retiredMutex);
    if (const ObjectMidi* old = m_crossFaderPos.exchange(position.release()))
        m_retired.emplace_back(old);
    if (m_positionReaders.load() == 0)
        m_retired.clear();
}
