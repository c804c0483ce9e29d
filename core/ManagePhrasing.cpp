#include "ManagePhrasing.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "Function.h"
#include "ManageWAV.h"
#include "Path.h"
#include "Singleton.h"
#include "Timecode.h"
#include "Vinyl.h"
#include "FileIO.h"

namespace {

// The order in which new areas take their colours.
constexpr std::array<Constant::Color::Rgba, 12> PALETTE{
    Constant::Color::COLOR_RED_1,    Constant::Color::COLOR_YELLOW_1, Constant::Color::COLOR_BLUE_1,
    Constant::Color::COLOR_ORANGE_1, Constant::Color::COLOR_RED_2,    Constant::Color::COLOR_RED_3,
    Constant::Color::COLOR_YELLOW_2, Constant::Color::COLOR_YELLOW_3, Constant::Color::COLOR_BLUE_2,
    Constant::Color::COLOR_BLUE_3,   Constant::Color::COLOR_ORANGE_2, Constant::Color::COLOR_ORANGE_3,
};

// A colour text "red,green,blue[,...]"; false when it has fewer than three parts.
bool readColor(const QString& text, Constant::Color::Rgba* color) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 3)
        return false;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        rgb[i] = parts[i].toInt(); // 0 when not a number
        // Such a colour is not valid, and an invalid colour draws and saves as black.
        if (rgb[i] < 0 || rgb[i] > 255) {
            *color = {0, 0, 0};
            return true;
        }
    }
    *color = {std::uint8_t(rgb[0]), std::uint8_t(rgb[1]), std::uint8_t(rgb[2])};
    return true;
}

// An angle attribute; false when it is infinite or NaN. Any other text that is not a number reads as 0.
bool readAngle(const QDomElement& section, const QString& name, double* angle) {
    bool ok = false;
    const double value = section.attribute(name).toDouble(&ok);
    if (!std::isfinite(value))
        return false;
    *angle = ok ? value : 0.0;
    return true;
}

// The shortest decimal text that reads back to the same double.
QString angleText(double angle) {
    return QString::number(angle, 'g', QLocale::FloatingPointShortest);
}

} // namespace

ManagePhrasing::ManagePhrasing(ModelGraph::EnumGraph graph, QObject* parent)
    : QObject(parent), m_graph(graph) {}

void ManagePhrasing::setListPhrasing(const QList<QPhrasing>& list) {
    m_areas = list;
}

void ManagePhrasing::generateScratchTools() {
    m_wav.reset();
    if (!Function::isBareFileName(m_scratchTools))
        return;
    const QFileInfo file(Path::joinScratchTools(m_scratchTools));
    if (file.isFile())
        m_wav = ManageWAV::extractStereoWAVFromFile(file.filePath());
}

// Sorted by start, so a hostile file of many areas costs n log n. An area holds nothing unless its
// span is above 0; an area's start may lie inside an area of the same id (a copy of itself).
bool ManagePhrasing::checkPhrasing() const {
    struct Holder {
        double start;
        double end;
        QUuid id;
    };
    std::vector<Holder> holders;
    for (const QPhrasing& area : m_areas) {
        const double span = area.spanAngle();
        if (span == 0.0 || span > 360.0)
            return false;
        if (span > 0.0)
            holders.push_back({area.angleStart(), area.angleEnd(), area.id()});
    }
    std::sort(holders.begin(), holders.end(),
              [](const Holder& a, const Holder& b) { return a.start < b.start; });
    // Over the holders up to each one: the largest end with its id, and the largest end of any other id.
    struct Reach {
        double end;
        QUuid id;
        double otherEnd;
    };
    std::vector<Reach> reach;
    reach.reserve(holders.size());
    for (const Holder& h : holders) {
        Reach r = reach.empty() ? Reach{h.end, h.id, -std::numeric_limits<double>::infinity()} : reach.back();
        if (h.id == r.id)
            r.end = std::max(r.end, h.end);
        else if (h.end > r.end)
            r = {h.end, h.id, r.end};
        else
            r.otherEnd = std::max(r.otherEnd, h.end);
        reach.push_back(r);
    }
    for (const QPhrasing& area : m_areas) {
        const double start = area.angleStart();
        const auto after = std::upper_bound(holders.cbegin(), holders.cend(), start,
                                            [](double angle, const Holder& h) { return angle < h.start; });
        if (after == holders.cbegin())
            continue;
        const Reach& r = reach[after - holders.cbegin() - 1];
        if (start < (r.id != area.id() ? r.end : r.otherEnd))
            return false;
    }
    return true;
}

qsizetype ManagePhrasing::indexHolding(double angle) const {
    for (qsizetype i = 0; i < m_areas.size(); ++i) {
        if (m_areas[i].holds(angle))
            return i;
    }
    return -1;
}

