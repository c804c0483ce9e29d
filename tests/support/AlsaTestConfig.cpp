#include "AlsaTestConfig.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <alsa/asoundlib.h>

namespace {

QByteArray quoted(const QString& path) {
    QByteArray escaped = path.toUtf8();
    escaped.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + escaped + '"';
}

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

} // namespace

bool AlsaTestConfig::write(const QString& configPath, const QString& captureFile, const QString& playbackFile) {
    QByteArray text;
    // "null" is not defined once the system configuration is replaced, so the slaves are inline.
    text += "pcm.tc_capture {\n"
            "    type file\n"
            "    slave.pcm { type null }\n"
            "    file \"/dev/null\"\n"
            "    infile " + quoted(captureFile) + "\n"
            "    format \"raw\"\n"
            "}\n";
    text += "pcm.tc_playback {\n"
            "    type file\n"
            "    slave.pcm { type null }\n"
            "    file " + quoted(playbackFile) + "\n"
            "    format \"raw\"\n"
            "    perm 0644\n"
            "}\n";
    // Without a default device PortAudio's ALSA listing fails an assertion.
    text += "pcm.!default { type asym; playback.pcm \"tc_playback\"; capture.pcm \"tc_capture\" }\n";

    QSaveFile file(configPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text);
    return file.commit();
}

bool AlsaTestConfig::writeCaptureFile(const QString& path, int channels, qint64 frames,
                                      const std::function<qint16(qint64, int)>& sampleAt, qint64 silence) {
    QSaveFile file(path);
    if (channels <= 0 || !file.open(QIODevice::WriteOnly))
        return false;
    QByteArray frame(2 * channels, '\0');
    for (qint64 f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c)
            qToLittleEndian<qint16>(sampleAt(f, c), frame.data() + 2 * c);
        file.write(frame);
    }
    file.write(QByteArray(2 * channels * silence, '\0'));
    return file.commit();
}

void AlsaTestConfig::silenceAlsa() {
    snd_lib_error_set_handler(&ignoreAlsaError);
}
