// Typing while a copy of unsaved work is kept: a shown document window holding generated RTF of
// 1 MB and 10 MB is copied (described a slice at a time between events, then built and written
// as RTF on the writing thread) while keys arrive every 20 ms at the start, middle or end of the
// document. Reports the longest wait of a key (the wall time from its posting until it and what
// ran before it in the same turn of the event loop are done: `key_wait_ms_max`, with the median
// and 95th percentile), the same while nothing is copied (`idle_key_ms_max`), how long the copy
// took from its start until written (`copy_ms`) and how many keys arrived meanwhile.
#include "Measure.h"
#include "OffscreenMain.h"
#include "RtfSample.h"
#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "files/UnsavedWork.h"
#include "files/WorkKeeper.h"
#include "pane/RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

namespace {
enum Where { Start, Middle, End };

// Posts one letter and returns the wall time until the event loop has handled it.
double pressKey(QWidget* target) {
    const double before = measure::wallMs();
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a"));
    QCoreApplication::processEvents();
    return measure::wallMs() - before;
}

// Lets the event loop run for `ms` as it does between two keys.
void idle(double ms) {
    const double until = measure::wallMs() + ms;
    while (measure::wallMs() < until)
        QCoreApplication::processEvents();
}

void KeepWhileTyping(benchmark::State& state) {
    const qsizetype size = state.range(0) << 20;
    const auto where = Where(state.range(1));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("typing.rtf"));
    rtfsample::writeFile(path, rtfsample::generate(size));
    UnsavedWork work(dir.filePath(QStringLiteral("recovery")), std::chrono::hours(1));
    work.start();
    DocumentWindow window;
    window.resize(800, 600);
    window.show();
    window.layOutPane(DocumentWindow::Wrap::FullWidth);
    RichTextBox* pane = window.Text1;
    DocumentFile::load(*pane, path);
    auto* keeper = new WorkKeeper(window, work);
    pane->setFocus();
    (void)pane->document()->documentLayout()->documentSize();
    const int length = int(pane->document()->characterCount()) - 1;
    pane->setSelStart(where == Start ? 0 : where == Middle ? length / 2 : length);
    pane->ensureCursorVisible();
    pane->Tag = QStringLiteral("save");
    idle(200);

    QList<double> idleKeys;
    for (int i = 0; i < 20; ++i) {
        idleKeys.append(pressKey(pane));
        idle(20);
    }

    QList<double> waits;
    double copyMs = 0;
    int keysDuringCopy = 0;
    for (auto _ : state) {
        std::atomic<bool> written = false;
        const double start = measure::wallMs();
        keeper->keepNow([&written] { written = true; });
        // Keys keep coming while the copy is described here and while it is built and written
        // on the writing thread.
        while (!written && measure::wallMs() - start < 60'000) {
            waits.append(pressKey(pane));
            ++keysDuringCopy;
            idle(20);
        }
        work.waitForWrites();
        copyMs = measure::wallMs() - start;
        if (!written)
            state.SkipWithError("the copy was not written");
    }
    state.counters["key_wait_ms_median"] = measure::percentile(waits, 0.5);
    state.counters["key_wait_ms_p95"] = measure::percentile(waits, 0.95);
    state.counters["key_wait_ms_max"] = measure::percentile(waits, 1.0);
    state.counters["idle_key_ms_max"] = measure::percentile(idleKeys, 1.0);
    state.counters["copy_ms"] = copyMs;
    state.counters["keys"] = keysDuringCopy;
    static const char* names[] = {"start", "middle", "end"};
    state.SetLabel(names[where]);
    work.finish();
}
} // namespace

BENCHMARK(KeepWhileTyping)
    ->ArgsProduct({{1, 10}, {Start, Middle, End}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
