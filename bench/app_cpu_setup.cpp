// For bench/app_cpu.py: writes a capture file for the test sound devices with a timecode record played
// forwards at normal speed on two channel pairs (deck A and deck B), and prints the catalogue's texts
// for those pairs as the application's settings name them. Runs in a test sandbox, so the catalogue's
// own settings file stays out of the way.
#include <QCoreApplication>

#include <cstdio>

#include "AlsaTestConfig.h"
#include "TestSandbox.h"
#include "TimecodeSignal.h"
#include "core/Model.h"
#include "core/Singleton.h"
#include "core/timecode/Timecoder.h"

namespace {

constexpr int CHANNELS = 128;
constexpr int PAIR_A = 5;
constexpr int PAIR_B = 6;
constexpr unsigned RATE = 44100;

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <capture file> <seconds>\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const double seconds = QString::fromLocal8Bit(argv[2]).toDouble();
    return TestSandbox::run(argc, argv, [&](int argc, char** argv) {
        QCoreApplication app(argc, argv);
        AlsaTestConfig::silenceAlsa();
        const Definition format = Timecoder().findDefinition("generic_V2");
        TimecodeSignal signal(format, RATE);
        signal.setStart(format.length() / 2 + 0.375);
        signal.move(seconds, 1.0);
        signal.render();
        const auto sampleAt = [&signal](qint64 f, int c) {
            return c / 2 == PAIR_A || c / 2 == PAIR_B ? signal.pcm()[2 * f + c % 2] : qint16(0);
        };
        if (!AlsaTestConfig::writeCaptureFile(path, CHANNELS, signal.frameCount(), sampleAt, 0))
            return 1;
        const QStringList in = Singleton::instance()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]");
        if (in.size() <= PAIR_B)
            return 1;
        std::printf("inputA=%s\ninputB=%s\n", qPrintable(in[PAIR_A]), qPrintable(in[PAIR_B]));
        return 0;
    });
}
