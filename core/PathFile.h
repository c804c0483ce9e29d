#pragma once

#include <QObject>
#include <QString>

// The WAV file names of the input A, input B and master recordings and the name of the current
// recording folder. GUI thread only.
class PathFile : public QObject {
    Q_OBJECT

public:
    explicit PathFile(QObject* parent = nullptr);

    // The stored names less their ".wav" (the last four characters; a shorter name comes back whole).
    QString filenameSound_a() const;
    QString filenameSound_b() const;
    QString filenameSound_master() const;
    void setFilenameSound_a(const QString& name) { m_filenameSound_a = name; }
    void setFilenameSound_b(const QString& name) { m_filenameSound_b = name; }
    void setFilenameSound_master(const QString& name) { m_filenameSound_master = name; }

    const QString& pathDirectory_recording() const { return m_pathDirectory_recording; }
    // The recording folder's path, creating the folder (and any missing parent) first.
    QString createPathDirectory_recording() const;

public slots:
    // A new folder name stamped with the present local time: each switch into recorder mode
    // records into a folder of its own.
    void newPathDirectory_recording();

private:
    static QString withoutExtension(const QString& name);

    QString m_filenameSound_a;
    QString m_filenameSound_b;
    QString m_filenameSound_master;
    QString m_pathDirectory_recording;
};
