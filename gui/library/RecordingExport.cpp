#include "RecordingExport.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cmath>

#include "core/Constant.h"
#include "core/Function.h"
#include "core/Header.h"
#include "core/ManagePhrasing.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/QCurve.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/library/LibrarySet.h"
#include "gui/widgets/MessageBox.h"

namespace {

QString now() {
    return QDateTime::currentDateTime().toString(Constant::Date::FORMAT);
}

QString recordingFolder() {
    return Path::joinRecording(Singleton::instance()->instancePathFile()->pathDirectory_recording());
}

// Truncated toward zero; a value that is not finite counts as 0.
int whole(double value) {
    return std::isfinite(value) && std::abs(value) < 2e9 ? int(value) : 0;
}

} // namespace

RecordingExport::RecordingExport(QCurve* curveA, QCurve* curveB, ManagePhrasing* phrasingA,
                                 ManagePhrasing* phrasingB, QObject* parent)
    : QObject(parent), m_curveA(curveA), m_curveB(curveB), m_phrasingA(phrasingA), m_phrasingB(phrasingB) {
    connect(Singleton::instance()->instanceMode(), &Mode::s_RunApp, this, &RecordingExport::runStarted);
}

QString RecordingExport::createPathWithRecordingPath(const QString& name) {
    if (name.isEmpty())
        return QString();
    return Singleton::instance()->instancePathFile()->createPathDirectory_recording() + QLatin1Char('/') + name;
}

void RecordingExport::runStarted() {
    m_started = true;
    m_startFolder = recordingFolder();
    m_startFiles.clear();
    for (const QFileInfo& info : QDir(m_startFolder).entryInfoList(QDir::Files | QDir::Hidden))
        m_startFiles.insert(info.fileName(), {info.size(), info.lastModified()});
}

void RecordingExport::takeWriteFailure(const QString& fileName, const QString& reason) {
    m_writeFailures.append(QStringLiteral("%1: %2").arg(QFileInfo(fileName).fileName(), reason));
}

bool RecordingExport::writtenThisRun(const QString& name) const {
    const QFileInfo info(recordingFolder() + QLatin1Char('/') + name);
    if (!Function::isBareFileName(name) || !info.isFile())
        return false;
    if (!m_started || m_startFolder != recordingFolder())
        return true;
    const auto before = m_startFiles.constFind(name);
    return before == m_startFiles.cend() || before->size != info.size() || before->modified != info.lastModified();
}

QString RecordingExport::freshTake(const QString& base) const {
    return !base.isEmpty() && writtenThisRun(base + Constant::Extension::WAV) ? base : QString();
}

void RecordingExport::showWriteFailures() {
    if (m_writeFailures.isEmpty())
        return;
    MessageBox::information(QStringLiteral("A recording could not be written:\n  ") +
                            m_writeFailures.join(QStringLiteral("\n  ")));
    m_writeFailures.clear();
}

