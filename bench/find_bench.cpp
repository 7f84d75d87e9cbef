// Find and Replace All throughput on documents of 1 MB and 10 MB, in the shown pane so that the
// cost of laying the document out again after Replace All is counted too.
#include "Measure.h"
#include "OffscreenMain.h"
#include "dialogs/FindEngine.h"
#include "pane/RichTextBox.h"

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
// With `edited` the document changes before every click, so the pane's text is read anew.
void find(benchmark::State& state, bool edited) {
    const qint64 bytes = state.range(0);
    RichTextBox pane;
    pane.setText(makeText(bytes));
    for (auto _ : state) {
        if (edited) {
            state.PauseTiming();
            pane.setSelStart(0);
            pane.setSelText(QStringLiteral("x"));
            state.ResumeTiming();
        }
        const QString text = pane.Text();
        int start = 1;
        auto found =
            FindEngine::findInRange(text, QStringLiteral("haystack"), start, int(text.size()) + 1);
        benchmark::DoNotOptimize(found);
    }
    setBytes(state, bytes);
}

// Find next, as the dialog runs it, right after a character typed at the caret: from the caret to
// the next occurrence, over the pane's text brought up to date with the edit.
void BM_FindNextAfterTyping(benchmark::State& state) {
    const qint64 bytes = state.range(0);
    RichTextBox pane;
    pane.setText(makeText(bytes));
    (void)pane.Text();
    int caret = int(bytes / 3);
    for (auto _ : state) {
        state.PauseTiming();
        pane.setSelStart(caret);
        pane.setSelText(QStringLiteral("x"));
        state.ResumeTiming();
        const QString text = pane.Text();
        const FindEngine::Bounds bounds = FindEngine::findBounds(
            FindEngine::Down, pane.SelStart(), pane.SelLength(), int(text.size()));
        int start = bounds.start;
        auto found = FindEngine::findInRange(text, QStringLiteral("needle"), start, bounds.end);
        benchmark::DoNotOptimize(found);
        caret = found ? *found + 6 : 0;
    }
    setBytes(state, bytes);
}

void BM_Find(benchmark::State& state) {
    find(state, false);
}
void BM_FindAfterEdit(benchmark::State& state) {
    find(state, true);
}

void BM_ReplaceAll(benchmark::State& state) {
    const qint64 bytes = state.range(0);
    const QString original = makeText(bytes);
    RichTextBox pane;
    pane.resize(800, 600);
    pane.show();
    qint64 replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        pane.setText(original);
        state.ResumeTiming();
        const QString text = pane.Text();
        const auto caret = FindEngine::replaceAll(*pane.document(), text, QStringLiteral("needle"),
                                                  QStringLiteral("pin"));
        benchmark::DoNotOptimize(caret);
        replaced += FindEngine::replaceAllOffsets(text, QStringLiteral("needle")).size();
    }
    setBytes(state, bytes);
    state.counters["replacements/s"] =
        benchmark::Counter(double(replaced), benchmark::Counter::kIsRate);
}

// The memory one Replace All takes per replacement beyond its text (the undo records, the
// pieces of text), once: what the engine asks the memory left for before it starts.
void BM_ReplaceAllMemory(benchmark::State& state) {
    const QString original = makeText(state.range(0));
    qint64 replaced = 0;
    double grown = 0;
    for (auto _ : state) {
        RichTextBox pane;
        pane.setText(original);
        const QString text = pane.Text();
        replaced = FindEngine::replaceAllOffsets(text, QStringLiteral("needle")).size();
        const double before = measure::statusMB("VmRSS");
        measure::resetPeak();
        FindEngine::replaceAll(*pane.document(), text, QStringLiteral("needle"),
                               QStringLiteral("pin"));
        benchmark::DoNotOptimize(pane.Text());
        grown = measure::statusMB("VmHWM") - before;
    }
    state.counters["bytes_per_replacement"] = grown * (1 << 20) / double(replaced);
}

constexpr qint64 oneMB = 1 << 20;
BENCHMARK(BM_Find)->Arg(oneMB)->Arg(10 * oneMB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAfterEdit)->Arg(oneMB)->Arg(10 * oneMB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNextAfterTyping)->Arg(oneMB)->Arg(10 * oneMB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllMemory)->Arg(10 * oneMB)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReplaceAll)->Arg(oneMB)->Arg(10 * oneMB)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
