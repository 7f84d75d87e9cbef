// Opening big files into a shown pane: 50 MB of plain text, a 10 MB .htm page with its tags
// removed, and a 10 MB formatted RTF file. Each run reads the file, fills the pane and lets it
// lay out what is visible.
#include "RtfSample.h"
#include "files/DocumentFile.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
