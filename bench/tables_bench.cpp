// Documents with tables beside the same documents without, in one run: the generated 10 MB
// report alone, with one small table after it, and with a table of 10,000 rows in its middle;
// tables nested 8 deep with 3 cells a level (every cell holding the next level), and the same
// nesting through the first cell only, 1,000 and 10,000 times; tables of 1,000, 10,000 and
// 100,000 rows alone (the cost per row should stay flat); and the shapes that cost printing most,
// one paragraph of 5 MB and a million short paragraphs.
//
// TablesOpen/KIND opens one in a shown document window and waits until the program is idle;
// TablesTyping/KIND/WHERE types 200 keys at the start or in a cell of the document's largest
// table (in its middle row); TablesPrint/KIND prints it to a PDF as the converter does.
// `tables_bench --write KIND FILE` writes one sample to disk, for tables_convert.sh.
#include "Measure.h"
#include "OffscreenMain.h"
#include "TableSamples.h"
#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "pane/RichTextBox.h"
#include "printing/PrintedPages.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"

#include <QFile>
#include <QKeyEvent>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QTextTable>
#include <QThread>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

enum Kind {
    Report,
    ReportOneTable,
    ReportLongTable,
    NestedTree,
    NestedChain1000,
    NestedChain10000,
    Table1000,
    Table10000,
    Table100000,
    OneParagraph5MB,
    Paragraphs1000000,
    KindCount
};

const char* const names[] = {"10 MB report",
                             "10 MB report, one small table after it",
                             "10 MB report, a table of 10,000 rows in its middle",
                             "tables nested 8 deep, 3 cells a level, each holding the next",
                             "8-deep nesting through one cell, 1,000 times",
                             "8-deep nesting through one cell, 10,000 times",
                             "a table of 1,000 rows",
                             "a table of 10,000 rows",
                             "a table of 100,000 rows",
                             "one paragraph of 5 MB",
                             "1,000,000 short paragraphs"};

