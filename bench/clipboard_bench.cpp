// Rich text through the clipboard: pasting RTF of 100 KB and 1 MB into a shown pane, and making
// the RTF a copy of the same document offers (made only when a program asks for it). Pasting
// hostile HTML: shapes Qt's reader or layout once took minutes over, pasted into a shown pane
// until it has painted, with the peak memory over the markup's size.
#include "Measure.h"
#include "OffscreenMain.h"
#include "RtfSample.h"
#include "pane/RichTextBox.h"

#include <QBuffer>
#include <QImage>
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

QString hugeDataPicture() {
    // A picture whose header says 20000 by 20000 pixels, and 40 MB of data after it.
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    png[16] = 0, png[17] = 0, png[18] = char(0x4E), png[19] = char(0x20); // IHDR width
    png[20] = 0, png[21] = 0, png[22] = char(0x4E), png[23] = char(0x20); // IHDR height
    png += QByteArray(40 * 1024 * 1024, 'x');
    return "<p>a<img src=\"data:image/png;base64," + QString::fromLatin1(png.toBase64()) +
           "\">b</p>";
}

// The hostile shapes, by number: each is named in the benchmark's label.
std::pair<const char*, QString> hostileHtml(int shape) {
    const QString cell = QStringLiteral("<td>x</td>");
    switch (shape) {
    case 0:
        return {"2000 nested tables", QStringLiteral("<table><tr><td>x").repeated(2000) +
                                          QStringLiteral("</td></tr></table>").repeated(2000)};
    case 1:
        return {"100000 nested divs", QStringLiteral("<div>x").repeated(100'000) +
                                          QStringLiteral("</div>").repeated(100'000)};
    case 2:
        return {"100000 nested lists", QStringLiteral("<ul><li>x").repeated(100'000) +
                                           QStringLiteral("</li></ul>").repeated(100'000)};
    case 3:
        return {"100000 nested blockquotes", QStringLiteral("<blockquote>x").repeated(100'000) +
                                                 QStringLiteral("</blockquote>").repeated(100'000)};
    case 4:
        return {"100000 nested spans and fonts",
                QStringLiteral("<span>x<font color=red>y").repeated(50'000) +
                    QStringLiteral("</font></span>").repeated(50'000)};
    case 5:
        return {"a row of 10^6 cells", "<table><tr>" + cell.repeated(1'000'000) + "</tr></table>"};
    case 6:
        return {"10^5 rows",
                "<table>" + QString("<tr>" + cell + "</tr>").repeated(100'000) + "</table>"};
    case 7:
        return {"10 MB attribute", "<p title=\"" + QString(10'000'000, u'a') + "\">x</p>"};
    case 8:
        return {"10^5 declarations",
                "<p style=\"" + QStringLiteral("color:red;").repeated(100'000) + "\">x</p>"};
    case 9:
        return {"10^4 rules over 10^5 paragraphs",
                "<style>" + QStringLiteral("p.a{color:red}").repeated(10'000) + "</style>" +
                    QStringLiteral("<p>x</p>").repeated(100'000)};
    case 10:
        return {"40 MB data: picture of 20000x20000", hugeDataPicture()};
    case 11:
        return {"10^5 stray closing tags under 60 divs",
                QStringLiteral("<div>").repeated(60) + QStringLiteral("</span>").repeated(100'000)};
    default:
        return {"", {}};
    }
}

void BM_PasteHostileHtml(benchmark::State& state) {
    const auto [what, html] = hostileHtml(int(state.range(0)));
    QMimeData offered;
    offered.setHtml(html);
    const qint64 bytes = html.toUtf8().size();
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = std::make_unique<Exposed>();
        pane->resize(800, 600);
        pane->show();
        QCoreApplication::processEvents();
        measure::resetPeak();
        state.ResumeTiming();
        pane->insertFromMimeData(&offered);
        // Laid out and painted, as the user sees it.
        pane->grab();
        QCoreApplication::processEvents();
        peak = measure::statusMB("VmHWM");
    }
    state.SetLabel(what);
    state.counters["input_MB"] = double(bytes) / (1024 * 1024);
    state.counters["peak_MB"] = peak;
}
} // namespace

BENCHMARK(BM_PasteHostileHtml)
    ->DenseRange(0, 11)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PasteRtf)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAsRtf)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
