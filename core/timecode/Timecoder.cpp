#include "Timecoder.h"

#include <QtGlobal>

#include <bit>
#include <cstdlib>

namespace {

// Consecutive bits that must agree with the prediction before a position is answered.
constexpr quint32 VALID_BITS = 25;
// Hysteresis around the zero level: 128 in 16-bit units (phono: 4).
constexpr qint32 THRESHOLD_LINE = 0x800000;
constexpr qint32 THRESHOLD_PHONO = 0x40000;
// Gains of the speed tracking filter, applied every sample.
constexpr double PITCH_ALPHA = 1.0 / 512.0;
constexpr double PITCH_BETA = 1.0 / 131072.0;
// Peaks averaged by the reference level.
constexpr qint32 REF_PEAKS = 48;

quint32 codeMask(const Definition* def) {
    return quint32((quint64(1) << def->bits()) - 1);
}

} // namespace

Timecoder::Timecoder()
    : m_definitions{
          Definition("generic_V2", "Quillon", false, 1000, 0, 20, 0x59017, 0x361e4, 712000, 707000),
          Definition("serato_sideA_FullDVS", "Serato 2nd Edition side A", true, 1000, 0, 20, 0x59017, 0x361e4,
                     712000, 707000),
          Definition("serato_sideB_FullDVS", "Serato 2nd Edition side B", true, 1000, 0, 20, 0x8f3c6, 0x4f0d8,
                     922000, 917000),
          Definition("traktor_sideA", "Traktor Scratch side A", false, 2000, 7, 23, 0x134503, 0x41040,
                     1500000, 1480000),
          Definition("traktor_sideB", "Traktor Scratch side B", false, 2000, 7, 23, 0x32066c, 0x41040,
                     2110000, 2090000),
      } {}

Definition Timecoder::findDefinition(const QString& name) {
    for (Definition& def : m_definitions) {
        if (def.name() != name)
            continue;
        if (buildLookup(&def) != 0)
            return Definition();
        return def;
    }
    return Definition();
}

int Timecoder::buildLookup(Definition* def) {
    if (def->lookup())
        return 0;
    Lut* lut = def->lut();
    if (def->length() < 0 || Lut::inititialization(lut, quint32(def->length())) != 0) {
        qWarning("Timecode table %s not used: cannot hold %d positions", qPrintable(def->name()),
                 def->length());
        return -1;
    }
    // Uniqueness: c must not be in the table yet. Walking its hash chain for every code makes the
    // largest table take half a second, so the check asks the equivalent question instead: while
    // every earlier step passed the reversibility check, rev(c_k) = c_(k-1), so a first repeat
    // c_n = c_m (0 < m < n) would give c_(n-1) = c_(m-1), an earlier repeat. The first repeat of
    // the code can therefore only be a return to the seed.
    const quint32 seed = quint32(def->seed());
    quint32 c = seed;
    for (quint32 n = 0; n < quint32(def->length()); ++n) {
        if (n > 0 && c == seed) {
            qWarning("Timecode table %s not used: uniqueness check failed, code 0x%x repeats at position %u",
                     qPrintable(def->name()), c, n);
            return -1;
        }
        Lut::send(lut, c);
        const quint32 next = fwd(c, def);
        if (rev(next, def) != c) {
            qWarning("Timecode table %s not used: reversibility check failed, rev(fwd(0x%x)) is 0x%x at "
                     "position %u",
                     qPrintable(def->name()), c, rev(next, def), n);
            return -1;
        }
        c = next;
    }
    def->setLookup(true);
    return 0;
}

quint32 Timecoder::lfsr(quint32 code, quint32 taps) {
    return quint32(std::popcount(code & taps) & 1);
}

quint32 Timecoder::fwd(quint32 code, const Definition* def) {
    const quint32 l = lfsr(code, quint32(def->taps()) | 1u);
    return (code >> 1) | (l << (def->bits() - 1));
}

quint32 Timecoder::rev(quint32 code, const Definition* def) {
    const quint32 l = lfsr(code, (quint32(def->taps()) >> 1) | (1u << (def->bits() - 1)));
    return ((code << 1) & codeMask(def)) | l;
}

void Timecoder::initialization(QTimecoder* tc, Definition* def, unsigned sampleRate, bool phono) {
    tc->m_def = def;
    tc->m_dt = 1.0 / sampleRate;
    tc->m_zeroAlpha = tc->m_dt / (tc->m_dt + 0.001);
    tc->m_threshold = phono ? THRESHOLD_PHONO : THRESHOLD_LINE;
    tc->m_forwards = true;
    initChannel(tc->m_primary.get());
    initChannel(tc->m_secondary.get());
    QPitch* pitch = tc->m_pitch.get();
    pitch->m_dt = tc->m_dt;
    pitch->m_x = 0.0;
    pitch->m_v = 0.0;
    tc->m_refLevel = 0x7FFFFFFF;
    tc->m_bitStream = 0;
    tc->m_timecode = 0;
    tc->m_validCounter = 0;
    tc->m_timecodeTicker = 0;
    tc->m_positionHint = Lut::NOT_FOUND;
}

