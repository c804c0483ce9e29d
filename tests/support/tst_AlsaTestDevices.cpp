// The generated ALSA devices carry real PortAudio streams: a known pattern written to the
// capture file comes back intact through an input stream.
#include <QFile>
#include <QtTest>

#include <portaudio.h>

#include <atomic>
#include <vector>

#include "AlsaTestConfig.h"
#include "TestSandbox.h"

namespace {

constexpr int FRAMES = 48000;
constexpr int FRAMES_PER_BUFFER = 256;

struct Capture {
    std::vector<qint16> samples = std::vector<qint16>(FRAMES * 2);
    std::atomic<int> frames{0};
};

int onInput(const void* input, void*, unsigned long count, const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags,
            void* data) {
    auto* capture = static_cast<Capture*>(data);
    const auto* in = static_cast<const qint16*>(input);
    int done = capture->frames.load(std::memory_order_relaxed);
    for (unsigned long i = 0; i < count && done < FRAMES; ++i, ++done) {
        capture->samples[2 * done] = in[2 * i];
        capture->samples[2 * done + 1] = in[2 * i + 1];
    }
    capture->frames.store(done, std::memory_order_release);
    return done < FRAMES ? paContinue : paComplete;
}

qint16 left(int frame) {
    return static_cast<qint16>(frame % 65536 - 32768);
}

qint16 right(int frame) {
    return static_cast<qint16>(-(frame * 7 % 30000));
}

} // namespace

class TestAlsaTestDevices : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void captureReadsThePatternBack();
};

void TestAlsaTestDevices::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    QByteArray raw;
    QDataStream out(&raw, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < FRAMES; ++i)
        out << left(i) << right(i);
    raw.append(QByteArray(FRAMES_PER_BUFFER * 4 * 4, '\0')); // silence once the pattern is over
    QFile file(TestSandbox::alsaCaptureFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(raw);
}

void TestAlsaTestDevices::captureReadsThePatternBack() {
    QCOMPARE(Pa_Initialize(), paNoError);
    PaDeviceIndex device = paNoDevice;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        if (QByteArray(Pa_GetDeviceInfo(i)->name) == AlsaTestConfig::CAPTURE_DEVICE)
            device = i;
    }
    QVERIFY2(device != paNoDevice, "the test capture device is not listed");

    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = 2;
    parameters.sampleFormat = paInt16;
    parameters.suggestedLatency = Pa_GetDeviceInfo(device)->defaultLowInputLatency;
    Capture capture;
    PaStream* stream = nullptr;
    QCOMPARE(Pa_OpenStream(&stream, &parameters, nullptr, 48000, FRAMES_PER_BUFFER, paNoFlag, onInput, &capture),
             paNoError);
    QCOMPARE(Pa_StartStream(stream), paNoError);
    QTRY_COMPARE_WITH_TIMEOUT(capture.frames.load(std::memory_order_acquire), FRAMES, 20000);
    Pa_StopStream(stream);
    Pa_CloseStream(stream);
    Pa_Terminate();

    for (int i = 0; i < FRAMES; ++i) {
        if (capture.samples[2 * i] != left(i) || capture.samples[2 * i + 1] != right(i))
            QFAIL(qPrintable(QStringLiteral("frame %1 differs").arg(i)));
    }
}

QUILLON_TEST_MAIN(TestAlsaTestDevices)
#include "tst_AlsaTestDevices.moc"
