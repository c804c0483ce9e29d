#pragma once

#include <QtGlobal>

#include <memory>

#include "core/QWav.h"

// The player's view of one decoded sound: the left and right sample rows it reads, and how many
// frames both hold. Built on the GUI thread; it keeps the sound alive, so the audio thread may read
// it while the set-up that holds the view is published. Every index in [0, size()) is valid on
// both rows, whatever the file held.
class PlaySound {
public:
    // No sound.
    PlaySound() = default;

    // A deck reads the right side from channel 1 whenever there is one; a mono sound feeds both sides.
    static PlaySound forDeck(std::shared_ptr<const QWav> wav) { return PlaySound(std::move(wav), false); }
    // A sound channel reads channel 1 only when the sound has exactly 2 channels, else channel 0 twice.
    static PlaySound forChannel(std::shared_ptr<const QWav> wav) { return PlaySound(std::move(wav), true); }

    // A sound is loaded, possibly an empty one.
    bool loaded() const { return m_wav != nullptr; }
    const std::shared_ptr<const QWav>& wav() const { return m_wav; }
    // Frames readable on both sides: the samples of channel 0, fewer when the right row is shorter.
    qint64 size() const { return m_size; }
    // Any thread; i in [0, size()).
    qint16 left(qint64 i) const { return m_left[i]; }
    qint16 right(qint64 i) const { return m_right[i]; }

private:
    PlaySound(std::shared_ptr<const QWav> wav, bool stereoOnlyWhenTwo);

    std::shared_ptr<const QWav> m_wav;
    const qint16* m_left = nullptr;
    const qint16* m_right = nullptr;
    qint64 m_size = 0;
};
