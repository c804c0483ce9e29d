#include "ManageWAV.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <optional>

#include "QSample.h"
#include "FileIO.h"

namespace {

constexpr int HEADER_SIZE = 44;
constexpr int FMT_SIZE = 16;
constexpr quint16 FORMAT_PCM = 1;
constexpr quint16 FORMAT_EXTENSIBLE = 0xFFFE;
// The extensible fmt chunk: the 16 bytes above, then the extension size, valid bits, channel mask
// and the 16-byte sub-format GUID.
constexpr int EXTENSIBLE_FMT_SIZE = 40;
constexpr int SUB_FORMAT_OFFSET = 24;
constexpr char PCM_SUB_FORMAT[16] = {1,          0, 0, 0,          0, 0,    0x10,       0,
                                     char(0x80), 0, 0, char(0xAA), 0, 0x38, char(0x9B), 0x71};
constexpr int CHANNELS = 2;
constexpr int BITS = 16;
// Bytes the reader decodes at a time.
constexpr qint64 READ_CHUNK = 1 << 16;
// How often the GUI thread refills the spare block; far shorter than one block lasts.
constexpr int REFILL_INTERVAL_MS = 200;

qint16* newBlock() {
    // Zero-filled, so its pages are touched here and not first in the callback.
    return new qint16[ManageWAV::BLOCK_SAMPLES]();
}

void put16(char* at, quint16 value) {
    qToLittleEndian(value, at);
}
void put32(char* at, quint32 value) {
    qToLittleEndian(value, at);
}

quint32 wholeRate(const QSample& sample) {
    const double rate = sample.samplerate();
    if (!std::isfinite(rate) || rate <= 0)
        return 0;
    return static_cast<quint32>(std::min(rate, 4294967295.0));
}

QByteArray header(qint64 samples, quint32 rate) {
    QByteArray bytes(HEADER_SIZE, '\0');
    char* h = bytes.data();
    const quint32 dataSize = static_cast<quint32>(samples * 2);
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + dataSize);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    put32(h + 16, FMT_SIZE);
    put16(h + 20, FORMAT_PCM);
    put16(h + 22, CHANNELS);
    put32(h + 24, rate);
    put32(h + 28, rate * CHANNELS * (BITS / 8));
    put16(h + 32, CHANNELS * (BITS / 8));
    put16(h + 34, BITS);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataSize);
    return bytes;
}

// Where the samples of a file lie and how they are laid out, as its fmt and data chunks say.
struct Layout {
    quint16 format = 0;
    quint16 channels = 0;
    quint32 samplerate = 0;
    quint16 bits = 0;
    qint64 dataOffset = -1;
    // Bounded by the bytes present.
    qint64 dataSize = 0;
};

// Walks the RIFF chunks (ids compared, sizes bounded by the file) to find "fmt " and "data".
std::optional<Layout> findLayout(QFile& file) {
    char riff[12];
    if (file.read(riff, 12) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;
    const qint64 end = file.size();
    Layout layout;
    bool fmt = false;
    qint64 pos = 12;
    while (pos + 8 <= end && (!fmt || layout.dataOffset < 0)) {
        char chunk[8];
        if (!file.seek(pos) || file.read(chunk, 8) != 8)
            return std::nullopt;
        const qint64 body = pos + 8;
        const qint64 size = qFromLittleEndian<quint32>(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            char f[EXTENSIBLE_FMT_SIZE];
            if (size < FMT_SIZE || file.read(f, FMT_SIZE) != FMT_SIZE)
                return std::nullopt;
            layout.format = qFromLittleEndian<quint16>(f);
            layout.channels = qFromLittleEndian<quint16>(f + 2);
            layout.samplerate = qFromLittleEndian<quint32>(f + 4);
            layout.bits = qFromLittleEndian<quint16>(f + 14);
            // The extensible layout names its format in a sub-format GUID; only PCM's is taken as PCM.
            if (layout.format == FORMAT_EXTENSIBLE) {
                const bool pcm =
                    size >= EXTENSIBLE_FMT_SIZE &&
                    file.read(f + FMT_SIZE, EXTENSIBLE_FMT_SIZE - FMT_SIZE) ==
                        EXTENSIBLE_FMT_SIZE - FMT_SIZE &&
                    std::memcmp(f + SUB_FORMAT_OFFSET, PCM_SUB_FORMAT, sizeof PCM_SUB_FORMAT) == 0;
                layout.format = pcm ? FORMAT_PCM : 0;
            }
            fmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            layout.dataOffset = body;
            layout.dataSize = std::min(size, end - body);
        }
        // Chunks are padded to an even length.
        pos = body + size + (size & 1);
    }
    if (!fmt || layout.dataOffset < 0)
        return std::nullopt;
    return layout;
}

// Deals the samples in turn to the channels; the count is a multiple of 8 as the format always had.
// The count is bounded by the bytes present, so sizing the lists from it is safe.
QList<QList<qint16>> readSamples(QFile& file, const Layout& layout) {
    const qint64 count = (layout.dataSize / layout.bits) * 8;
    const int channels = layout.channels;
    QList<QList<qint16>> lists(channels);
    for (int c = 0; c < channels; ++c)
        lists[c].resize(count / channels + (c < count % channels ? 1 : 0));
    qint64 done = 0;
    if (file.seek(layout.dataOffset)) {
        std::vector<qint16*> out(channels);
        for (int c = 0; c < channels; ++c)
            out[c] = lists[c].data();
        QByteArray buffer;
        int channel = 0;
        while (done < count) {
            buffer = file.read(std::min(READ_CHUNK, (count - done) * 2));
            const qint64 got = buffer.size() / 2;
            if (got == 0)
                break;
            for (qint64 i = 0; i < got; ++i) {
                *out[channel]++ = qFromLittleEndian<qint16>(buffer.constData() + 2 * i);
                if (++channel == channels)
                    channel = 0;
            }
            done += got;
        }
    }
    // A read cut short keeps what arrived.
    for (int c = 0; c < channels; ++c)
        lists[c].resize(done / channels + (c < done % channels ? 1 : 0));
    return lists;
}

} // namespace

