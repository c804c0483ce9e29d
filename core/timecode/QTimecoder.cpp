#include "QTimecoder.h"

QTimecoder::QTimecoder()
    : m_primary(std::make_unique<Channel>()), m_secondary(std::make_unique<Channel>()),
      m_pitch(std::make_unique<QPitch>()) {}
