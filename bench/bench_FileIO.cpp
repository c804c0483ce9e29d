// Reading the base64 text fields of a training file.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

#include "core/FileIO.h"

static void BM_ReadStringFromBase64(benchmark::State& state) {
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        for (int i = 0; i < 16; ++i)
            FileIO::writeStringToBase64(QStringLiteral("Regular Training %1").arg(i), out);
    }
    for (auto _ : state) {
        QDataStream in(bytes);
        in.setByteOrder(QDataStream::LittleEndian);
        for (int i = 0; i < 16; ++i)
            benchmark::DoNotOptimize(FileIO::readStringFromBase64(in));
    }
    state.SetItemsProcessed(state.iterations() * 16);
}
BENCHMARK(BM_ReadStringFromBase64);
