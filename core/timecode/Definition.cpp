#include "Definition.h"

Definition::Definition() : m_lut(std::make_shared<Lut>()) {}

Definition::Definition(const QString& name, const QString& desc, bool fullDVS, qint32 resolution,
                       qint32 flags, qint32 bits, qint32 seed, qint32 taps, qint32 length, qint32 safe)
    : m_name(name), m_desc(desc), m_fullDVS(fullDVS), m_resolution(resolution), m_flags(flags), m_bits(bits),
      m_seed(seed), m_taps(taps), m_length(length), m_safe(safe), m_lut(std::make_shared<Lut>()) {}
