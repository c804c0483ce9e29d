// Files built to be slow: a colour set of 30,000 areas, a controller mapping nested 40,000 levels
// deep (280 KB).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/ManagePhrasing.h"
#include "core/midi/ParserMidi.h"

static QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& content) {
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return file.fileName();
}

static void BM_CheckPhrasing(benchmark::State& state) {
    QList<QPhrasing> areas;
    for (int i = 0; i < state.range(0); ++i)
        areas.append(QPhrasing(QString(), Constant::Color::COLOR_RED_1, i * 0.01, i * 0.01 + 0.005));
    ManagePhrasing set(ModelGraph::NOT_USED);
    set.setListPhrasing(areas);
    for (auto _ : state)
        benchmark::DoNotOptimize(set.checkPhrasing());
}
BENCHMARK(BM_CheckPhrasing)->Arg(30000)->Unit(benchmark::kMillisecond);

static void BM_ParseNestedMapping(benchmark::State& state) {
    const QTemporaryDir dir;
    const QByteArray nested = QByteArray("<x>").repeated(40000) + QByteArray("</x>").repeated(40000);
    const QString path =
        writeFile(dir, "nested.ncc", "<ni-controller-midi-map>" + nested + "</ni-controller-midi-map>");
    for (auto _ : state)
        benchmark::DoNotOptimize(ParserMidi::parseXmlNi(path, QStringLiteral("Traktor Kontrol Z2")));
}
BENCHMARK(BM_ParseNestedMapping)->Unit(benchmark::kMillisecond);