void Timecoder::initChannel(Channel* channel) {
    channel->m_positive = false;
    channel->m_zero = 0;
    channel->m_swapped = false;
    channel->m_crossingTicker = 0;
}

void Timecoder::submit(QTimecoder* tc, const qint16* pcm, unsigned frames) {
    const bool leftPrimary = (tc->m_def->flags() & Definition::FLAG_LEFT_PRIMARY) != 0;
    for (unsigned i = 0; i < frames; ++i) {
        // The 16-bit sample in the upper half of a signed 32-bit value.
        const int left = pcm[2 * i] * 65536;
        const int right = pcm[2 * i + 1] * 65536;
        if (leftPrimary)
            processSample(tc, left, right);
        else
            processSample(tc, right, left);
    }
}

void Timecoder::processSample(QTimecoder* tc, int primaryValue, int secondaryValue) {
    Channel* primary = tc->m_primary.get();
    Channel* secondary = tc->m_secondary.get();
    const Definition* def = tc->m_def;

    detectZeroCrossing(primary, primaryValue, tc->m_zeroAlpha, tc->m_threshold);
    detectZeroCrossing(secondary, secondaryValue, tc->m_zeroAlpha, tc->m_threshold);

    const bool crossed = primary->m_swapped || secondary->m_swapped;
    if (crossed) {
        bool forwards;
        if (primary->m_swapped)
            forwards = primary->m_positive != secondary->m_positive;
        else
            forwards = primary->m_positive == secondary->m_positive;
        if (def->flags() & Definition::FLAG_INVERT_DIRECTION)
            forwards = !forwards;
        if (forwards != tc->m_forwards) {
            tc->m_forwards = forwards;
            tc->m_validCounter = 0;
        }
    }

    // One quarter carrier cycle of record time per crossing.
    double dx = 0.0;
    if (crossed) {
        dx = 0.25 / def->resolution();
        if (!tc->m_forwards)
            dx = -dx;
    }
    QPitch* pitch = tc->m_pitch.get();
    const double predicted = pitch->m_x + pitch->m_v * pitch->m_dt;
    const double residual = dx - predicted;
    pitch->m_x = predicted + residual * PITCH_ALPHA;
    pitch->m_v = pitch->m_v + residual * PITCH_BETA / pitch->m_dt;
    pitch->m_x = pitch->m_x - dx;

    const bool readWhilePositive = (def->flags() & Definition::FLAG_READ_NEGATIVE) == 0;
    if (secondary->m_swapped && primary->m_positive == readWhilePositive)
        processBitstream(tc, std::abs(primaryValue / 2 - primary->m_zero / 2));

    tc->m_timecodeTicker++;
}

void Timecoder::detectZeroCrossing(Channel* channel, int value, double alpha, int threshold) {
    channel->m_crossingTicker++;
    channel->m_swapped = false;
    const qint64 v = value;
    const qint64 zero = channel->m_zero;
    if (v > zero + threshold && !channel->m_positive) {
        channel->m_swapped = true;
        channel->m_positive = true;
        channel->m_crossingTicker = 0;
    } else if (v < zero - threshold && channel->m_positive) {
        channel->m_swapped = true;
        channel->m_positive = false;
        channel->m_crossingTicker = 0;
    }
    // Lies between the old level and v, so it fits.
    channel->m_zero = qint32(double(zero) + alpha * double(v - zero));
}

void Timecoder::processBitstream(QTimecoder* tc, int amplitude) {
    const Definition* def = tc->m_def;
    const quint32 b = amplitude > tc->m_refLevel ? 1u : 0u;
    if (tc->m_forwards) {
        tc->m_timecode = fwd(tc->m_timecode, def);
        tc->m_bitStream = (tc->m_bitStream >> 1) | (b << (def->bits() - 1));
    } else {
        tc->m_timecode = rev(tc->m_timecode, def);
        tc->m_bitStream = ((tc->m_bitStream << 1) & codeMask(def)) | b;
    }
    if (tc->m_timecode == tc->m_bitStream) {
        tc->m_validCounter++;
    } else {
        tc->m_timecode = tc->m_bitStream;
        tc->m_validCounter = 0;
    }
    tc->m_timecodeTicker = 0;
    tc->m_refLevel -= tc->m_refLevel / REF_PEAKS;
    tc->m_refLevel += amplitude / REF_PEAKS;
}

qint32 Timecoder::position(QTimecoder* tc, double* when) {
    if (tc->m_validCounter < VALID_BITS)
        return -1;
    const quint32 p = Lut::lookup(tc->m_def->lut(), tc->m_bitStream, tc->m_positionHint);
    if (p == Lut::NOT_FOUND)
        return -1;
    tc->m_positionHint = p;
    if (when)
        *when = tc->m_timecodeTicker * tc->m_dt;
    return qint32(p);
}
