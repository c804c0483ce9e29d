#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

#include "Constant.h"
#include "Model.h"
#include "QPhrasing.h"
#include "QWav.h"

// A set of phrasing areas: either the editing set of one graph painter (graph INPUT_A or INPUT_B,
// edited from the keyboard with that deck's present angle) or the set of one colour file (graph
// NOT_USED, with its title and scratch sound). GUI thread only.
//
// The areas are values in insertion order and are never reordered. Whoever takes a copy of the
// list (the per-input phrasing state, a painter) keeps it unchanged and valid after this set is
// edited or released.
class ManagePhrasing : public QObject {
    Q_OBJECT

public:
    // What createQLPXML did; the window turns it into its message.
    enum class SaveStatus {
        Created,
        // A file of that name exists; it was left as it was.
        AlreadyExists,
        // The areas fail checkPhrasing, or could not be stored so that they read back; nothing written.
        InvalidSet,
        WriteFailed,
    };

    explicit ManagePhrasing(ModelGraph::EnumGraph graph, QObject* parent = nullptr);

    ModelGraph::EnumGraph graph() const { return m_graph; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const QString& scratchTools() const { return m_scratchTools; }
    void setScratchTools(const QString& name) { m_scratchTools = name; }
    const QString& path() const { return m_path; }
    void setPath(const QString& path) { m_path = path; }

    const QList<QPhrasing>& listPhrasing() const { return m_areas; }
    // Takes copies of `list` (ids kept); the caller's list is never changed.
    void setListPhrasing(const QList<QPhrasing>& list);

    // The scratch sound, null when there is none.
    std::shared_ptr<const QWav> wav() const { return m_wav; }
    // Decodes the sound that scratchTools names in the "Scratch Tools" folder. A name that is not a
    // bare file name, or that names no regular file there, leaves no sound.
    void generateScratchTools();

    // False when an area has a span of exactly 0 or above 360, or starts inside another area.
    bool checkPhrasing() const;

    // The first area in list order that holds `angle`, and its index (-1 when none).
    std::optional<QPhrasing> searchPhrasing(double angle, qsizetype* index = nullptr) const;
    bool checkFreeArea(double angle) const;
    // The largest end <= angle, 0 when none.
    double searchAngleStart(double angle) const;
    // The smallest start >= angle, 360 when none.
    double searchAngleEnd(double angle) const;

    // Writes the colour file `path` through a temporary file. Refuses an existing file and a set
    // that fails checkPhrasing. With `notify`, emits s_newColorFile only once the file is in place.
    SaveStatus createQLPXML(const QString& path, bool notify);
    // Largest colour file and most areas the reader accepts: far beyond any set a user makes, small
    // enough that a hostile file costs little to read and check.
    static constexpr qint64 MAX_FILE_BYTES = 1 << 20;
    static constexpr qsizetype MAX_AREAS = 1024;
    // A colour file is two levels deep (Phrasing, Section); anything far deeper is refused unparsed.
    static constexpr int MAX_XML_DEPTH = 8;
    // Reads the colour file `path` into a new set (graph NOT_USED) with its scratch sound loaded.
    // Null when the name does not end in ".qlp" (any case); the file is not a regular file of at
    // most MAX_FILE_BYTES or not a "Phrasing" document; a section's colour has fewer than three
    // parts or an angle is not finite; the sound is named by more than a bare file name; there are
    // more than MAX_AREAS areas; or the set fails checkPhrasing. A colour part that is not a number
    // counts as 0, and a colour outside 0 to 255 as black; an angle that is not a number counts as 0.
    static std::unique_ptr<ManagePhrasing> readQLPFile(const QString& path);
    // The colour file for a name the user typed: the name made safe (Function::safeFileName) with
    // ".qlp" appended, so the file is always directly inside the Color folder.
    static QString colorFilePath(const QString& name);

public slots:
    // The slots without an argument take the deck's present angle. No edit leaves an area without
    // span or with an angle that is not a number: such an edit changes nothing. Every edit emits
    // s_Update, twice when addArea cuts an area back.
    void addArea();
    void addArea(double angle);
    void defineAngleStart();
    void defineAngleStart(double angle);
    void defineAngleEnd(double angle);
    void addAreaOnAllEmptyArea();
    void addAreaOnAllEmptyArea(double angle);
    void deleteArea();
    // `angle` is first brought into [0, 360).
    void deleteArea(double angle);
    void initAreas();

signals:
    void s_Update();
    void s_newColorFile(const QString& path);

private:
    static double reduceAngle(double angle);
    // With `calibrated` the deck's calibration offset is always taken off; otherwise only in
    // timecode mode.
    double presentAngle(bool calibrated) const;
    qsizetype indexHolding(double angle) const;
    Constant::Color::Rgba nextColor() const;
    void appendArea(double angleStart, double angleEnd);
    bool isWritable() const;
    QString toXml(const QString& name) const;
    // Whether `bytes` read back with this set's name and labels: XML cannot carry every character,
    // and UTF-8 cannot carry half a surrogate pair (it would be written as "?").
    bool readsBack(const QByteArray& bytes, const QString& name) const;

    const ModelGraph::EnumGraph m_graph;
    QList<QPhrasing> m_areas;
    QString m_path;
    QString m_title;
    QString m_scratchTools;
    std::shared_ptr<const QWav> m_wav;
};
