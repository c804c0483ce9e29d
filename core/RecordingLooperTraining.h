#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUuid>

#include "Constant.h"
#include "Model.h"

class QSample;

// The metadata of the set that is open now (or, made by the training-file reader, of the set a
// file holds) and the tempo values derived from it. GUI thread only: the player copies
// factorSpeed into its own state, so no audio callback reads this object.
class RecordingLooperTraining : public QObject {
    Q_OBJECT

public:
    explicit RecordingLooperTraining(QObject* parent = nullptr);

    int version() const { return m_version; }
    ModelActivatedMode::EnumActivatedMode mode() const { return m_mode; }
    // The opaque header value carried through the training file.
    int app() const { return m_app; }
    const QString& filename() const { return m_filename; }
    const QString& title() const { return m_title; }
    const QString& author() const { return m_author; }
    const QString& url() const { return m_url; }
    double bpm() const { return m_bpm; }
    double factorSpeed() const { return m_factorSpeed; }
    double bpmFactorSpeed() const { return m_bpmFactorSpeed; }
    // Frames of the input per beat at the played tempo.
    double bpmSamplerate(ModelGraph::EnumGraph graph) const { return m_bpmSamplerate[index(graph)]; }
    const QString& pathSound_Looper() const { return m_pathSound_Looper; }
    double offset() const { return m_offset; }
    const QString& pathSound_A() const { return m_pathSound_A; }
    const QString& pathSound_B() const { return m_pathSound_B; }
    const QString& pathCurve_1() const { return m_pathCurve_1; }
    const QString& pathCurve_2() const { return m_pathCurve_2; }
    const QString& pathColor_A() const { return m_pathColor_A; }
    const QString& pathColor_B() const { return m_pathColor_B; }
    const QByteArray& hash() const { return m_hash; }
    const QUuid& idActivated() const { return m_idActivated; }
    const QString& tabNameActivated() const { return m_tabNameActivated; }

    void setFilename(const QString& filename) { m_filename = filename; }
    void setHash(const QByteArray& hash) { m_hash = hash; }
    void setIdActivated(const QUuid& id) { m_idActivated = id; }
    void setNameActivated(const QString& name) { m_tabNameActivated = name; }
    void setApp(int app) { m_app = app; }

    void setVersion(int version);
    void setMode(ModelActivatedMode::EnumActivatedMode mode);
    void setTitle(const QString& title);
    void setAuthor(const QString& author);
    void setUrl(const QString& url);
    void setPathSound_Looper(const QString& path);
    void setOffset(double offset);
    void setPathSound_A(const QString& path);
    void setPathSound_B(const QString& path);
    void setPathColor_A(const QString& path);
    void setPathColor_B(const QString& path);
    // Stores the set's tempo only; the played tempo follows at the next setFactorSpeed.
    void setBpm(double bpm);
    // `bpm` is the tempo the user plays at. A tempo not above 0 is ignored; with no set
    // tempo (bpm not above 0) the sounds play at their own speed.
    void setFactorSpeed(double bpm);
    // Keeps the current value for a null descriptor or a played tempo not above 0.
    void setBpmSamplerate(ModelGraph::EnumGraph graph, const QSample* sample);
    // An empty path clears the input's secondary curve; only a ".qlw" path opens one.
    void setPathCurve_1(const QString& path);
    void setPathCurve_2(const QString& path);

signals:
    void s_Update();
    void s_UpdateBpm(int bpm);
    void s_OpenCurve_1(const QString& path, bool setBpm);
    void s_OpenCurve_2(const QString& path, bool setBpm);
    void s_ResetCurve_1();
    void s_ResetCurve_2();

private:
    static int index(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }
    static bool opensCurve(const QString& path);

    int m_version = 0;
    ModelActivatedMode::EnumActivatedMode m_mode = ModelActivatedMode::Looper;
    int m_app = 0;
    QString m_filename;
    QString m_title;
    QString m_author;
    QString m_url;
    double m_bpm = 84.0;
    double m_factorSpeed = 1.0;
    double m_bpmFactorSpeed = 84.0;
    // 48000 frames per second at 88 beats per minute.
    double m_bpmSamplerate[2] = {48000.0 * 60.0 / 88.0, 48000.0 * 60.0 / 88.0};
    QString m_pathSound_Looper;
    double m_offset = 0.0;
    QString m_pathSound_A;
    QString m_pathSound_B;
    QString m_pathCurve_1;
    QString m_pathCurve_2;
    QString m_pathColor_A;
    QString m_pathColor_B;
    QByteArray m_hash;
    QUuid m_idActivated = Constant::Default::UUID;
    QString m_tabNameActivated = Constant::Default::TAB;
};