std::optional<QPhrasing> ManagePhrasing::searchPhrasing(double angle, qsizetype* index) const {
    const qsizetype i = indexHolding(angle);
    if (index)
        *index = i;
    if (i < 0)
        return std::nullopt;
    return m_areas[i];
}

bool ManagePhrasing::checkFreeArea(double angle) const {
    return indexHolding(angle) < 0;
}

double ManagePhrasing::searchAngleStart(double angle) const {
    std::optional<double> largest;
    for (const QPhrasing& area : m_areas) {
        if (area.angleEnd() <= angle && (!largest || area.angleEnd() > *largest))
            largest = area.angleEnd();
    }
    return largest.value_or(0.0);
}

double ManagePhrasing::searchAngleEnd(double angle) const {
    std::optional<double> smallest;
    for (const QPhrasing& area : m_areas) {
        if (area.angleStart() >= angle && (!smallest || area.angleStart() < *smallest))
            smallest = area.angleStart();
    }
    return smallest.value_or(360.0);
}

Constant::Color::Rgba ManagePhrasing::nextColor() const {
    for (const Constant::Color::Rgba& color : PALETTE) {
        const bool used = std::any_of(m_areas.cbegin(), m_areas.cend(),
                                      [&](const QPhrasing& area) { return area.color() == color; });
        if (!used)
            return color;
    }
    return PALETTE.front();
}

void ManagePhrasing::appendArea(double angleStart, double angleEnd) {
    if (angleEnd - angleStart > 0.0)
        m_areas.append(QPhrasing(QString(), nextColor(), angleStart, angleEnd));
}

double ManagePhrasing::reduceAngle(double angle) {
    double reduced = std::fmod(angle, 360.0);
    if (reduced < 0.0)
        reduced += 360.0;
    // A tiny negative angle rounds up to exactly 360 when 360 is added.
    return reduced >= 360.0 ? 0.0 : reduced;
}

void ManagePhrasing::addArea() {
    addArea(presentAngle(false));
}

void ManagePhrasing::addArea(double angle) {
    const qsizetype i = indexHolding(angle);
    if (i >= 0) {
        if (angle > m_areas[i].angleStart()) {
            m_areas[i].setAngleEnd(angle);
            emit s_Update();
        }
    } else if (std::isfinite(angle)) {
        appendArea(searchAngleStart(angle), angle);
    }
    emit s_Update();
}

void ManagePhrasing::defineAngleStart() {
    defineAngleStart(presentAngle(false));
}

void ManagePhrasing::defineAngleStart(double angle) {
    const qsizetype i = indexHolding(angle);
    if (i >= 0)
        m_areas[i].setAngleStart(angle);
    emit s_Update();
}

void ManagePhrasing::defineAngleEnd(double angle) {
    const qsizetype i = indexHolding(angle);
    if (i >= 0 && angle > m_areas[i].angleStart())
        m_areas[i].setAngleEnd(angle);
    emit s_Update();
}

void ManagePhrasing::addAreaOnAllEmptyArea() {
    addAreaOnAllEmptyArea(presentAngle(false));
}

void ManagePhrasing::addAreaOnAllEmptyArea(double angle) {
    if (std::isfinite(angle) && indexHolding(angle) < 0)
        appendArea(searchAngleStart(angle), searchAngleEnd(angle));
    emit s_Update();
}

void ManagePhrasing::deleteArea() {
    deleteArea(presentAngle(true));
}

void ManagePhrasing::deleteArea(double angle) {
    const qsizetype i = indexHolding(reduceAngle(angle));
    if (i >= 0)
        m_areas.removeAt(i);
    emit s_Update();
}

void ManagePhrasing::initAreas() {
    m_areas.clear();
    emit s_Update();
}

double ManagePhrasing::presentAngle(bool calibrated) const {
    const Singleton* registry = Singleton::instance();
    const Vinyl* vinyl = registry->instanceVinyl();
    double angle = vinyl->vinylPosition(m_graph);
    if (calibrated || registry->instanceTimecode()->modeTimecode(m_graph))
        angle -= vinyl->vinylDeltaPosition(m_graph);
    return reduceAngle(angle);
}

bool ManagePhrasing::isWritable() const {
    const bool finite = std::all_of(m_areas.cbegin(), m_areas.cend(), [](const QPhrasing& area) {
        return std::isfinite(area.angleStart()) && std::isfinite(area.angleEnd());
    });
    return finite && checkPhrasing();
}

