#include "DataTree.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

#include "Sounds.h"
#include "core/Constant.h"
#include "core/Header.h"
#include "core/ManagePhrasing.h"
#include "core/QLooper.h"

namespace {

const QString SCRATCH_SOUND = QStringLiteral("Ahh.wav");
const QString LOOPER_SOUND = QStringLiteral("Regular Training.wav");
constexpr int BPM = 84;

bool fail(const QString& what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    return false;
}

bool sound(const QString& path, const Sounds::Frames& frames) {
    return Sounds::write(path, frames) || fail("cannot write " + path);
}

// The set every library starts with, laid out as the add-looper dialog lays out a looper: a folder
// of the author holding the sound and "<author>_<title>_<bpm>.qlt".
bool defaultSet(const QString& appData) {
    const QString author = Constant::Default::AUTHOR, title = Constant::Default::TITLE;
    const QString folder = appData + "/" + Constant::Directory::LOOPER + "/" + author;
    if (!QDir().mkpath(folder))
        return fail("cannot create " + folder);
    if (!sound(folder + "/" + LOOPER_SOUND, Sounds::drumLoop(BPM)))
        return false;
    const QLooper set(QString(), 1, ModelActivatedMode::Looper, 0, title, author, Constant::Default::URL,
                      QString(), BPM, LOOPER_SOUND, 0, QString(), QString(), QString(), QString(), QString(),
                      QString());
    const QString header = folder + QStringLiteral("/%1_%2_%3%4").arg(author, title).arg(BPM).arg(Constant::Extension::QLT);
    return Header::exportHeaderToQLTFile(header, &set) || fail("cannot write " + header);
}

// The colour file of both decks until the user picks another: three areas over one turn of its
// scratch sound (the attack, the vowel, the silence after it).
bool defaultColor(const QString& appData) {
    const QString path = appData + "/" + Constant::Directory::COLOR + "/" + Constant::Default::PHRASING_DEFAULT +
                         Constant::Extension::QLP;
    QFile::remove(path); // The writer never replaces a colour file.
    ManagePhrasing set(ModelGraph::NOT_USED);
    set.setListPhrasing({QPhrasing(QStringLiteral("Attack"), Constant::Color::COLOR_RED_1, 0, 30),
                         QPhrasing(QStringLiteral("Ahh"), Constant::Color::COLOR_YELLOW_1, 30, 250),
                         QPhrasing(QStringLiteral("Silence"), Constant::Color::COLOR_BLUE_1, 250, 360)});
    if (set.createQLPXML(path, false) != ManagePhrasing::SaveStatus::Created)
        return fail("cannot write " + path);

    // The writer leaves the scratch sound empty (a saved set names none); this one names its sound.
    QFile in(path);
    QDomDocument doc;
    if (!in.open(QIODevice::ReadOnly) || !doc.setContent(&in))
        return fail("cannot read back " + path);
    in.close();
    doc.documentElement().setAttribute(Constant::XmlPhrasing::SCRATCH_TOOLS, SCRATCH_SOUND);
    QSaveFile out(path);
    const QByteArray bytes = doc.toString(1).toUtf8();
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text) || out.write(bytes) != bytes.size() || !out.commit())
        return fail("cannot write " + path);
    return true;
}

} // namespace

bool writeDataTree(const QString& appData) {
    for (const QString& folder : {Constant::Directory::INPUT, Constant::Directory::COLOR,
                                  Constant::Directory::SCRATCH_TOOLS}) {
        if (!QDir().mkpath(appData + "/" + folder))
            return fail("cannot create " + appData + "/" + folder);
    }
    return sound(appData + "/" + Constant::Directory::INPUT + "/beep1.wav", Sounds::click()) &&
           sound(appData + "/" + Constant::Directory::SCRATCH_TOOLS + "/" + SCRATCH_SOUND, Sounds::vowel()) &&
           defaultSet(appData) && defaultColor(appData);
}
