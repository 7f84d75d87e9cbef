// Typing into a big formatted document: key presses go through the event queue into a shown
// document window (ruler and selection sync included), and each key is counted until its
// repaint is done. Reports the CPU time per key at the start, middle and end of generated RTF
// documents of 1 MB and 10 MB, and of the same with 100 tables to the megabyte, there also in a
// cell of the middle table; at 20 keys a second a key costing under 50 ms never queues up.
#include "Measure.h"
#include "OffscreenMain.h"
#include "RtfSample.h"
#include "document/Wordbox.h"
#include "files/DocumentFile.h"
#include "platform/RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QTextTable>
#include <benchmark/benchmark.h>

namespace {
constexpr int keysPerRun = 200;

enum Where { Start, Middle, End, Cell };

void typeKey(QWidget* target, QChar c) {
    const int key = c == u' ' ? int(Qt::Key_Space) : int(Qt::Key_A) + (c.unicode() - u'a');
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, c));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, c));
    // Delivers the keys, then the repaint they scheduled.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void type(benchmark::State& state, bool tables) {
    const qsizetype size = state.range(0) << 20;
    const auto where = Where(state.range(1));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("typing.rtf"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(tables ? rtfsample::generateWithTables(size) : rtfsample::generate(size));
    }
    Wordbox window;
    window.resize(800, 600);
    window.show();
    window.layOutPane(Wordbox::Wrap::FullWidth);
    RichTextBox* pane = window.Text1;
    DocumentFile::load(*pane, path);
    pane->setFocus();
    // Typing starts once the document is laid out as far as the editor ever lays it out.
    (void)pane->document()->documentLayout()->documentSize();
    const int length = int(pane->document()->characterCount()) - 1;
    pane->setSelStart(where == Start ? 0 : where == Middle ? length / 2 : length);
    if (where == Cell) {
        const QList<QTextFrame*> frames = pane->document()->rootFrame()->childFrames();
        const auto* table = qobject_cast<QTextTable*>(frames.value(frames.size() / 2));
        if (table)
            pane->setSelStart(table->cellAt(1, 1).firstPosition());
    }
    pane->ensureCursorVisible();
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();

    const QString words = QStringLiteral("the quick brown fox jumps over a lazy dog ");
    QList<double> perKey;
    for (auto _ : state) {
        for (int i = 0; i < keysPerRun; ++i) {
            const double before = measure::cpuMs();
            typeKey(pane, words[i % words.size()]);
            perKey.append(measure::cpuMs() - before);
        }
    }
    state.counters["cpu_ms_median"] = measure::percentile(perKey, 0.5);
    state.counters["cpu_ms_p95"] = measure::percentile(perKey, 0.95);
    state.counters["cpu_ms_max"] = measure::percentile(perKey, 1.0);
    static const char* names[] = {"start", "middle", "end", "in a cell"};
    state.SetLabel(names[where]);
}

void Typing(benchmark::State& state) {
    type(state, false);
}

void TypingWithTables(benchmark::State& state) {
    type(state, true);
}
} // namespace

BENCHMARK(Typing)
    ->ArgsProduct({{1, 10}, {Start, Middle, End}})
    ->ArgNames({"MB", "where"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK(TypingWithTables)
    ->ArgsProduct({{1, 10}, {Start, Middle, Cell}})
    ->ArgNames({"MB", "where"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
