// The toolbar brought in line with a selection of the whole document (what Select All and
// Ctrl+A cost every time), and with a caret moved through a big one, at 1 MB and 10 MB.
#include "OffscreenMain.h"
#include "document/DocumentWindow.h"
#include "format/FormatBar.h"
#include "format/Formatting.h"
#include "pane/RichTextBox.h"

#include <QComboBox>
#include <QTextCursor>
#include <QToolButton>
#include <benchmark/benchmark.h>

namespace {
// A document of 100-character paragraphs. With `runs`, each paragraph has three runs whose
// colours differ: every run is a new format but the toolbar's attributes agree throughout, so
// nothing cuts the walk short.
void fill(RichTextBox& pane, qint64 bytes, bool runs) {
    const QString words = QStringLiteral("Lorem ipsum dolor sit amet, consectetur adipiscing ");
    QTextCursor cursor(pane.document());
    QTextCharFormat plain;
    QTextCharFormat red;
    red.setForeground(Qt::red);
    cursor.beginEditBlock();
    for (qint64 written = 0; written < bytes; written += 100) {
        cursor.insertText(words.left(33), plain);
        cursor.insertText(words.left(33), runs ? red : plain);
        cursor.insertText(words.left(33), plain);
        cursor.insertBlock();
    }
    cursor.endEditBlock();
}

struct Toolbar {
    Toolbar() {
        for (auto& button : bar.ImgFButtons)
            button = new QToolButton(&panel);
        for (auto& button : bar.ImgAButtons)
            button = new QToolButton(&panel);
        bar.cboFontCombo = new QComboBox(&panel);
        bar.cboFontCombo->addItems({QStringLiteral("Arial"), QStringLiteral("Courier New")});
        bar.cboSizeCombo = new QComboBox(&panel);
        for (int size = 6; size <= 75; ++size)
            bar.cboSizeCombo->addItem(QString::number(size));
    }
    QWidget panel;
    FormatBar bar;
};

void syncWholeDocument(benchmark::State& state, bool runs) {
    const qint64 bytes = state.range(0);
    Toolbar toolbar;
    DocumentWindow document;
    fill(*document.Text1, bytes, runs);
    document.Text1->selectAll();
    for (auto _ : state) {
        // Forgotten each time, so the font and size boxes are searched as on a first selection.
        toolbar.bar.rememberedFontName.clear();
        toolbar.bar.rememberedSizeText.clear();
        Formatting::SyncToolbar(toolbar.bar, &document);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}

void BM_SyncToolbarWholeDocument(benchmark::State& state) {
    syncWholeDocument(state, false);
}
void BM_SyncToolbarWholeDocumentManyRuns(benchmark::State& state) {
    syncWholeDocument(state, true);
}

// The caret moves down a line and the toolbar follows, as on every arrow key.
void BM_SyncToolbarCaretMove(benchmark::State& state) {
    const qint64 bytes = state.range(0);
    Toolbar toolbar;
    DocumentWindow document;
    fill(*document.Text1, bytes, true);
    int position = int(bytes / 2);
    for (auto _ : state) {
        document.Text1->setSelStart(position);
        Formatting::SyncToolbar(toolbar.bar, &document);
        position += 101;
    }
}
} // namespace

BENCHMARK(BM_SyncToolbarWholeDocument)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncToolbarWholeDocumentManyRuns)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncToolbarCaretMove)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
