#include "QWav.h"

#include <algorithm>

QWav::QWav(int samplerate, int channels, QList<QList<qint16>> lists)
    : m_samplerate(samplerate), m_channels(channels), m_listWav(std::move(lists)) {
    if (m_listWav.isEmpty() || m_listWav.first().isEmpty())
        return;
    const QList<qint16>& first = m_listWav.first();
    const auto [min, max] = std::minmax_element(first.cbegin(), first.cend());
    m_wavMin = *min;
    m_wavMax = *max;
}
