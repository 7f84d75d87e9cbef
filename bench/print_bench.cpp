// Printing generated RTF of 1 MB and 10 MB to a PDF: the program's printing, and Qt's own
// QTextDocument::print of the same document for comparison.
#include "OffscreenMain.h"
#include "RtfSample.h"
#include "pane/RichTextBox.h"
#include "printing/PrintedPages.h"
#include "rtf/RtfReader.h"
#include "storage/DocumentDefaults.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

const QTextDocument& sample(qsizetype size) {
    static std::map<qsizetype, std::unique_ptr<QTextDocument>> samples;
    auto it = samples.find(size);
    if (it == samples.end()) {
        auto document = std::make_unique<QTextDocument>();
        DocumentDefaults::setUp(*document);
        rtf::read(rtfsample::generate(size), *document);
        it = samples.emplace(size, std::move(document)).first;
    }
    return *it->second;
}

template <typename Print> void printPdf(benchmark::State& state, Print print) {
    const QTextDocument& document = sample(state.range(0));
    QTemporaryDir dir;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        print(document, printer);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

void BM_PrintedPages(benchmark::State& state) {
    printPdf(state, [](const QTextDocument& document, QPrinter& printer) {
        PrintedPages::print(document, printer);
    });
}

void BM_QtsOwnPrint(benchmark::State& state) {
    printPdf(state,
             [](const QTextDocument& document, QPrinter& printer) { document.print(&printer); });
}

} // namespace

BENCHMARK(BM_PrintedPages)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_QtsOwnPrint)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
