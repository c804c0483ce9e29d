#pragma once

#include <QObject>
#include <QString>

#include <portaudio.h>

#include <memory>
#include <vector>

#include "PlayContext.h"
#include "PlaySetup.h"
#include "core/Model.h"

class QSample;

// The player: owns the one PortAudio output stream and mixes, frame by frame, deck A and deck B (each
// the input's scratch sound steered by its live curve), the looper, the recorded sounds A and B and
// the metronome into one channel pair of the output device.
//
// The object and its slots live on the GUI thread; the output callback runs on PortAudio's audio
// thread. The slots never write what the callback is using: they build a new set-up, publish it
// through the callback context, and leave requests (activate, reset positions, re-anchor) that the
// callback carries out. Replaced set-ups, and the sounds only they held, are freed here on the GUI
// thread once the callback can no longer hold them.
class WorkerPlayObject : public QObject {
    Q_OBJECT

public:
    static inline const QString NAME = QStringLiteral("Play");

    WorkerPlayObject();
    ~WorkerPlayObject() override;

    bool isPlaying() const { return m_isPlaying; }
    // The set-up last published.
    const PlaySetup& setup() const { return m_setup; }
    // The context PortAudio hands to paTestOutputCallback.
    PlayContext* context() { return &m_context; }

    // Audio thread: fills the output buffer of `userData`, a PlayContext. Always continues.
    static int paTestOutputCallback(const void* input, void* output, unsigned long frameCount,
                                    const PaStreamCallbackTimeInfo* timeInfo,
                                    PaStreamCallbackFlags statusFlags, void* userData);

    // Decks, factors, volumes and timing again from the registry. Without relaunch the channels stop
    // and the decks take the inputs' present descriptors; every channel restarts from position 0
    // and both decks pick up behind their curves' newest points.
    void init(bool relaunch);

public slots:
    // Closes a stream still open, then opens the output stream on the descriptor's device, if it has
    // one and its index still names it.
    void load(std::shared_ptr<const QSample> sample);
    void play();
    void stop();

    // Replace a channel's sound (none for an empty path); active flag, position and factor stay.
    void updateWavLooper(const QString& path);
    void updateWavSoundA(const QString& path);
    void updateWavSoundB(const QString& path);
    void updateWavMetronum(const QString& path);
    // Set the channel active; a channel still playing goes on.
    void activatedOnTimeLooper();
    void activatedOnTimeSoundA();
    void activatedOnTimeSoundB();
    void activatedOnTimeMetronum();
    void restartSound();

    // The inputs' scratch sounds changed: set both decks up again.
    void updateWav();
    // Volumes from the settings; a deck volume of 0 switches generate-sound mode off.
    void updateVolume();
    void updateGenerateCutOffSound();
    void changeStatusGenerateDeck(bool generate);
    void initRelaunch();

private:
    static int deckOf(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }

    void setupDeck(ModelGraph::EnumGraph graph);
    void setupDeckTiming(ModelGraph::EnumGraph graph);
    void updateChannelWav(PlaySetup::Channel channel, const QString& path);
    void activate(PlaySetup::Channel channel);

    void publish();
    // Frees the set-ups the callback can no longer hold; all of them once no stream is open.
    void reclaim(bool all);
    void closeStream(bool abort);

    std::shared_ptr<const QSample> m_sample;
    PaStream* m_stream = nullptr;
    bool m_isPlaying = false;
    // The inputs' descriptors the deck timing is computed from.
    std::shared_ptr<const QSample> m_deckSample[2];

    // The set-up being edited; a copy of it is what the callback plays.
    PlaySetup m_setup;
    std::unique_ptr<const PlaySetup> m_published;
    struct Retired {
        quint64 stamp;
        std::unique_ptr<const PlaySetup> setup;
    };
    std::vector<Retired> m_retired;
    PlayContext m_context;
};