QByteArray sample(Kind kind) {
    constexpr qsizetype tenMB = 10 << 20;
    switch (kind) {
    case Report:
        return tablesamples::report(tenMB, 0, false);
    case ReportOneTable:
        return tablesamples::report(tenMB, 4, false);
    case ReportLongTable:
        return tablesamples::report(tenMB, 10'000, true);
    case NestedTree:
        return tablesamples::nested(8, 3, true, 1);
    case NestedChain1000:
        return tablesamples::nested(8, 3, false, 1'000);
    case NestedChain10000:
        return tablesamples::nested(8, 3, false, 10'000);
    case Table1000:
        return tablesamples::longTable(1'000);
    case Table10000:
        return tablesamples::longTable(10'000);
    case Table100000:
        return tablesamples::longTable(100'000);
    case OneParagraph5MB:
        return tablesamples::oneParagraph(5 << 20);
    case Paragraphs1000000:
        return tablesamples::shortParagraphs(1'000'000);
    case KindCount:
        break;
    }
    return {};
}

QString writeSample(const QTemporaryDir& dir, Kind kind, qsizetype* size) {
    const QByteArray bytes = sample(kind);
    *size = bytes.size();
    const QString path = dir.filePath(QStringLiteral("sample.rtf"));
    rtfsample::writeFile(path, bytes);
    return path;
}

void setLabel(benchmark::State& state, Kind kind, qsizetype size) {
    state.SetLabel(QStringLiteral("%1 (%2 KB)")
                       .arg(QString::fromLatin1(names[kind]))
                       .arg(size >> 10)
                       .toStdString());
}

// Waits until a whole second passes with under 5% of a core busy; returns when it began.
double waitForIdle(double since) {
    double lastCpu = measure::cpuMs();
    double quietSince = measure::wallMs();
    while (measure::wallMs() - quietSince < 1000 && measure::wallMs() - since < 600'000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
        const double now = measure::cpuMs();
        if (now - lastCpu > 50) {
            lastCpu = now;
            quietSince = measure::wallMs();
        }
    }
    return quietSince;
}

void TablesOpen(benchmark::State& state) {
    const auto kind = Kind(state.range(0));
    QTemporaryDir dir;
    qsizetype size = 0;
    const QString path = writeSample(dir, kind, &size);
    for (auto _ : state) {
        const double baseMB = measure::statusMB("VmRSS");
        measure::resetPeak();
        const double cpu0 = measure::cpuMs();
        const double wall0 = measure::wallMs();
        auto window = std::make_unique<DocumentWindow>();
        window->resize(800, 600);
        window->show();
        window->layOutPane(DocumentWindow::Wrap::FullWidth);
        DocumentFile::load(*window->Text1, path);
        QCoreApplication::processEvents(); // the first paint
        const double shown = measure::wallMs();
        const double idle = waitForIdle(wall0);
        state.counters["shown_ms"] = shown - wall0;
        state.counters["idle_ms"] = idle - wall0;
        state.counters["open_cpu_ms"] = measure::cpuMs() - cpu0;
        state.counters["peak_MB"] = measure::statusMB("VmHWM");
        state.counters["peak_over_base_MB"] = measure::statusMB("VmHWM") - baseMB;
        window.reset();
    }
    setLabel(state, kind, size);
}

void pressKey(QWidget* target, int key, const QString& text) {
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(target,
                                new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
    // Delivers the keys, then the repaint they scheduled.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

enum Where { Start, Cell };

void TablesTyping(benchmark::State& state) {
    const auto kind = Kind(state.range(0));
    const auto where = Where(state.range(1));
    QTemporaryDir dir;
    qsizetype size = 0;
    const QString path = writeSample(dir, kind, &size);
    DocumentWindow window;
    window.resize(800, 600);
    window.show();
    window.layOutPane(DocumentWindow::Wrap::FullWidth);
    RichTextBox* pane = window.Text1;
    DocumentFile::load(*pane, path);
    pane->setFocus();
    waitForIdle(measure::wallMs());
    pane->setSelStart(0);
    if (where == Cell) {
        // A cell in the middle row of the largest table.
        const QTextTable* largest = nullptr;
        for (QTextFrame* frame : pane->document()->rootFrame()->childFrames()) {
            const auto* table = qobject_cast<QTextTable*>(frame);
            if (table && (!largest || table->rows() > largest->rows()))
                largest = table;
        }
        if (!largest) {
            state.SkipWithError("no table");
            return;
        }
        pane->setSelStart(largest->cellAt(largest->rows() / 2, 1).firstPosition());
    }
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    const QString words = QStringLiteral("the quick brown fox jumps over a lazy dog ");
    QList<double> perKey;
    for (auto _ : state) {
        for (int i = 0; i < 200; ++i) {
            const QChar c = words[i % words.size()];
            const double before = measure::cpuMs();
            pressKey(pane, c == u' ' ? int(Qt::Key_Space) : int(Qt::Key_A) + (c.unicode() - u'a'),
                     c);
            perKey.append(measure::cpuMs() - before);
        }
    }
    state.counters["cpu_ms_median"] = measure::percentile(perKey, 0.5);
    state.counters["cpu_ms_p95"] = measure::percentile(perKey, 0.95);
    state.counters["cpu_ms_max"] = measure::percentile(perKey, 1.0);
    state.SetLabel(std::string(names[kind]) + (where == Start ? ", at the start" : ", in a cell"));
}

void TablesPrint(benchmark::State& state) {
    const auto kind = Kind(state.range(0));
    const QByteArray bytes = sample(kind);
    QTemporaryDir dir;
    for (auto _ : state) {
        QTextDocument document;
        DocumentDefaults::setUp(document);
        rtf::read(bytes, document);
        const double baseMB = measure::statusMB("VmRSS");
        measure::resetPeak();
        const double cpu0 = measure::cpuMs();
        const double wall0 = measure::wallMs();
        // As the converter prints: a default printer's page, A4 with 10 mm margins, at 1200 dpi.
        QPdfWriter writer(dir.filePath(QStringLiteral("out.pdf")));
        writer.setResolution(1200);
        PrintedPages::print(document, writer);
        state.counters["print_s"] = (measure::wallMs() - wall0) / 1000;
        state.counters["print_cpu_s"] = (measure::cpuMs() - cpu0) / 1000;
        state.counters["s_per_MB"] =
            (measure::cpuMs() - cpu0) / 1000 / (double(bytes.size()) / (1 << 20));
        state.counters["peak_over_base_MB"] = measure::statusMB("VmHWM") - baseMB;
        state.counters["peak_over_file"] =
            (measure::statusMB("VmHWM") - baseMB) / (double(bytes.size()) / (1 << 20));
    }
    setLabel(state, kind, bytes.size());
}

} // namespace

BENCHMARK(TablesOpen)
    ->DenseRange(Report, Paragraphs1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(TablesTyping)
    ->Args({Report, Start})
    ->Args({ReportOneTable, Start})
    ->Args({ReportOneTable, Cell})
    ->Args({ReportLongTable, Start})
    ->Args({ReportLongTable, Cell})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(TablesPrint)
    ->DenseRange(Report, Paragraphs1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

int main(int argc, char** argv) {
    // tables_bench --write KIND FILE: one sample on disk, for running the converter on.
    if (argc == 4 && qstrcmp(argv[1], "--write") == 0) {
        const int kind = QByteArray(argv[2]).toInt();
        QFile file(QString::fromLocal8Bit(argv[3]));
        const QByteArray bytes = kind >= 0 && kind < KindCount ? sample(Kind(kind)) : QByteArray();
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write sample %s to %s\n", argv[2], argv[3]);
            return 1;
        }
        return 0;
    }
    return runOffscreenBenchmarks(argc, argv);
}
