// Whole-string text passes: tag removal of an .htm page and Startup::ReplaceText, on ordinary text
// and on the inputs that would expose a rescan (nothing closes, every character matches).
// Sizes count one byte per character, as the text was on disk.
#include "app/Startup.h"
#include "storage/TagRemoval.h"

#include <benchmark/benchmark.h>

namespace {

QString repeatedTo(const QString& piece, qsizetype size) {
    return piece.repeated(size / piece.size());
}

void removeTags(benchmark::State& state, const QString& text) {
    for (auto _ : state) {
        const QString kept = TagRemoval::removeTags(text);
        benchmark::DoNotOptimize(kept.constData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}

// Every character opens a tag and none closes: each open must not search to the end again.
void BM_TagRemovalNothingCloses(benchmark::State& state) {
    removeTags(state, QString(state.range(0), u'<'));
}

// As short as tags get: one kept character between them.
void BM_TagRemovalShortTags(benchmark::State& state) {
    removeTags(state, repeatedTo(QStringLiteral("<i>x"), state.range(0)));
}

void BM_TagRemovalHtml(benchmark::State& state) {
    removeTags(state,
               repeatedTo(QStringLiteral("<p>The <b>quarterly</b> report shows <i>growth</i> in "
                                         "every <a href=\"r.htm\">region</a> &amp; more.</p>\r\n"),
                          state.range(0)));
}

void replaceText(benchmark::State& state, const QString& original) {
    const QString quote(QChar(34));
    qsizetype removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QString text = original;
        text.detach();
        state.ResumeTiming();
        Startup::ReplaceText(text, quote, QString());
        benchmark::DoNotOptimize(text.constData());
        removed += original.size() - text.size();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * original.size());
    state.counters["removals/s"] = benchmark::Counter(double(removed), benchmark::Counter::kIsRate);
}

// The command line's quotes are removed this way; a text of nothing but quotes is the most
// removals a text of its size can hold.
void BM_ReplaceTextAllQuotes(benchmark::State& state) {
    replaceText(state, QString(state.range(0), QChar(34)));
}

void BM_ReplaceTextOrdinary(benchmark::State& state) {
    replaceText(state, repeatedTo(QStringLiteral("He said \"yes\" to the quarterly report, and "
                                                 "the budget holds in every region.\n"),
                                  state.range(0)));
}

constexpr int64_t oneMB = 1 << 20;
BENCHMARK(BM_TagRemovalNothingCloses)
    ->Arg(2 * oneMB)
    ->Arg(20 * oneMB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagRemovalShortTags)->Arg(2 * oneMB)->Arg(20 * oneMB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagRemovalHtml)->Arg(2 * oneMB)->Arg(20 * oneMB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceTextAllQuotes)->Arg(oneMB / 4)->Arg(2 * oneMB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceTextOrdinary)->Arg(oneMB / 4)->Arg(2 * oneMB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
