// Regenerates the pictures and the generated files of the shipped data tree that the repository
// commits (the build itself only embeds and copies them):
//   quillon_generate pictures <resources folder>   icons and images, checked against pictures.txt
//   quillon_generate data <resources folder>       sounds, the default set and the default colour file
// scripts/make-resources.sh builds and runs it.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHashSeed>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTextStream>

#include <cstdio>

#include "DataTree.h"
#include "Glyph.h"
#include "Logos.h"

namespace {

int fail(const QString& what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    return 1;
}

// A name without an extension is stored with ".png" and embedded under the bare name.
QString fileName(const QString& name) {
    return name.contains('.') ? name : name + ".png";
}

QImage render(const Glyph& glyph) {
    QImage image(glyph.side, glyph.side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(glyph.side / 100.0, glyph.side / 100.0);
    glyph.paint(p);
    return image;
}

// The names pictures.txt lists, as "icon|name" and "image|name".
QSet<QString> listedNames(const QString& resources) {
    QSet<QString> names;
    QFile file(resources + "/gui/pictures.txt");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return names;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList parts = in.readLine().split('|');
        if (parts.size() == 3 && !parts[0].startsWith('#'))
            names.insert(parts[0] + "|" + parts[1]);
    }
    return names;
}

int pictures(const QString& resources) {
    QSet<QString> drawn;
    const QString icons = resources + "/gui/icon", images = resources + "/gui/image";
    if (!QDir().mkpath(icons) || !QDir().mkpath(images))
        return fail("cannot create " + icons + " or " + images);
    for (const Glyph& glyph : transportGlyphs() + toolGlyphs() + panelGlyphs()) {
        const QString path = icons + "/" + fileName(glyph.name);
        if (!render(glyph).save(path, "PNG"))
            return fail("cannot write " + path);
        drawn.insert("icon|" + glyph.name);
    }
    for (const Logo& logo : logos()) {
        const QString path = images + "/" + fileName(logo.name);
        if (!logo.make().save(path, "PNG"))
            return fail("cannot write " + path);
        drawn.insert("image|" + logo.name);
    }
    const QSet<QString> listed = listedNames(resources);
    int status = 0;
    for (const QString& name : listed - drawn)
        status = fail("listed in pictures.txt but not drawn: " + name);
    for (const QString& name : drawn - listed)
        status = fail("drawn but not listed in pictures.txt: " + name);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts and painting need a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Attribute order in the colour file follows hashing: a fixed seed makes the output repeatable.
    QHashSeed::setDeterministicGlobalSeed();
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != "pictures" && args[1] != "data"))
        return fail("usage: quillon_generate pictures|data <resources folder>");
    const QString resources = QDir(args[2]).absolutePath();
    if (args[1] == "pictures")
        return pictures(resources);
    return writeDataTree(resources + "/AppData") ? 0 : 1;
}
