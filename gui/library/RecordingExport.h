#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include "core/QLooper.h"

class ManagePhrasing;
class QCurve;

// Completes the recording folder of a finished recorder-mode run into a set of the Recording library:
// the curve-wave files of the used inputs, the training header, the colour files of the used decks and
// the author picture, beside the WAV files the recorders wrote. Only files written during this run
// are named, so a device that recorded nothing this time does not bring back an earlier take.
// GUI thread only.
class RecordingExport : public QObject {
    Q_OBJECT

public:
    // `curveA`/`curveB`: the painters' main curves; `phrasingA`/`phrasingB`: their editing colour sets.
    // Any may be null (that input then writes no curve or colour file). Notes the recording folder's
    // content on every Mode::s_RunApp itself.
    RecordingExport(QCurve* curveA, QCurve* curveB, ManagePhrasing* phrasingA, ManagePhrasing* phrasingB,
                    QObject* parent = nullptr);

    // The recording folder's path of `name` (the folder created when missing); empty for an empty name.
    static QString createPathWithRecordingPath(const QString& name);

public slots:
    // The start of a run: what the recording folder holds now is not this run's.
    void runStarted();
    // A recorder's report that a take could not be written; shown at the next export.
    void takeWriteFailure(const QString& fileName, const QString& reason);
    // After the recorders' stops, in recorder mode: writes the set and announces it with s_NewRecording.
    // Returns the announced set; null when recorder mode is off, when the run left no take and no curve
    // point (said in the log), or when the set could not be completed (with a message). An input's
    // curve is written even when its take could not be.
    QLooper exportFile();

signals:
    void s_NewRecording(const QLooper& looper);

private:
    struct Stamp {
        qint64 size = 0;
        QDateTime modified;
    };
    // Whether the recording folder holds a file `name` that was not there, or was rewritten, since the
    // run started.
    bool writtenThisRun(const QString& name) const;
    // The take's base name (the recorder's file name less ".wav") when its WAV was written this run.
    QString freshTake(const QString& base) const;
    void showWriteFailures();

    QCurve* m_curveA;
    QCurve* m_curveB;
    ManagePhrasing* m_phrasingA;
    ManagePhrasing* m_phrasingB;
    bool m_started = false;
    QString m_startFolder;
    QHash<QString, Stamp> m_startFiles;
    QStringList m_writeFailures;
};
