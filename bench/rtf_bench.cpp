// RTF reading (into a document and as text) and writing throughput on generated documents of 100
// KB, 1 MB and 10 MB, the same with 100 tables to the megabyte, and reading the hostile inputs
// the robustness tests read.
#include "OffscreenMain.h"
#include "RtfHostile.h"
#include "RtfSample.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QFile>
#include <QTextDocument>
#include <QTextFrame>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

const QByteArray& sample(qsizetype size) {
    static std::map<qsizetype, QByteArray> samples;
    auto it = samples.find(size);
    if (it == samples.end())
        it = samples.emplace(size, rtfsample::generate(size)).first;
    return it->second;
}

const QByteArray& sampleWithTables(qsizetype size) {
    static std::map<qsizetype, QByteArray> samples;
    auto it = samples.find(size);
    if (it == samples.end())
        it = samples.emplace(size, rtfsample::generateWithTables(size)).first;
    return it->second;
}

void BM_RtfReadTables(benchmark::State& state) {
    const QByteArray& rtf = sampleWithTables(state.range(0));
    qsizetype tables = 0;
    for (auto _ : state) {
        QTextDocument document;
        rtf::read(rtf, document);
        tables = document.rootFrame()->childFrames().size();
    }
    state.counters["tables"] = double(tables);
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
}

void BM_RtfReadTextTables(benchmark::State& state) {
    const QByteArray& rtf = sampleWithTables(state.range(0));
    for (auto _ : state) {
        const QString text = rtf::readText(rtf);
        benchmark::DoNotOptimize(text.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
}

void BM_RtfWriteTables(benchmark::State& state) {
    QTextDocument document;
    rtf::read(sampleWithTables(state.range(0)), document);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray out = rtf::write(document);
        written = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * written);
}

void BM_RtfRead(benchmark::State& state) {
    const QByteArray& rtf = sample(state.range(0));
    for (auto _ : state) {
        QTextDocument document;
        rtf::read(rtf, document);
        benchmark::DoNotOptimize(document.blockCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
}

void BM_RtfReadText(benchmark::State& state) {
    const QByteArray& rtf = sample(state.range(0));
    for (auto _ : state) {
        const QString text = rtf::readText(rtf);
        benchmark::DoNotOptimize(text.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
}

void BM_RtfWrite(benchmark::State& state) {
    QTextDocument document;
    rtf::read(sample(state.range(0)), document);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray out = rtf::write(document);
        written = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * written);
}

void BM_RtfReadHostile(benchmark::State& state) {
    const rtfhostile::Input& input = rtfhostile::inputs()[state.range(0)];
    for (auto _ : state) {
        QTextDocument document;
        rtf::read(input.rtf, document);
        benchmark::DoNotOptimize(document.blockCount());
    }
    state.SetLabel(input.name);
    state.SetBytesProcessed(int64_t(state.iterations()) * input.rtf.size());
}

} // namespace

BENCHMARK(BM_RtfRead)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReadText)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfWrite)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReadTables)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReadTextTables)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfWriteTables)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReadHostile)
    ->DenseRange(0, int(rtfhostile::inputs().size()) - 1)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    // rtf_bench --write-sample FILE SIZE: the generated document on disk, for timing programs;
    // --write-tables-sample the one with tables.
    const bool tables = argc == 4 && qstrcmp(argv[1], "--write-tables-sample") == 0;
    if (argc == 4 && (tables || qstrcmp(argv[1], "--write-sample") == 0)) {
        QFile file(QString::fromLocal8Bit(argv[2]));
        const qsizetype size = QByteArray(argv[3]).toLongLong();
        const QByteArray rtf =
            tables ? rtfsample::generateWithTables(size) : rtfsample::generate(size);
        if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    return runOffscreenBenchmarks(argc, argv);
}
