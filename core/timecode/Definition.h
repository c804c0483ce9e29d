#pragma once

#include <QString>

#include <memory>

#include "core/timecode/Lut.h"

// One timecode record format. A plain value: copies share the same lookup table, which lives
// as long as the last copy that points to it.
class Definition {
public:
    // No format: empty name, no table built, all numbers 0, a fresh empty table.
    Definition();
    Definition(const QString& name, const QString& desc, bool fullDVS, qint32 resolution, qint32 flags,
               qint32 bits, qint32 seed, qint32 taps, qint32 length, qint32 safe);

    // Bits of `flags`.
    static constexpr qint32 FLAG_INVERT_DIRECTION = 1;
    static constexpr qint32 FLAG_LEFT_PRIMARY = 2;
    static constexpr qint32 FLAG_READ_NEGATIVE = 4;

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    const QString& desc() const { return m_desc; }
    void setDesc(const QString& desc) { m_desc = desc; }
    bool fullDVS() const { return m_fullDVS; }
    void setFullDVS(bool fullDVS) { m_fullDVS = fullDVS; }
    qint32 resolution() const { return m_resolution; }
    void setResolution(qint32 resolution) { m_resolution = resolution; }
    qint32 flags() const { return m_flags; }
    void setFlags(qint32 flags) { m_flags = flags; }
    qint32 bits() const { return m_bits; }
    void setBits(qint32 bits) { m_bits = bits; }
    qint32 seed() const { return m_seed; }
    void setSeed(qint32 seed) { m_seed = seed; }
    qint32 taps() const { return m_taps; }
    void setTaps(qint32 taps) { m_taps = taps; }
    qint32 length() const { return m_length; }
    void setLength(qint32 length) { m_length = length; }
    qint32 safe() const { return m_safe; }
    void setSafe(qint32 safe) { m_safe = safe; }
    bool lookup() const { return m_lookup; }
    void setLookup(bool lookup) { m_lookup = lookup; }
    Lut* lut() const { return m_lut.get(); }
    void setLut(std::shared_ptr<Lut> lut) { m_lut = std::move(lut); }

private:
    QString m_name;
    QString m_desc;
    bool m_fullDVS = false;
    qint32 m_resolution = 0;
    qint32 m_flags = 0;
    qint32 m_bits = 0;
    qint32 m_seed = 0;
    qint32 m_taps = 0;
    qint32 m_length = 0;
    qint32 m_safe = 0;
    bool m_lookup = false;
    std::shared_ptr<Lut> m_lut;
};