ManageWAV::ManageWAV(QObject* parent, qint64 maxSamples)
    : QObject(parent), m_maxSamples(std::clamp(maxSamples, qint64(0), MAX_SAMPLES)) {
    m_blocks.reserve(static_cast<size_t>((m_maxSamples + BLOCK_SAMPLES - 1) / BLOCK_SAMPLES));
    m_spare.store(newBlock(), std::memory_order_release);
    connect(&m_refill, &QTimer::timeout, this, &ManageWAV::refillSpare);
    m_refill.start(REFILL_INTERVAL_MS);
}

ManageWAV::~ManageWAV() {
    delete[] m_spare.load(std::memory_order_acquire);
}

void ManageWAV::addData(const qint16* sample) {
    const qint64 n = m_size.load(std::memory_order_relaxed);
    if (n >= m_maxSamples)
        return;
    const qint64 offset = n % BLOCK_SAMPLES;
    if (offset == 0 && !takeBlock())
        return;
    m_blocks.back()[offset] = *sample;
    m_size.store(n + 1, std::memory_order_release);
}

bool ManageWAV::takeBlock() {
    qint16* block = m_spare.exchange(nullptr, std::memory_order_acq_rel);
    if (!block) // The GUI thread fell behind: allocating here is the lesser evil than losing samples.
        block = new (std::nothrow) qint16[BLOCK_SAMPLES];
    if (!block)
        return false;
    m_blocks.emplace_back(block);
    return true;
}

void ManageWAV::refillSpare() {
    if (m_spare.load(std::memory_order_acquire) || size() >= m_maxSamples)
        return;
    // Only this thread fills the slot, so it is still empty when the store happens.
    m_spare.store(newBlock(), std::memory_order_release);
}

bool ManageWAV::createWAVFile(const QString& name, const QSample* sample, QString* reason) const {
    const auto failed = [&](const QString& why) {
        qWarning() << "WAV file not written:" << name << why;
        if (reason)
            *reason = why;
        return false;
    };
    if (!sample)
        return failed(QStringLiteral("no stream descriptor"));
    const qint64 samples = size();
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    file.write(header(samples, wholeRate(*sample)));
    QByteArray bytes;
    for (qint64 written = 0, block = 0; written < samples; written += BLOCK_SAMPLES, ++block) {
        const qint64 count = std::min(BLOCK_SAMPLES, samples - written);
        bytes.resize(count * 2);
        qToLittleEndian<qint16>(m_blocks[block].get(), count, bytes.data());
        file.write(bytes);
    }
    if (!FileIO::commit(file))
        return failed(file.errorString());
    return true;
}

std::shared_ptr<const QWav> ManageWAV::extractStereoWAVFromFile(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return std::make_shared<const QWav>();
    const std::optional<Layout> layout = findLayout(file);
    // Without a rate a sound cannot be played at any speed: it would hold its first sample.
    if (!layout || layout->format != FORMAT_PCM || layout->channels == 0 || layout->bits != BITS ||
        layout->samplerate == 0) {
        qWarning() << "Not a playable 16-bit PCM WAV file:" << name;
        return std::make_shared<const QWav>();
    }
    const int rate = static_cast<int>(std::min<quint32>(layout->samplerate, INT_MAX));
    return std::make_shared<const QWav>(rate, layout->channels, readSamples(file, *layout));
}

QString ManageWAV::describeWAVFile(const QString& name, bool* usable) {
    *usable = false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("a file that cannot be read");
    const std::optional<Layout> layout = findLayout(file);
    if (!layout)
        return QStringLiteral("no WAV format and sound data");
    const qint64 samples = layout->dataSize / std::max(1, layout->bits / 8);
    // The reader takes whole groups of eight 16-bit samples; without a rate the sound cannot play.
    *usable = layout->format == 1 && layout->bits == BITS && layout->channels > 0 && layout->samplerate > 0 &&
              layout->dataSize >= 16;
    const QString kind = layout->format == 1   ? QStringLiteral("PCM")
                         : layout->format == 3 ? QStringLiteral("floating point")
                                               : QStringLiteral("format %1").arg(layout->format);
    return QStringLiteral("%1-bit %2, %3 channels, %4 Hz, %5 samples")
        .arg(QString::number(layout->bits), kind, QString::number(layout->channels),
             QString::number(layout->samplerate), QString::number(samples));
}
