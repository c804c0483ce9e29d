// The colour-file reader (.qlp: the phrasing areas of a colour set, inside packages).
//
// The reader proper (the colour panel's exportQLPToManagePhrasing) lives in the interface library,
// which is not written yet. Until it is, this target reads the file the way that reader does, into
// the core's ManagePhrasing, and runs what the core does with a set it read (the scratch sound, the
// area check and searches). Once the reader exists, call it here instead and link quillon_gui.
#include <QDomDocument>
#include <QFile>

#include <cmath>

#include "FuzzSandbox.h"
#include "core/ManagePhrasing.h"

namespace {

using namespace Constant::XmlPhrasing;

// Numbers that are not finite count as 0 (QString::toDouble reads "nan" and "inf").
double angle(const QDomElement& section, const QString& name) {
    const double value = section.attribute(name).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

std::unique_ptr<ManagePhrasing> read(const QString& path) {
    QFile file(path);
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return nullptr;
    const QDomElement root = document.documentElement();
    if (root.tagName() != PHRASING)
        return nullptr;
    QList<QPhrasing> areas;
    for (QDomElement section = root.firstChildElement(SECTION); !section.isNull();
         section = section.nextSiblingElement(SECTION)) {
        const QStringList rgb = section.attribute(COLOR).split(QLatin1Char(','));
        if (rgb.size() < 3)
            return nullptr;
        const Constant::Color::Rgba color{std::uint8_t(rgb[0].toInt()), std::uint8_t(rgb[1].toInt()),
                                          std::uint8_t(rgb[2].toInt())};
        areas.append(QPhrasing(section.attribute(LABEL), color, angle(section, ANGLE_START),
                               angle(section, ANGLE_END)));
    }
    auto set = std::make_unique<ManagePhrasing>(ModelGraph::NOT_USED);
    set->setTitle(root.attribute(NAME));
    set->setScratchTools(root.attribute(SCRATCH_TOOLS));
    set->setListPhrasing(areas);
    set->setPath(path);
    set->generateScratchTools();
    if (!set->checkPhrasing())
        return nullptr;
    return set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<ManagePhrasing> set = read(FuzzSandbox::writeInput(data, size));
    if (!set)
        return 0;
    for (const QPhrasing& area : set->listPhrasing()) {
        set->searchPhrasing(area.angleStart());
        set->searchAngleStart(area.angleEnd());
        set->searchAngleEnd(area.angleStart());
    }
    return 0;
}
