// Rich text through the clipboard: pasting RTF of 100 KB and 1 MB into a shown pane, and making
// the RTF a copy of the same document offers (made only when a program asks for it).
#include "OffscreenMain.h"
#include "RtfSample.h"
#include "platform/RichTextBox.h"

#include <QMimeData>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
struct Exposed : RichTextBox {
    using RichTextBox::createMimeDataFromSelection;
    using RichTextBox::insertFromMimeData;
};

void BM_PasteRtf(benchmark::State& state) {
    const QByteArray rtf = rtfsample::generate(state.range(0));
    QMimeData offered;
    offered.setData(QStringLiteral("text/rtf"), rtf);
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = std::make_unique<Exposed>();
        pane->show();
        state.ResumeTiming();
        pane->insertFromMimeData(&offered);
        QCoreApplication::processEvents();
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void BM_CopyAsRtf(benchmark::State& state) {
    const QByteArray rtf = rtfsample::generate(state.range(0));
    QMimeData offered;
    offered.setData(QStringLiteral("text/rtf"), rtf);
    Exposed pane;
    pane.insertFromMimeData(&offered);
    pane.selectAll();
    for (auto _ : state) {
        std::unique_ptr<QMimeData> copied(pane.createMimeDataFromSelection());
        benchmark::DoNotOptimize(copied->data(QStringLiteral("text/rtf")));
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
} // namespace

BENCHMARK(BM_PasteRtf)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAsRtf)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
