#include "WorkerMidiObject.h"

#include <QStringList>

#include <memory>

#include "core/Constant.h"
#include "core/Function.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/Midi.h"

namespace {

constexpr quint32 CONTROL_CHANGE = 0xB0;

bool isControlChange(quint32 message) {
    return (message & 0xF0) == CONTROL_CHANGE;
}
int channelOf(quint32 message) {
    return int(message & 0x0F);
}
int firstDataByte(quint32 message) {
    return int((message >> 8) & 0xFF);
}
int secondDataByte(quint32 message) {
    return int((message >> 16) & 0xFF);
}

} // namespace

WorkerMidiObject::WorkerMidiObject() = default;

WorkerMidiObject::~WorkerMidiObject() {
    closeInput();
}

void WorkerMidiObject::startRun() {
    closeInput();
    m_crossFader = Singleton::instance()->instanceMidi()->crossFader();
    if (!m_crossFader)
        return; // no position will be published: every point stays audible
    m_crossFader->setName(Constant::Midi::MIDI_CROSSFADER);
    openInput(false);
}

void WorkerMidiObject::stopRun() {
    closeInput();
}

void WorkerMidiObject::startLearnRun() {
    closeInput();
    openInput(true);
    m_learning = true;
}

// Both calls on the input do nothing while it is not connected.
void WorkerMidiObject::closeInput() {
    QObject::disconnect(&m_midiIn, &QMidiIn::midiEvent, this, nullptr);
    m_midiIn.stop();
    m_midiIn.disconnect();
}

void WorkerMidiObject::openInput(bool learn) {
    const QString stored = Singleton::instance()->instanceSetting()->paramInput_Midi(false)->text();
    // A source whose index or name changed since it was chosen is not opened.
    if (!Function::devicesMidiIn().contains(stored))
        return;
    if (!m_midiIn.connect(stored.section(QLatin1Char(':'), 0, 0)))
        return;
    if (learn)
        QObject::connect(&m_midiIn, &QMidiIn::midiEvent, this, &WorkerMidiObject::learnMessage,
                         Qt::QueuedConnection);
    else
        QObject::connect(&m_midiIn, &QMidiIn::midiEvent, this, &WorkerMidiObject::message,
                         Qt::QueuedConnection);
    m_midiIn.start();
}

void WorkerMidiObject::message(quint32 message, quint32) {
    if (!isControlChange(message) || !m_crossFader || firstDataByte(message) != m_crossFader->controller() ||
        channelOf(message) != m_crossFader->channel())
        return;
    auto position = std::make_unique<ObjectMidi>(m_crossFader->channel(), m_crossFader->controller(),
                                                 m_crossFader->mode());
    position->setName(m_crossFader->name());
    position->setValue(secondDataByte(message));
    // Read at every message, so a change in the settings applies to the next one.
    Setting* setting = Singleton::instance()->instanceSetting();
    position->setCrossLeftRight(setting->paramCrossfaderLeft(false), setting->paramCrossfaderRight(false));
    const ModelCrossFader::EnumCrossFader status = position->status();
    if (status == m_lastStatus)
        return;
    Singleton::instance()->instanceMidi()->setCrossFaderPos(std::move(position));
    m_lastStatus = status;
}

void WorkerMidiObject::learnMessage(quint32 message, quint32) {
    if (!isControlChange(message) || !m_learning)
        return;
    m_learning = false;
    emit s_LearnMidi(channelOf(message), firstDataByte(message));
}
