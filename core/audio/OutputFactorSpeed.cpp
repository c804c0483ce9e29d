#include "OutputFactorSpeed.h"

void OutputFactorSpeed::generateSoundWavFactorSpeed(const Setup& setup, double& left, double& right) {
    if (!m_active || !setup.wav.loaded())
        return;
    const qint64 size = setup.wav.size();
    // Also ends a position that a negative or non-finite factor carried out of the sound.
    if (!(m_position >= 0.0 && m_position < double(size - 1))) {
        m_position = 0.0;
        m_active = false;
        return;
    }
    const qint64 i = qint64(m_position);
    double l = setup.wav.left(i);
    double r = setup.wav.right(i);
    if (setup.factorSpeed < 1.0) {
        const qint64 j = (i + 1) % size;
        const double w = m_position - double(i);
        l = (1.0 - w) * l + w * setup.wav.left(j);
        r = (1.0 - w) * r + w * setup.wav.right(j);
    }
    left += l * setup.volume;
    right += r * setup.volume;
    m_position += setup.factorSpeed;
}
