// Writes the fuzz targets' seed corpus (corpus/<target>/seed-*) with the project's own writers where
// they exist, by hand where the application only reads (the controller mapping, MIDI packet lists,
// packages of shapes the application never writes).
// Runs in a test sandbox, so the writers that go through the data folder write into the sandbox's.
// Usage: quillon_fuzz_seeds <corpus folder>. Other files in the folder (kept findings) are left alone.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHashFunctions>
#include <QtEndian>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "TestSandbox.h"
#include "core/Function.h"
#include "core/Header.h"
#include "core/ManagePhrasing.h"
#include "core/ManageWAV.h"
#include "core/PathFile.h"
#include "core/QCurve.h"
#include "core/QLooper.h"
#include "core/QSample.h"
#include "core/Setting.h"
#include "core/SettingMixer.h"
#include "core/Singleton.h"
#include "core/audio/DeviceCatalogue.h"
#include "core/library/PackageExport.h"
#include "platform/midi/MidiInputPort.h"

namespace {

QString g_corpus;
bool g_ok = true;

void check(bool ok, const QString& what) {
    if (!ok) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(what));
        g_ok = false;
    }
}

QString seedPath(const QString& target, const QString& name) {
    QDir().mkpath(g_corpus + "/" + target);
    return g_corpus + "/" + target + "/seed-" + name;
}

void writeSeed(const QString& target, const QString& name, const QByteArray& bytes) {
    QFile file(seedPath(target, name));
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
          file.fileName());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), path);
    return file.readAll();
}

void copySeed(const QString& target, const QString& name, const QString& from) {
    writeSeed(target, name, readAll(from));
}

void wavSeeds() {
    const QString path = TestSandbox::root() + "/seed.wav";
    ManageWAV empty;
    const QSample sample(ModelGraph::INPUT_A, 0, QStringLiteral("seed"), 48000.0, 2, 0);
    check(empty.createWAVFile(path, &sample), path);
    copySeed("wav", "empty.wav", path);

    ManageWAV tone;
    for (int i = 0; i < 64; ++i) {
        const qint16 value = qint16(std::lround(8000.0 * std::sin(i * 0.3)));
        tone.addData(&value);
    }
    check(tone.createWAVFile(path, &sample), path);
    const QByteArray bytes = readAll(path);
    writeSeed("wav", "tone-48000-2-16.wav", bytes);
    // The same sound with a chunk the reader skips between "fmt " and "data", as other writers add.
    const QByteArray list("LIST\x05\x00\x00\x00INFOx\x00", 14);
    QByteArray withList = bytes.left(36) + list + bytes.mid(36);
    qToLittleEndian<quint32>(quint32(withList.size() - 8), withList.data() + 4);
    writeSeed("wav", "tone-with-list-chunk.wav", withList);
}

void trainingSeeds() {
    const QString path = TestSandbox::root() + "/seed.qlt";
    const QLooper full("seed.qlt", 1, ModelActivatedMode::Looper, 0, QStringLiteral("Crab & flare"),
                       QStringLiteral("T4rMo"), QStringLiteral("https://example.org"), QString(), 92,
                       "loop.wav", 480, "a.wav", "b.wav", "c1.qlw", "c2.qlw", "a.qlp", "b.qlp");
    check(Header::exportHeaderToQLTFile(path, &full), path);
    copySeed("training", "looper.qlt", path);
    const QLooper bare("seed.qlt", 1, ModelActivatedMode::Training, 1, QStringLiteral("Baby"), QString(),
                       QString(), QString(), 0, QString(), 0, QString(), QString(), QString(), QString(),
                       QString(), QString());
    check(Header::exportHeaderToQLTFile(path, &bare), path);
    copySeed("training", "training-without-files.qlt", path);
}

