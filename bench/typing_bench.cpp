// Typing into a big formatted document: key presses go through the event queue into a shown
// document window (ruler and selection sync included), and each key is counted until its
// repaint is done. Reports the CPU time per key at the start, middle and end of generated RTF
// documents of 1 MB and 10 MB, and of the same with 100 tables to the megabyte, there also in a
// cell of the middle table; at 20 keys a second a key costing under 50 ms never queues up.
// TypingLongParagraph does the same in a document that is one paragraph of 20 MB, plain or in
// formatted runs: letters at its start, middle and end, and Backspace, Delete and Enter in its
// middle.
#include "Measure.h"
#include "OffscreenMain.h"
#include "RtfSample.h"
#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "pane/RichTextBox.h"

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

void pressKey(QWidget* target, int key, const QString& text) {
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
    // Delivers the keys, then the repaint they scheduled.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void typeKey(QWidget* target, QChar c) {
    pressKey(target, c == u' ' ? int(Qt::Key_Space) : int(Qt::Key_A) + (c.unicode() - u'a'), c);
}

void type(benchmark::State& state, bool tables) {
    const qsizetype size = state.range(0) << 20;
    const auto where = Where(state.range(1));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("typing.rtf"));
    rtfsample::writeFile(path,
                         tables ? rtfsample::generateWithTables(size) : rtfsample::generate(size));
    DocumentWindow window;
    window.resize(800, 600);
    window.show();
    window.layOutPane(DocumentWindow::Wrap::FullWidth);
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

// A key there once cost as much as an analysis of the whole paragraph, so fewer keys than above
// keep a run short.
constexpr int longParagraphKeys = 30;

enum LongKey { LetterAtStart, LetterInMiddle, LetterAtEnd, Backspace, Delete, Enter };

// One paragraph of `size` bytes: words, or the same words in RTF with a change of font every
// seven words, as a long pasted or converted paragraph has.
QByteArray longParagraph(qsizetype size, bool formatted) {
    static const char* const words[] = {"the",    "quarterly", "report", "shows", "growth",
                                        "in",     "every",     "region", "and",   "budget",
                                        "holds.", "forecast",  "of",     "total"};
    QByteArray bytes = formatted ? "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1"
                                   "\\froman Times New Roman;}}\\pard "
                                 : "";
    bytes.reserve(size + 64);
    for (size_t i = 0; bytes.size() < size; ++i) {
        if (formatted && i % 7 == 0)
            bytes += i % 14 == 0 ? "\\b\\f1 " : "\\b0\\f0 ";
        bytes += words[i % std::size(words)];
        bytes += ' ';
    }
    if (formatted)
        bytes += "\\par}";
    return bytes;
}

void TypingLongParagraph(benchmark::State& state) {
    const bool formatted = state.range(0) != 0;
    const auto what = LongKey(state.range(1));
    QTemporaryDir dir;
    const QString path =
        dir.filePath(formatted ? QStringLiteral("line.rtf") : QStringLiteral("line.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(longParagraph(20 << 20, formatted));
    }
    DocumentWindow window;
    window.resize(800, 600);
    window.show();
    window.layOutPane(DocumentWindow::Wrap::FullWidth);
    RichTextBox* pane = window.Text1;
    DocumentFile::load(*pane, path);
    pane->setFocus();
    const int length = int(pane->document()->characterCount()) - 1;
    pane->setSelStart(what == LetterAtStart ? 0 : what == LetterAtEnd ? length : length / 2);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();

    const QString words = QStringLiteral("the quick brown fox jumps over a lazy dog ");
    QList<double> perKey;
    for (auto _ : state) {
        for (int i = 0; i < longParagraphKeys; ++i) {
            const double before = measure::cpuMs();
            switch (what) {
            case Backspace:
                pressKey(pane, Qt::Key_Backspace, QStringLiteral("\b"));
                break;
            case Delete:
                pressKey(pane, Qt::Key_Delete, QString());
                break;
            case Enter:
                pressKey(pane, Qt::Key_Return, QStringLiteral("\r"));
                break;
            default:
                typeKey(pane, words[i % words.size()]);
                break;
            }
            perKey.append(measure::cpuMs() - before);
        }
    }
    state.counters["cpu_ms_median"] = measure::percentile(perKey, 0.5);
    state.counters["cpu_ms_p95"] = measure::percentile(perKey, 0.95);
    state.counters["cpu_ms_max"] = measure::percentile(perKey, 1.0);
    static const char* const names[] = {"letter at start",  "letter in middle",
                                        "letter at end",    "Backspace in middle",
                                        "Delete in middle", "Enter in middle"};
    state.SetLabel(std::string(formatted ? "formatted, " : "plain, ") + names[what]);
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

BENCHMARK(TypingLongParagraph)
    ->ArgsProduct({{0, 1}, {LetterAtStart, LetterInMiddle, LetterAtEnd, Backspace, Delete, Enter}})
    ->ArgNames({"formatted", "key"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
