#include "QMidiIn.h"

#include <vector>

#include "platform/midi/MidiSystem.h"

namespace {

// Display names are read into 256 bytes: at most 255 bytes of UTF-8, cut where a character starts.
QString displayName(const std::string& name) {
    std::size_t length = name.find('\0');
    if (length == std::string::npos)
        length = name.size();
    if (length > 255) {
        length = 255;
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
            --length;
    }
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(length));
}

} // namespace

QMidiIn::QMidiIn(QObject* parent) : QObject(parent) {}

QMidiIn::~QMidiIn() {
    disconnect();
}

QMap<QString, QString> QMidiIn::devices() {
    MidiSystem::runLoopPass();
    QMap<QString, QString> sources;
    const std::vector<MidiSource> list = MidiSystem::sources();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].name.empty())
            continue; // its name could not be read
        sources.insert(QString::number(i), displayName(list[i].name));
    }
    return sources;
}

bool QMidiIn::connect(const QString& id) {
    if (m_connected)
        disconnect();
    auto client = std::make_unique<MidiClient>("QMidi Input Client");
    auto port = client->createInputPort(("QMidi Input Port " + id).toStdString(), &QMidiIn::read, this);
    const int index = id.toInt();
    const std::vector<MidiSource> list = MidiSystem::sources();
    if (index < 0 || static_cast<std::size_t>(index) >= list.size())
        return false;
    m_source = list[static_cast<std::size_t>(index)];
    m_client = std::move(client);
    m_port = std::move(port);
    m_id = id;
    m_connected = true;
    return true;
}

void QMidiIn::start() {
    if (m_connected)
        m_port->connectSource(*m_source);
}

void QMidiIn::stop() {
    if (m_connected)
        m_port->disconnectSource();
}

void QMidiIn::disconnect() {
    if (!m_connected)
        return;
    m_port->disconnectSource();
    m_port.reset();
    m_client.reset();
    m_source.reset();
    m_connected = false;
}

// Runs on the MIDI system's thread.
void QMidiIn::read(const std::uint8_t* list, std::size_t size, void* self) {
    auto* input = static_cast<QMidiIn*>(self);
    walkPacketList(list, size,
                   [input](quint32 message, quint32 timing) { emit input->midiEvent(message, timing); });
}
