// Find and Replace All throughput on documents of 1 MB and 10 MB, in an editor widget so that
// the cost of laying the document out again after Replace All is counted too.
#include "dialogs/FindEngine.h"

#include <QApplication>
#include <QTextEdit>
#include <benchmark/benchmark.h>

namespace {
// One paragraph of 100 characters holding one occurrence of "needle": 10 MB hold 100 000.
const QString paragraph =
    QStringLiteral("Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
                   "tempor needle incididunt.\n");

QString makeText(qint64 bytes) {
    QString text;
    text.reserve(bytes);
    while (text.size() + paragraph.size() <= bytes)
        text += paragraph;
    return text;
}

void setBytes(benchmark::State& state, qint64 bytes) {
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}

// A search for a word the document does not hold reads the whole text: the worst Find click.
void BM_Find(benchmark::State& state) {
    const qint64 bytes = state.range(0);
    QTextEdit editor;
    editor.setPlainText(makeText(bytes));
    for (auto _ : state) {
        const QString text = editor.toPlainText();
        int start = 1;
        auto found =
            FindEngine::findInRange(text, QStringLiteral("haystack"), start, int(text.size()) + 1);
        benchmark::DoNotOptimize(found);
    }
    setBytes(state, bytes);
}

void BM_ReplaceAll(benchmark::State& state) {
    const qint64 bytes = state.range(0);
    const QString original = makeText(bytes);
    QTextEdit editor;
    editor.resize(800, 600);
    editor.show();
    qint64 replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.setPlainText(original);
        state.ResumeTiming();
        const QString text = editor.toPlainText();
        const auto caret = FindEngine::replaceAll(*editor.document(), text,
                                                  QStringLiteral("needle"), QStringLiteral("pin"));
        benchmark::DoNotOptimize(caret);
        replaced += FindEngine::replaceAllOffsets(text, QStringLiteral("needle")).size();
    }
    setBytes(state, bytes);
    state.counters["replacements/s"] =
        benchmark::Counter(double(replaced), benchmark::Counter::kIsRate);
}

constexpr qint64 oneMB = 1 << 20;
BENCHMARK(BM_Find)->Arg(oneMB)->Arg(10 * oneMB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAll)->Arg(oneMB)->Arg(10 * oneMB)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
