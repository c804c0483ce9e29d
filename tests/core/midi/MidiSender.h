#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// A MIDI source in a process of its own (midi_sender, whose path the build gives as MIDI_SENDER),
// sending what the test writes to it.
class MidiSender {
public:
    ~MidiSender() { stop(); }

    bool start(const QString& client, const QString& port) {
        m_process.start(MIDI_SENDER, {client, port});
        while (m_process.waitForReadyRead(10000)) {
            if (m_process.readAll().contains("ready"))
                return true;
        }
        return false;
    }
    // One message, as hexadecimal bytes: "b0 08 7f".
    void send(const QByteArray& message) {
        m_process.write(message + "\n");
        m_process.waitForBytesWritten(10000);
    }
    // Ends the sender the way a program closes: its JACK client leaves the server cleanly. A killed
    // client can leave the server's cycle failing until it notices, and messages are lost meanwhile.
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

private:
    QProcess m_process;
};
