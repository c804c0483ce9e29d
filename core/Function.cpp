#include "Function.h"

#include <QXmlStreamReader>

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "Path.h"
#include "midi/QMidiIn.h"

QString Function::applicationDirPath() {
    return QCoreApplication::applicationDirPath();
}

bool Function::isAppDeployed() {
    return QFileInfo::exists(Path::appPlugins());
}

QDir Function::appExternalUserDir() {
    return QDir(isAppDeployed() ? Path::appDataIntoLocalApplicationSupport_MacOS()
                                : Path::appDataIntoAppResources_MacOS());
}

QStringList Function::devicesMidiIn() {
    return devicesMidiIn(QMidiIn::devices());
}

QStringList Function::devicesMidiIn(const QMap<QString, QString>& sources) {
    // The map's order is that of the index texts as texts ("10" before "2"): stored choices and the
    // settings list rely on it.
    QStringList texts;
    texts.reserve(sources.size());
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        texts.append(it.key() + QLatin1Char(':') + it.value());
    return texts;
}

bool Function::copyPath(const QString& source, const QString& target) {
    QDir from(source);
    if (!from.exists())
        return false;
    bool complete = true;
    for (const QString& folder : from.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString targetFolder = target + QLatin1Char('/') + folder;
        if (!QDir().mkpath(targetFolder))
            complete = false;
        if (!copyPath(source + QLatin1Char('/') + folder, targetFolder))
            complete = false;
    }
    for (const QString& file : from.entryList(QDir::Files | QDir::Hidden)) {
        const QString targetFile = target + QLatin1Char('/') + file;
        if (QFileInfo(targetFile).isFile())
            continue; // the user's own copy wins
        if (!QFile::copy(source + QLatin1Char('/') + file, targetFile))
            complete = false;
    }
    return complete;
}

bool Function::isBareFileName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QString Function::safeFileName(const QString& text) {
    QString name = text;
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('_');
    }
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QString(std::max<qsizetype>(name.size(), 1), QLatin1Char('_'));
    return name;
}

QString Function::loadStyleFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning() << "Erreur: Failed to load style file" << path;
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

bool Function::xmlNestedWithin(const QByteArray& bytes, int maxDepth) {
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > maxDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
}