QString ManagePhrasing::toXml(const QString& name) const {
    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                    QStringLiteral("version=\"1.0\" encoding=\"utf-8\"")));
    QDomElement root = doc.createElement(Constant::XmlPhrasing::PHRASING);
    root.setAttribute(Constant::XmlPhrasing::NAME, name);
    root.setAttribute(Constant::XmlPhrasing::SCRATCH_TOOLS, QString());
    doc.appendChild(root);
    for (const QPhrasing& area : m_areas) {
        const Constant::Color::Rgba color = area.color();
        QDomElement section = doc.createElement(Constant::XmlPhrasing::SECTION);
        section.setAttribute(Constant::XmlPhrasing::LABEL, area.label());
        // As ints: arg() would take an 8-bit value for a character.
        section.setAttribute(
            Constant::XmlPhrasing::COLOR,
            QStringLiteral("%1,%2,%3").arg(int(color.red)).arg(int(color.green)).arg(int(color.blue)));
        section.setAttribute(Constant::XmlPhrasing::ANGLE_START, angleText(area.angleStart()));
        section.setAttribute(Constant::XmlPhrasing::ANGLE_END, angleText(area.angleEnd()));
        root.appendChild(section);
    }
    return doc.toString(1);
}

bool ManagePhrasing::readsBack(const QByteArray& bytes, const QString& name) const {
    QDomDocument doc;
    if (!doc.setContent(bytes))
        return false;
    const QDomElement root = doc.documentElement();
    if (root.attribute(Constant::XmlPhrasing::NAME) != name)
        return false;
    QDomElement section = root.firstChildElement(Constant::XmlPhrasing::SECTION);
    for (const QPhrasing& area : m_areas) {
        if (section.isNull() || section.attribute(Constant::XmlPhrasing::LABEL) != area.label())
            return false;
        section = section.nextSiblingElement(Constant::XmlPhrasing::SECTION);
    }
    return true;
}

ManagePhrasing::SaveStatus ManagePhrasing::createQLPXML(const QString& path, bool notify) {
    if (!isWritable())
        return SaveStatus::InvalidSet;
    const QString name = QFileInfo(path).baseName();
    const QByteArray bytes = toXml(name).toUtf8();
    if (!readsBack(bytes, name))
        return SaveStatus::InvalidSet;
    if (QFileInfo::exists(path))
        return SaveStatus::AlreadyExists;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return SaveStatus::WriteFailed;
    if (file.write(bytes) != bytes.size() || !FileIO::commit(file))
        return SaveStatus::WriteFailed;
    if (notify)
        emit s_newColorFile(path);
    return SaveStatus::Created;
}

std::unique_ptr<ManagePhrasing> ManagePhrasing::readQLPFile(const QString& path) {
    if (!path.toLower().endsWith(Constant::Extension::QLP) || !QFileInfo(path).isFile())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.read(MAX_FILE_BYTES + 1);
    if (bytes.size() > MAX_FILE_BYTES)
        return nullptr;
    QDomDocument doc;
    if (!Function::xmlNestedWithin(bytes, MAX_XML_DEPTH) || !doc.setContent(bytes))
        return nullptr;
    const QDomElement root = doc.documentElement();
    if (root.tagName() != Constant::XmlPhrasing::PHRASING)
        return nullptr;
    const QString scratchTools = root.attribute(Constant::XmlPhrasing::SCRATCH_TOOLS);
    if (!scratchTools.isEmpty() && !Function::isBareFileName(scratchTools))
        return nullptr;

    QList<QPhrasing> areas;
    for (QDomElement section = root.firstChildElement(Constant::XmlPhrasing::SECTION); !section.isNull();
         section = section.nextSiblingElement(Constant::XmlPhrasing::SECTION)) {
        Constant::Color::Rgba color;
        double start = 0.0;
        double end = 0.0;
        if (areas.size() == MAX_AREAS ||
            !readColor(section.attribute(Constant::XmlPhrasing::COLOR), &color) ||
            !readAngle(section, Constant::XmlPhrasing::ANGLE_START, &start) ||
            !readAngle(section, Constant::XmlPhrasing::ANGLE_END, &end))
            return nullptr;
        areas.append(QPhrasing(section.attribute(Constant::XmlPhrasing::LABEL), color, start, end));
    }

    auto set = std::make_unique<ManagePhrasing>(ModelGraph::NOT_USED);
    set->setTitle(root.attribute(Constant::XmlPhrasing::NAME));
    set->setScratchTools(scratchTools);
    set->setListPhrasing(areas);
    set->setPath(path);
    if (!set->checkPhrasing())
        return nullptr;
    set->generateScratchTools();
    return set;
}

QString ManagePhrasing::colorFilePath(const QString& name) {
    return Path::joinColor(Function::safeFileName(QStringLiteral("%1") + Constant::Extension::QLP, {name}));
}