void curveSeeds() {
    QCurve curve(ModelGraph::INPUT_A);
    for (int i = 0; i < 12; ++i) {
        QData point;
        point.setSamplerate(256 * (i + 1));
        point.setY(std::sin(i * 0.5) * 40.0);
        point.setTargetPosition(i * 30.0);
        point.setTimecode(i);
        point.setRotation(i % 3 == 0 ? ModelRotation::FORWARD : i % 3 == 1 ? ModelRotation::BACK
                                                                            : ModelRotation::UNDEFINED);
        point.setDrawon(i % 2 == 0);
        curve.addDataCurve(point);
    }
    check(curve.exportCurveToQLWFile("seed"), "seed.qlw");
    const QString folder = Singleton::instance()->instancePathFile()->createPathDirectory_recording();
    copySeed("curve", "twelve-points.qlw", folder + "/seed.qlw");
    const QCurve empty(ModelGraph::INPUT_A);
    check(empty.exportCurveToQLWFile("seed"), "seed.qlw");
    copySeed("curve", "empty.qlw", folder + "/seed.qlw");
}

void colorSeeds() {
    using namespace Constant::Color;
    ManagePhrasing set(ModelGraph::NOT_USED);
    set.setListPhrasing({QPhrasing(QStringLiteral("chirp"), COLOR_RED_1, 0.0, 90.0),
                         QPhrasing(QStringLiteral("<&\"flare\">"), COLOR_BLUE_2, 90.0, 200.5),
                         QPhrasing(QString(), COLOR_ORANGE_3, 250.0, 360.0)});
    const QString path = TestSandbox::root() + "/seed.qlp";
    check(set.createQLPXML(path, false) == ManagePhrasing::SaveStatus::Created, path);
    copySeed("color", "three-areas.qlp", path);
}

// A Z2 mapping whose only page holds `controls`.
QByteArray z2Mapping(const QByteArray& controls) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ni-controller-midi-map><controller type=\"Traktor "
           "Kontrol Z2\"><midi-map><pages><page name=\"Basic\">\n" +
           controls + "</page></pages></midi-map></controller></ni-controller-midi-map>\n";
}

void midimapSeeds() {
    copySeed("midimap", "shipped.ncc", TestSandbox::dataFolder() + "/Input/Conf_Midi_Z2.ncc");
    writeSeed("midimap", "every-kind.ncc", R"(<?xml version="1.0" encoding="UTF-8"?>
<ni-controller-midi-map>
  <controller type="Other"><midi-map><pages><page name="Basic"/></pages></midi-map></controller>
  <controller type="Traktor Kontrol Z2">
    <midi-map>
      <pages>
        <page name="Basic">
          <button id="Play"><channel>1</channel><controller>16</controller><on>127</on><off>0</off></button>
          <wheel id="XFader"><channel>0</channel><controller>8</controller><min>0</min><max>127</max></wheel>
        </page>
        <page name="Shift">
          <knob id="Gain"><channel>2</channel><controller>7</controller><min>0</min><max>127</max></knob>
          <led id="Sync"><channel>3</channel><controller>9</controller><min>0</min><max>1</max></led>
          <pedal id="Ignored"/>
        </page>
      </pages>
    </midi-map>
  </controller>
</ni-controller-midi-map>
)");
}

// One packet as the platform layer lays it out: time stamp, length, data.
QByteArray packet(quint64 stamp, const QByteArray& data) {
    QByteArray bytes(int(MidiInputPort::HEADER_SIZE), '\0');
    const quint16 length = quint16(data.size());
    std::memcpy(bytes.data(), &stamp, MidiInputPort::TIME_STAMP_SIZE);
    std::memcpy(bytes.data() + MidiInputPort::TIME_STAMP_SIZE, &length, MidiInputPort::LENGTH_SIZE);
    return bytes + data;
}

// Large inputs, which runs with a large FUZZ_MAX_LEN mutate: many controls, and nesting far past the limit.
void largeMidimapSeeds() {
    QByteArray controls;
    for (int i = 0; i < 2000; ++i)
        controls += QStringLiteral("<button id=\"B%1\"><channel>%2</channel><controller>%3</controller>"
                                   "<on>127</on><off>0</off></button>\n")
                        .arg(i)
                        .arg(i % 16)
                        .arg(i % 128)
                        .toUtf8();
    writeSeed("midimap", "many-controls.ncc", z2Mapping(controls));
    writeSeed("midimap", "deep-nesting.ncc", z2Mapping(QByteArray("<a>").repeated(50000) +
                                                       QByteArray("</a>").repeated(50000)));
}

