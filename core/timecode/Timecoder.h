#pragma once

#include <QList>
#include <QString>

#include "core/timecode/Channel.h"
#include "core/timecode/Definition.h"
#include "core/timecode/QTimecoder.h"

// The timecode formats and the decoder's operations. Holds the five formats with their lookup
// tables, each built at most once; the decoder state lives in a QTimecoder passed to every
// operation. Each timecode receiver owns one Timecoder.
//
// findDefinition and buildLookup run on the GUI thread. initialization runs before a run's
// frames are submitted; submit, the per-sample steps and position then run on the input's
// audio thread and allocate, lock and log nothing.
class Timecoder {
public:
    Timecoder();

    // The five formats in ModelTimecode::EnumTimecode order.
    const QList<Definition>& definitions() const { return m_definitions; }
    QList<Definition>& definitions() { return m_definitions; }

    // A copy of the format named exactly `name`, its table built and shared with the copy;
    // a default Definition (empty name) when none matches or its table cannot be built.
    Definition findDefinition(const QString& name);
    // Builds the lookup table of `def` unless built; 0 on success, -1 when the table cannot be
    // prepared or the code breaks a check (then a warning names the check).
    static int buildLookup(Definition* def);

    // Parity of code AND taps.
    static quint32 lfsr(quint32 code, quint32 taps);
    // One step along the code: the new bit enters at the most significant end.
    static quint32 fwd(quint32 code, const Definition* def);
    // One step back: the new bit enters at the least significant end.
    static quint32 rev(quint32 code, const Definition* def);

    // Resets `tc` for a run of `def` (non-null, named, table built) at `sampleRate`.
    static void initialization(QTimecoder* tc, Definition* def, unsigned sampleRate, bool phono);
    // Feeds `frames` interleaved stereo frames of signed 16-bit samples (left, then right).
    static void submit(QTimecoder* tc, const qint16* pcm, unsigned frames);
    // The position in carrier cycles, or -1 while none is known; when one is answered and `when`
    // is non-null, writes the seconds since the last bit was read.
    static qint32 position(QTimecoder* tc, double* when = nullptr);

    static void processSample(QTimecoder* tc, int primary, int secondary);
    static void detectZeroCrossing(Channel* channel, int value, double alpha, int threshold);
    static void processBitstream(QTimecoder* tc, int amplitude);
    static void initChannel(Channel* channel);

private:
    QList<Definition> m_definitions;
};
