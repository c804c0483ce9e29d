#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

#include "QWav.h"

class QSample;

// The recording buffer of one input and the WAV file it becomes; also the WAV reader.
//
// One audio callback appends (addData) while the GUI thread owns the object. Samples are kept in
// fixed-size blocks that are never moved, so an hour-long recording grows without copying. The
// callback takes each new block from a spare slot that a timer on the GUI thread keeps filled; it
// allocates a block itself only when the GUI thread fell behind by a whole block (seconds).
class ManageWAV : public QObject {
    Q_OBJECT

public:
    // Samples per block: 512 KiB, about 2.7 s of stereo at 48000 frames per second.
    static constexpr qint64 BLOCK_SAMPLES = qint64(1) << 18;
    // The RIFF size field (36 + 2 x samples) must fit 32 bits; even, so the file ends on a whole frame.
    static constexpr qint64 MAX_SAMPLES = ((qint64(0xFFFFFFFF) - 36) / 2) & ~qint64(1);

    // GUI thread. `maxSamples` lowers the limit (clamped to MAX_SAMPLES); appending stops there.
    explicit ManageWAV(QObject* parent = nullptr, qint64 maxSamples = MAX_SAMPLES);
    ~ManageWAV() override;

    // Audio thread, a single producer: appends the one sample `sample` points to; nothing once the
    // limit is reached. Bounded work, no lock, no allocation while a spare block is ready.
    void addData(const qint16* sample);
    // Any thread: the samples appended so far.
    qint64 size() const { return m_size.load(std::memory_order_acquire); }

    // GUI thread, once the callback no longer appends (its stream is stopped): writes the samples as a
    // stereo 16-bit PCM file at the descriptor's rate, through a temporary file renamed into place.
    // Returns false, with a warning and the reason in `reason` when given, when the file could not be
    // written or there is no descriptor.
    bool createWAVFile(const QString& name, const QSample* sample, QString* reason = nullptr) const;

    // Any thread: the sound of a 16-bit PCM WAV file, never null. A file that cannot be opened gives
    // the empty sound; so does a malformed or unsupported one, with a warning.
    static std::shared_ptr<const QWav> extractStereoWAVFromFile(const QString& name);
    // What the file holds, for a message saying why a sound was refused: "16-bit PCM, 2 channels,
    // 48000 Hz, 96000 samples", or that it is no WAV file. `usable` tells whether
    // extractStereoWAVFromFile gives samples from it.
    static QString describeWAVFile(const QString& name, bool* usable);

private:
    bool takeBlock();
    void refillSpare();

    const qint64 m_maxSamples;
    // Capacity reserved for every block up to the limit, so adding one never reallocates.
    std::vector<std::unique_ptr<qint16[]>> m_blocks;
    // Filled on the GUI thread, emptied by the callback.
    std::atomic<qint16*> m_spare{nullptr};
    std::atomic<qint64> m_size{0};
    QTimer m_refill;
};
