// Reading the inputs of HostileInputs.h, and writing millions of runs as HTML, each at two or
// three sizes: a cost that grows faster than the input shows as throughput falling with size.
#include "HostileInputs.h"
#include "OffscreenMain.h"
#include "pane/RichTextBox.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"
#include "storage/DocumentFile.h"
#include "storage/HtmlWriter.h"

#include <QFile>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

// Reads `rtf` into a new document per iteration; `items` counts what the shape is made of.
void readRtf(benchmark::State& state, const QByteArray& rtf, int64_t items) {
    for (auto _ : state) {
        QTextDocument document;
        rtf::read(rtf, document);
        benchmark::DoNotOptimize(document.blockCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
    state.SetItemsProcessed(int64_t(state.iterations()) * items);
}

void BM_BulletList(benchmark::State& state) {
    const int items = int(state.range(0));
    readRtf(state, hostile::bulletList(items), items);
}

// One list's numbers count through all of it, so Qt's cost of adding each item to the list
// stays: this one is expected to grow with the square of the length.
void BM_NumberedList(benchmark::State& state) {
    const int items = int(state.range(0));
    readRtf(state, hostile::numberedList(items), items);
}

void BM_FontSwitches(benchmark::State& state) {
    const int switches = int(state.range(1));
    readRtf(state, hostile::fontSwitches(int(state.range(0)), switches), switches);
}

void BM_Paragraphs(benchmark::State& state) {
    const int count = int(state.range(0));
    readRtf(state, hostile::paragraphs(count), count);
}

void BM_BlankParagraphs(benchmark::State& state) {
    const int count = int(state.range(0));
    readRtf(state, hostile::paragraphs(count, true), count);
}

void BM_PlainTextNewlines(benchmark::State& state) {
    const QByteArray text = hostile::newlines(state.range(0));
    for (auto _ : state) {
        const DocumentFile::Content content = DocumentFile::fromBytes(
            text, DocumentFile::Kind::PlainText, DocumentDefaults::charFormat());
        benchmark::DoNotOptimize(content.document->blockCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
    state.SetItemsProcessed(int64_t(state.iterations()) * text.size());
}

// The wide and long table shapes and a font table of N fonts switched among N/10 times.
void BM_TableShape(benchmark::State& state) {
    const int count = int(state.range(1));
    const QByteArray rtf = state.range(0) == 0   ? hostile::cellsInARow(count)
                           : state.range(0) == 1 ? hostile::cellDefinitions(count)
                           : state.range(0) == 2 ? hostile::cellDefinitions(count, true)
                           : state.range(0) == 3 ? hostile::tableRows(count)
                           : state.range(0) == 4 ? hostile::paragraphsInTable(count)
                                                 : hostile::fontSwitches(count, count / 10);
    static const char* names[] = {"cells in a row", "cell definitions",      "both",
                                  "rows",           "paragraphs in \\intbl", "fonts"};
    state.SetLabel(names[state.range(0)]);
    readRtf(state, rtf, count);
}

// Writing only: the document is read once, outside the timing.
void BM_HtmlWriteRuns(benchmark::State& state) {
    QTextDocument document;
    rtf::read(hostile::formattedRuns(int(state.range(0))), document);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray page = HtmlWriter::write(document);
        written = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * written);
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}

// The shapes by name, for --write: N is the shape's own count (bytes for newlines).
QByteArray generate(const char* kind, qsizetype n) {
    const struct {
        const char* name;
        std::function<QByteArray(qsizetype)> make;
    } kinds[] = {
        {"bullets", [](qsizetype n) { return hostile::bulletList(int(n)); }},
        {"numbered", [](qsizetype n) { return hostile::numberedList(int(n)); }},
        {"fonts", [](qsizetype n) { return hostile::fontSwitches(int(n / 5), int(n)); }},
        {"paragraphs", [](qsizetype n) { return hostile::paragraphs(int(n)); }},
        {"blank", [](qsizetype n) { return hostile::paragraphs(int(n), true); }},
        {"newlines", [](qsizetype n) { return hostile::newlines(n); }},
        {"runs", [](qsizetype n) { return hostile::formattedRuns(int(n)); }},
        {"cells", [](qsizetype n) { return hostile::cellsInARow(int(n)); }},
        {"cellx", [](qsizetype n) { return hostile::cellDefinitions(int(n)); }},
        {"cellsandedges", [](qsizetype n) { return hostile::cellDefinitions(int(n), true); }},
        {"rows", [](qsizetype n) { return hostile::tableRows(int(n)); }},
        {"intbl", [](qsizetype n) { return hostile::paragraphsInTable(int(n)); }},
        {"fonttable", [](qsizetype n) { return hostile::fontSwitches(int(n), int(n / 10)); }},
    };
    for (const auto& k : kinds) {
        if (std::strcmp(kind, k.name) == 0)
            return k.make(n);
    }
    return {};
}

} // namespace

BENCHMARK(BM_BulletList)->Arg(10'000)->Arg(30'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumberedList)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FontSwitches)
    ->Args({2'000, 10'000})
    ->Args({20'000, 30'000})
    ->Args({20'000, 100'000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paragraphs)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(5'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlankParagraphs)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(5'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTextNewlines)
    ->Arg(1'000'000)
    ->Arg(4'000'000)
    ->Arg(20'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableShape)
    ->ArgsProduct({{0, 1, 2}, {100'000, 1'000'000}})
    ->Args({3, 10'000})
    ->Args({3, 100'000})
    ->Args({4, 100'000})
    ->Args({4, 1'000'000})
    ->Args({5, 100'000})
    ->Args({5, 1'000'000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlWriteRuns)
    ->Arg(200'000)
    ->Arg(600'000)
    ->Arg(2'000'000)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // hostile_inputs_bench --write KIND N FILE: one input on disk, for running the converter on.
    if (argc == 5 && qstrcmp(argv[1], "--write") == 0) {
        const QByteArray data = generate(argv[2], QByteArray(argv[3]).toLongLong());
        QFile file(QString::fromLocal8Bit(argv[4]));
        if (data.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
            std::fprintf(stderr, "cannot write %s %s to %s\n", argv[2], argv[3], argv[4]);
            return 1;
        }
        return 0;
    }
    return runOffscreenBenchmarks(argc, argv);
}
