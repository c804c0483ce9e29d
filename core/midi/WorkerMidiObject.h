#pragma once

#include <QObject>

#include <optional>

#include "core/Model.h"
#include "core/midi/ObjectMidi.h"
#include "core/midi/QMidiIn.h"

// The MIDI worker: during a run it follows the configured MIDI input and publishes each change of the
// crossfader's zone (LEFT, MIDDLE, RIGHT) into the registry's Midi; on request it learns which
// control is the crossfader.
//
// Lives on a thread of its own; every slot runs there, and the MIDI input it owns lives and is used
// there too. The input's events come from the MIDI system's thread, delivered queued. The destructor
// runs once that thread has finished.
class WorkerMidiObject : public QObject {
    Q_OBJECT

public:
    WorkerMidiObject();
    ~WorkerMidiObject() override;

signals:
    // The first control change heard while learning.
    void s_LearnMidi(int channel, int controller);

public slots:
    // Follows the crossfader control Midi holds now; with none, the input stays closed.
    void startRun();
    void stopRun();
    void startLearnRun();
    // A short message of the input while following / while learning; the timing is not used.
    void message(quint32 message, quint32 timing);
    void learnMessage(quint32 message, quint32 timing);

private:
    void closeInput();
    // Opens the stored MIDI input when its text is exactly one of the listed ones, and connects its
    // events to learnMessage or message.
    void openInput(bool learn);

    QMidiIn m_midiIn{this};
    // The zone last published; kept from run to run.
    ModelCrossFader::EnumCrossFader m_lastStatus = ModelCrossFader::MIDDLE;
    // The worker's own copy of the crossfader control, taken at the start of a run.
    std::optional<ObjectMidi> m_crossFader;
    bool m_learning = false;
};