void midipacketSeeds() {
    writeSeed("midipacket", "control-change.bin", packet(1000, QByteArray("\xB0\x08\x40", 3)));
    writeSeed("midipacket", "mixed-list.bin",
              packet(1, QByteArray("\x90\x3C\x7F\x80\x3C\x00", 6)) + packet(2, QByteArray("\xF0\x7E\xF7", 3)) +
                  packet(3, QByteArray("\xB1\x07", 2)) + packet(4, QByteArray()) +
                  packet(5, QByteArray("\xE0\x00\x40", 3)));
}

void configSeeds() {
    const QString input = TestSandbox::dataFolder() + "/Input/";
    QFile::remove(input + "config.ini");
    {
        Setting setting; // writes the default file
    }
    copySeed("config", "default-config.ini", input + "config.ini");
    {
        Setting setting;
        setting.setParamInput_A(QStringLiteral("3-[USB Audio 8 DJ]-48000/8p1-ALSA-Input B"));
        setting.setParamInput_Midi(QStringLiteral("0:Traktor Kontrol Z2"));
        setting.setParamLearn_Midi(2, 8);
        setting.setParamVinylDeltaPositionA(123.456);
        setting.setParamVolumeDeck(QStringLiteral("75"));
    }
    copySeed("config", "rewritten-config.ini", input + "config.ini");
    copySeed("config", "shipped-MixerMac.ini", input + "MixerMac.ini");

    // Large inputs, which runs with a large FUZZ_MAX_LEN mutate: many sections, and long lines of
    // every kind (a list value with escapes and quotes, an escaped key, a quoted value over many lines).
    QByteArray sections = readAll(input + "config.ini");
    for (int i = 0; i < 2500; ++i)
        sections += QStringLiteral("\n[Interface %1]\ninputA=%2\noutputA=%3\nname=\"Deck, %1\"\n")
                        .arg(i)
                        .arg(i % 8)
                        .arg((i + 2) % 8)
                        .toUtf8();
    writeSeed("config", "many-sections.ini", sections);
    writeSeed("config", "long-lines.ini",
              "[device]\nname=" + QByteArray("a\\x41 \\101,\"b;c=d\", ").repeated(8000) +
                  "\n[%U00e9" + QByteArray("k%41\\").repeated(8000) + "]\ninputA=1\nquoted=\"" +
                  QByteArray("line\\\n").repeated(8000) + "\"\ncrossFaderRight=5\n");
}

void deviceidSeeds() {
    const SettingMixer mixer;
    const QList<DeviceCatalogue::Device> devices{{0, QStringLiteral("Audio 8 DJ"), 8, 8, 8, 48000.0},
                                                 {3, QStringLiteral("default"), 0, 2, 2, 44100.0}};
    const QStringList in = DeviceCatalogue::list(devices, ModelAudioDeviceInfo::AUDIO_INPUT, mixer);
    const QStringList out = DeviceCatalogue::list(devices, ModelAudioDeviceInfo::AUDIO_OUTPUT, mixer);
    writeSeed("deviceid", "input-mapped.txt", in.value(2).toUtf8());
    writeSeed("deviceid", "input-stereo.txt", in.last().toUtf8());
    writeSeed("deviceid", "output-mapped.txt", out.value(3).toUtf8());
    writeSeed("deviceid", "midi.txt", Function::devicesMidiIn({{"0", "Traktor Kontrol Z2"}}).value(0).toUtf8());
}

// Zip entries carry a local time: a fixed one regenerates the same bytes.
QDateTime seedTime() {
    return QDateTime(QDate(2020, 1, 1), QTime(12, 0));
}

struct ZipEntry {
    QString name;
    QByteArray data;
    quint32 unixMode = 0100644;
};

