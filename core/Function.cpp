#include "Function.h"

#include <QXmlStreamReader>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

#include <algorithm>

#include "Path.h"
#include "midi/QMidiIn.h"

namespace {

// A shortened text ends in "~" and this many hex digits of a digest of the whole text.
constexpr qsizetype DIGEST_DIGITS = 8;
constexpr qsizetype MARK_BYTES = 1 + DIGEST_DIGITS;

qsizetype utf8Size(QStringView text) {
    return text.toUtf8().size();
}

// `pattern` with each %n (1 to 9) that has a text replaced by it, in one pass: a "%1" inside a text
// stays as it is.
QString filled(const QString& pattern, const QStringList& texts) {
    QString name;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int n = i + 1 < pattern.size() ? pattern[i + 1].digitValue() : -1;
        if (pattern[i] == QLatin1Char('%') && n >= 1 && n <= texts.size()) {
            name += texts[n - 1];
            ++i;
        } else {
            name += pattern[i];
        }
    }
    return name;
}

// The most bytes each text may take so that all of them fit in `budget`: texts within it stay whole,
// longer ones are cut to it. Never below a lone mark, even when nothing fits.
qsizetype shareOf(const QList<qsizetype>& sizes, qsizetype budget) {
    const auto total = [&sizes](qsizetype cap) {
        qsizetype sum = 0;
        for (qsizetype size : sizes)
            sum += std::min(size, cap);
        return sum;
    };
    qsizetype low = MARK_BYTES;
    qsizetype high = low;
    for (qsizetype size : sizes)
        high = std::max(high, size);
    if (total(high) <= budget)
        return high;
    // The largest cap whose total fits; `low` fits or nothing does.
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (total(middle) <= budget)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

// `clean` cut to at most `bytes` bytes with its mark: the start that ends between two characters as a
// reader sees them (never inside a UTF-8 sequence, a surrogate pair or an accented letter), "~", and
// the digest of `whole`, the text as typed.
QString shortened(const QString& clean, const QString& whole, qsizetype bytes) {
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, clean);
    qsizetype end = 0;
    qsizetype used = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        used += utf8Size(QStringView(clean).sliced(end, next - end));
        if (used > bytes - MARK_BYTES)
            break;
        end = next;
    }
    const QByteArray digest = QCryptographicHash::hash(whole.toUtf8(), QCryptographicHash::Sha256).toHex();
    return clean.left(end) + QLatin1Char('~') + QString::fromLatin1(digest.left(DIGEST_DIGITS));
}

} // namespace

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

QString Function::safeFileName(const QString& pattern, const QStringList& texts) {
    QStringList clean = texts;
    for (QString& text : clean) {
        for (QChar& c : text) {
            if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
                c = QLatin1Char('_');
        }
    }
    // A name that would begin with a dot, or be empty, begins with "_" instead: the dots stay, and so
    // does an extension that an empty text leaves at the start.
    const QString whole = filled(pattern, clean);
    const bool prefixed = whole.isEmpty() || whole.startsWith(QLatin1Char('.'));
    const qsizetype fixed = utf8Size(filled(pattern, QStringList(texts.size()))) + (prefixed ? 1 : 0);
    QList<qsizetype> sizes;
    for (const QString& text : std::as_const(clean))
        sizes.append(utf8Size(text));
    const qsizetype cap = shareOf(sizes, MAX_NAME_BYTES - fixed);
    for (qsizetype i = 0; i < clean.size(); ++i) {
        if (sizes[i] > cap)
            clean[i] = shortened(clean[i], texts[i], cap);
    }
    const QString name = filled(pattern, clean);
    return name.isEmpty() || name.startsWith(QLatin1Char('.')) ? QLatin1Char('_') + name : name;
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
