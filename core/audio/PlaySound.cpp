#include "PlaySound.h"

#include <algorithm>

PlaySound::PlaySound(std::shared_ptr<const QWav> wav, bool stereoOnlyWhenTwo) : m_wav(std::move(wav)) {
    if (!m_wav || m_wav->listWav().isEmpty())
        return;
    const QList<QList<qint16>>& lists = m_wav->listWav();
    const bool stereo = lists.size() >= 2 && (!stereoOnlyWhenTwo || m_wav->channels() == 2);
    const QList<qint16>& left = lists.at(0);
    const QList<qint16>& right = stereo ? lists.at(1) : left;
    // The QWav is immutable and kept alive here, so its rows never detach or move.
    m_left = left.constData();
    m_right = right.constData();
    m_size = std::min(left.size(), right.size());
}