// A package written entry by entry, with names and file modes no export makes.
void writeZipSeed(const QString& name, const QList<ZipEntry>& entries) {
    const QString path = seedPath("package", name);
    QFile::remove(path);
    QuaZip zip(path);
    zip.setUtf8Enabled(true);
    check(zip.open(QuaZip::mdCreate), path);
    for (const ZipEntry& entry : entries) {
        QuaZipNewInfo info(entry.name);
        info.dateTime = seedTime();
        info.externalAttr = entry.unixMode << 16;
        QuaZipFile file(&zip);
        check(file.open(QIODevice::WriteOnly, info) && file.write(entry.data) == entry.data.size(), entry.name);
        file.close();
    }
    zip.close();
    check(zip.getZipError() == ZIP_OK, path);
}

void packageSeeds() {
    // A looper set as the library exports it: header, sound, colour file and the author's picture.
    const QString folder = TestSandbox::root() + "/package-set";
    QDir().mkpath(folder);
    const QLooper stored("seed.qlt", 1, ModelActivatedMode::Looper, 0, QStringLiteral("Crab & flare"),
                         QStringLiteral("T4rMo"), QStringLiteral("https://example.org"), QString(), 92,
                         "loop.wav", 480, QString(), QString(), QString(), QString(), "a.qlp", QString());
    check(Header::exportHeaderToQLTFile(folder + "/seed.qlt", &stored), "seed.qlt");
    const QByteArray training = readAll(folder + "/seed.qlt");
    const QByteArray sound = readAll(seedPath("wav", "tone-48000-2-16.wav"));
    const QByteArray color = readAll(seedPath("color", "three-areas.qlp"));
    const QByteArray picture("\x89PNG\r\n\x1a\n", 8);
    const QList<ZipEntry> members{{"loop.wav", sound}, {"a.qlp", color}, {"author.png", picture}};
    for (const ZipEntry& member : members) {
        QFile file(folder + "/" + member.name);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(member.data) == member.data.size(),
              file.fileName());
    }
    for (const QString& name : {"seed.qlt", "loop.wav", "a.qlp", "author.png"}) {
        QFile file(folder + "/" + name);
        check(file.open(QIODevice::ReadWrite) && file.setFileTime(seedTime(), QFileDevice::FileModificationTime),
              file.fileName());
    }
    const QLooper set(folder + "/seed.qlt", 1, ModelActivatedMode::Looper, 0, stored.title(), stored.author(),
                      stored.url(), QString(), 92, folder + "/loop.wav", 480, QString(), QString(), QString(),
                      QString(), folder + "/a.qlp", QString());
    const QString exported = seedPath("package", "looper-set.qlz");
    QFile::remove(exported);
    check(PackageExport::write(exported, set), exported);

    // Shapes the check refuses.
    writeZipSeed("link-entry.qlz", {{"set.qlt", training}, {"loop.wav", "../../../etc/passwd", 0120777}});
    writeZipSeed("parent-name.qlz", {{"set.qlt", training}, {"../loop.wav", sound}});
    writeZipSeed("folder-entry.qlz", {{"sub", QByteArray(), 040755}, {"set.qlt", training}});
    writeZipSeed("two-training-files.qlz", {{"set.qlt", training}, {"other.qlt", training}});
    writeZipSeed("names-differing-in-case.qlz", {{"set.qlt", training}, {"Loop.wav", sound}, {"loop.WAV", sound}});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    g_corpus = QDir(QFile::decodeName(argv[1])).absolutePath();
    return TestSandbox::run(argc, argv, [](int argc, char** argv) {
        QCoreApplication app(argc, argv);
        // The colour file's attribute order follows the hash seed: a fixed one regenerates the same bytes.
        QHashSeed::setDeterministicGlobalSeed();
        wavSeeds();
        trainingSeeds();
        curveSeeds();
        colorSeeds();
        midimapSeeds();
        largeMidimapSeeds();
        midipacketSeeds();
        configSeeds();
        deviceidSeeds();
        packageSeeds();
        return g_ok ? 0 : 1;
    });
}
