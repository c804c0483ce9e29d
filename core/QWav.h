#pragma once

#include <QList>
#include <QtGlobal>

// A decoded sound: one list of 16-bit samples per channel. Immutable once built and shared as
// std::shared_ptr<const QWav> between the colour sets, the per-input state, the painters and the
// player, so any thread may read it without a lock.
class QWav {
public:
    // The empty sound: rate 0, no channel, no sample; played as silence.
    QWav() = default;
    QWav(int samplerate, int channels, QList<QList<qint16>> lists);

    int samplerate() const { return m_samplerate; }
    int channels() const { return m_channels; }
    const QList<QList<qint16>>& listWav() const { return m_listWav; }
    // Smallest and largest sample of channel 0; 0 without one.
    qint16 wavMin() const { return m_wavMin; }
    qint16 wavMax() const { return m_wavMax; }
    // Samples of channel 0.
    qsizetype size() const { return m_listWav.isEmpty() ? 0 : m_listWav.first().size(); }

private:
    int m_samplerate = 0;
    int m_channels = 0;
    QList<QList<qint16>> m_listWav;
    qint16 m_wavMin = 0;
    qint16 m_wavMax = 0;
};