QLooper RecordingExport::exportFile() {
    showWriteFailures();
    Mode* mode = Singleton::instance()->instanceMode();
    if (!mode->modeRecorder())
        return QLooper();
    // The recorders' stop slots, which write the WAV files, ran before on this thread.
    QThread::msleep(250);

    const QString title = now();
    const PathFile* pathFile = Singleton::instance()->instancePathFile();
    const RecordingLooperTraining* open = Singleton::instance()->instanceLooperTraining();
    const bool useA = mode->inputText() != ModelInput::TEXT_B;
    const bool useB = mode->inputText() != ModelInput::TEXT_A;
    const QString a = useA ? freshTake(pathFile->filenameSound_a()) : QString();
    const QString b = useB ? freshTake(pathFile->filenameSound_b()) : QString();
    const QString m = freshTake(pathFile->filenameSound_master());

    // The curve goes with its take, and is kept under the take's name when the take itself could not
    // be written: points decoded this run mean the input's stream, and so its name, are this run's.
    // A curve without a point is no recording, and a curve that could not be written is not named;
    // either way the set keeps its sound.
    const auto curve = [](QCurve* curve, const QString& take, const QString& base) {
        if (!curve || curve->curveGlobal()->size() == 0 || (take.isEmpty() && base.isEmpty()))
            return QString();
        const QString name = take.isEmpty() ? base : take;
        if (curve->exportCurveToQLWFile(name))
            return name + Constant::Extension::QLW;
        qWarning() << "Curve file not written:" << name;
        return QString();
    };
    const QString curve1 = useA ? curve(m_curveA, a, pathFile->filenameSound_a()) : QString();
    const QString curve2 = useB ? curve(m_curveB, b, pathFile->filenameSound_b()) : QString();
    if (a.isEmpty() && b.isEmpty() && m.isEmpty() && curve1.isEmpty() && curve2.isEmpty()) {
        qInfo("Nothing was recorded in this run: no recording is added to the library.");
        return QLooper();
    }
    const auto color = [](bool used, ManagePhrasing* set, const QString& active, const QString& prefix) {
        if (!used || !set || active.isEmpty())
            return QString();
        const QString name = prefix + now() + Constant::Extension::QLP;
        if (set->createQLPXML(createPathWithRecordingPath(name), false) == ManagePhrasing::SaveStatus::Created)
            return name;
        qWarning() << "Colour file not written:" << name;
        return QString();
    };
    const QString colorA = color(useA, m_phrasingA, open->pathColor_A(), QStringLiteral("ColorA"));
    const QString colorB = color(useB, m_phrasingB, open->pathColor_B(), QStringLiteral("ColorB"));
    const auto wav = [](const QString& take) { return take.isEmpty() ? take : take + Constant::Extension::WAV; };

    const QString user = Singleton::instance()->instanceSetting()->paramName(false);
    // The header keeps the user's name as typed; the file name gets a safe form of it.
    const QString headerPath = createPathWithRecordingPath(
        Function::safeFileName(QStringLiteral("Recording_%1_") + title + Constant::Extension::QLT, {user}));
    const int bpm = whole(open->bpmFactorSpeed());
    const int offset = whole(open->offset());
    const QLooper stored(QString(), 1, ModelActivatedMode::Recording, 0, title, user, QString(), QString(), bpm,
                         wav(m), offset, wav(a), wav(b), curve1, curve2, colorA, colorB);
    bool complete = true;
    for (const QString& take : {m, a, b})
        complete = complete && (take.isEmpty() || QFileInfo(createPathWithRecordingPath(wav(take))).isFile());
    // Announced only as the library will read it again at the next start.
    complete = complete && Header::exportHeaderToQLTFile(headerPath, &stored) &&
               !LibrarySet::readTrainingFile(headerPath, Constant::Directory::RECORDING, true).isNull();

    QString picture;
    if (complete) {
        const QString source = Path::joinInput(Constant::Default::AUTHOR_FILE);
        const QString target = createPathWithRecordingPath(Constant::Default::AUTHOR_FILE);
        QFile::remove(target);
        if (QFileInfo(source).isFile() && QFile::copy(source, target))
            picture = target;
    }
    if (!complete) {
        MessageBox::information(
            QStringLiteral("The recording could not be saved into the library:\n  %1").arg(recordingFolder()));
        return QLooper();
    }
    const QLooper looper(headerPath, 1, ModelActivatedMode::Recording, 0, title, user, QString(), picture, bpm,
                         createPathWithRecordingPath(wav(m)), offset, createPathWithRecordingPath(wav(a)),
                         createPathWithRecordingPath(wav(b)), createPathWithRecordingPath(curve1),
                         createPathWithRecordingPath(curve2), createPathWithRecordingPath(colorA),
                         createPathWithRecordingPath(colorB));
    emit s_NewRecording(looper);
    return looper;
}
