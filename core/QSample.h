#pragma once

#include <QString>

#include <memory>

#include "Model.h"

// The descriptor of one audio device stream: which device, its format and channel pair.
// Immutable once made and shared as std::shared_ptr<const QSample> between the buffer
// settings, the dispatcher and the workers. The audio callbacks read only channels and pos.
class QSample {
public:
    QSample(ModelGraph::EnumGraph tag, int deviceID, const QString& deviceName, double samplerate, int channels,
            int pos);

    // No device (nothing is opened) at 48000 frames per second, 2 channels, pair 0.
    static std::shared_ptr<const QSample> byDefault(ModelGraph::EnumGraph tag);

    ModelGraph::EnumGraph tag() const { return m_tag; }
    int deviceID() const { return m_deviceID; }
    const QString& deviceName() const { return m_deviceName; }
    // The recording file name, stamped with the time the descriptor was made; empty for PLAYBACK.
    const QString& filename() const { return m_filename; }
    double samplerate() const { return m_samplerate; }
    int channels() const { return m_channels; }
    int pos() const { return m_pos; }
    double samplerateInMinute() const { return m_samplerateInMinute; }
    double samplerateInMs() const { return m_samplerateInMs; }
    // Degrees of platter per frame, one turn taking 1.8 s.
    double angleForASample() const { return m_angleForASample; }

private:
    QString buildFilename() const;

    ModelGraph::EnumGraph m_tag;
    int m_deviceID;
    QString m_deviceName;
    QString m_filename;
    double m_samplerate;
    int m_channels;
    int m_pos;
    double m_samplerateInMinute;
    double m_samplerateInMs;
    double m_angleForASample;
};
