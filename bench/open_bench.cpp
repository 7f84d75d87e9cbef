// Opening big files into a shown pane: 50 MB of plain text, a 10 MB .htm page with its tags
// removed, and a 10 MB formatted RTF file. Each run reads the file, fills the pane and lets it
// lay out what is visible.
//
// OpenToUsable follows one open in a shown document window until the program is idle again:
// when the text shows, how long Ctrl+End, a typed key and paging down take right after, the
// CPU time of the whole open (background work included) and the peak memory. A document with
// tables is laid out by Qt's layout, which lays it all out after it opens.
#include "Measure.h"
#include "OffscreenMain.h"
#include "RtfSample.h"
#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "pane/RichTextBox.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {
QString writeFile(const QTemporaryDir& dir, const char* name, qsizetype size, bool tagged) {
    const QByteArray line = tagged ? "<p>The <b>quarterly</b> report shows <i>growth</i> in every "
                                     "region &amp; more.</p>\r\n"
                                   : "The quarterly report shows growth in every region, and the "
                                     "budget holds.\r\n";
    QByteArray bytes;
    bytes.reserve(size + line.size());
    while (bytes.size() < size)
        bytes += line;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

void open(benchmark::State& state, bool tagged) {
    QTemporaryDir dir;
    const qsizetype size = state.range(0) << 20;
    const QString path = writeFile(dir, tagged ? "page.htm" : "big.txt", size, tagged);
    for (auto _ : state) {
        RichTextBox pane;
        pane.resize(800, 600);
        pane.show();
        DocumentFile::load(pane, path);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(pane.document()->characterCount());
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void OpenRtf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.rtf"));
    const QByteArray bytes = rtfsample::generate(state.range(0) << 20);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    for (auto _ : state) {
        RichTextBox pane;
        pane.resize(800, 600);
        pane.show();
        DocumentFile::load(pane, path);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(pane.document()->characterCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

enum class Sample { PlainText50, Rtf10, LongLine1, LessThan50, Rtf10Tables, GivenFile };

QString writeSample(const QTemporaryDir& dir, Sample sample, qsizetype* size) {
    QByteArray bytes;
    QString name;
    switch (sample) {
    case Sample::PlainText50: {
        const QByteArray line = "The quarterly report shows growth in every region, and the "
                                "budget holds.\r\n";
        while (bytes.size() < (50 << 20))
            bytes += line;
        name = QStringLiteral("big.txt");
        break;
    }
    case Sample::Rtf10:
        bytes = rtfsample::generate(10 << 20);
        name = QStringLiteral("big.rtf");
        break;
    case Sample::LongLine1: {
        const QByteArray words = "The quarterly report shows growth in every region, and the "
                                 "budget holds. ";
        while (bytes.size() < (1 << 20))
            bytes += words;
        name = QStringLiteral("line.txt");
        break;
    }
    case Sample::LessThan50:
        bytes = QByteArray(50 << 20, '<');
        name = QStringLiteral("less.htm");
        break;
    case Sample::Rtf10Tables:
        bytes = rtfsample::generateWithTables(10 << 20);
        name = QStringLiteral("tables.rtf");
        break;
    case Sample::GivenFile: {
        // Any file on disk, e.g. one of hostile_inputs_bench --write: QUILLET_OPEN_FILE=FILE.
        const QString given = qEnvironmentVariable("QUILLET_OPEN_FILE");
        *size = QFileInfo(given).size();
        return given;
    }
    }
    *size = bytes.size();
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

// Delivers a key to the pane and everything it scheduled; returns the wall time in ms.
double press(QWidget* pane, int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
    const double start = measure::wallMs();
    QCoreApplication::postEvent(pane, new QKeyEvent(QEvent::KeyPress, key, modifiers, text));
    QCoreApplication::postEvent(pane, new QKeyEvent(QEvent::KeyRelease, key, modifiers, text));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return measure::wallMs() - start;
}

void OpenToUsable(benchmark::State& state) {
    QTemporaryDir dir;
    qsizetype size = 0;
    const QString path = writeSample(dir, Sample(state.range(0)), &size);
    for (auto _ : state) {
        const double baseMB = measure::statusMB("VmRSS");
        const double baseMappedMB = measure::statusMB("VmSize");
        measure::resetPeak();
        const double cpu0 = measure::cpuMs();
        const double wall0 = measure::wallMs();
        auto window = std::make_unique<DocumentWindow>();
        window->resize(800, 600);
        window->show();
        window->layOutPane(DocumentWindow::Wrap::FullWidth);
        RichTextBox* pane = window->Text1;
        DocumentFile::load(*pane, path);
        pane->setFocus();
        // The first pass of the event loop paints the text.
        QCoreApplication::processEvents();
        const double shown = measure::wallMs();
        const double ctrlEnd = press(pane, Qt::Key_End, Qt::ControlModifier);
        const double typed = press(pane, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        press(pane, Qt::Key_Home, Qt::ControlModifier);
        double paging = 0;
        for (int i = 0; i < 3; ++i)
            paging = std::max(paging, press(pane, Qt::Key_PageDown, Qt::NoModifier));
        const double usable = measure::wallMs();
        // Idle again once a whole second passes with under 5% of a core busy.
        double lastCpu = measure::cpuMs();
        double quietSince = measure::wallMs();
        while (measure::wallMs() - quietSince < 1000 && measure::wallMs() - wall0 < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
            const double now = measure::cpuMs();
            if (now - lastCpu > 50) {
                lastCpu = now;
                quietSince = measure::wallMs();
            }
        }
        state.counters["shown_ms"] = shown - wall0;
        state.counters["ctrl_end_ms"] = ctrlEnd;
        state.counters["key_ms"] = typed;
        state.counters["page_down_ms"] = paging;
        state.counters["usable_after_shown_ms"] = usable - shown;
        state.counters["open_cpu_ms"] = lastCpu - cpu0;
        state.counters["peak_MB"] = measure::statusMB("VmHWM");
        state.counters["peak_over_base_MB"] = measure::statusMB("VmHWM") - baseMB;
        // What an address-space limit sees: the most the process mapped, over what it mapped
        // before.
        state.counters["mapped_over_base_MB"] = measure::statusMB("VmPeak") - baseMappedMB;
        state.counters["peak_per_file"] = measure::statusMB("VmHWM") / (double(size) / (1 << 20));
        window.reset();
    }
    static const char* names[] = {"50 MB text",
                                  "10 MB RTF",
                                  "1 MB one-line paragraph",
                                  "50 MB of < in .htm",
                                  "10 MB RTF with 1000 tables",
                                  "the file in QUILLET_OPEN_FILE"};
    state.SetLabel(names[state.range(0)]);
}

void OpenPlainText(benchmark::State& state) {
    open(state, false);
}
void OpenHtml(benchmark::State& state) {
    open(state, true);
}
} // namespace

BENCHMARK(OpenPlainText)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(OpenRtf)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(OpenHtml)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(OpenToUsable)
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
