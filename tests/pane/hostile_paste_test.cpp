#include "pane/PastedHtml.h"
#include "pane/RichTextBox.h"
#include "pictures/RtfPicture.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "storage/DocumentDefaults.h"
#include "support/PaneTestSupport.h"
#include "support/rtf_test_support.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <atomic>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using panetest::pasteHtml;

namespace {

// A FIFO that tells whether anything opened it to read: its writer waits in open() until a
// reader comes. Reading it gets an end of file at once, so a fault fails the test, never hangs it.
class Trap {
public:
    Trap() : path_(dir_.filePath(QStringLiteral("trap"))) {
        mkfifo(QFile::encodeName(path_).constData(), 0600);
        writer_ = std::thread([this] {
            const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY);
            if (!finishing_)
                opened_ = true;
            if (fd >= 0)
                ::close(fd);
        });
    }
    ~Trap() {
        finishing_ = true;
        // Lets the writer's open() return if nothing else did.
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (fd >= 0)
            ::close(fd);
    }
    const QString& path() const { return path_; }
    bool opened() const { return opened_; }

private:
    QTemporaryDir dir_;
    QString path_;
    std::thread writer_;
    std::atomic<bool> finishing_ = false;
    std::atomic<bool> opened_ = false;
};

QString pngDataUrl() {
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    return "data:image/png;base64," +
           QString::fromLatin1(rtftest::encoded(image, "PNG").toBase64());
}

struct Shape {
    int tableDepth = 0;
    int widestRow = 0;
    int cells = 0;
    int listDepth = 0;
    double leftMargin = 0;
};

// Tables in `frame`, as deep as they go below `depth`.
void addTables(const QTextFrame* frame, int depth, Shape& shape) {
    const auto* table = qobject_cast<const QTextTable*>(frame);
    if (table) {
        ++depth;
        shape.widestRow = std::max(shape.widestRow, table->columns());
        shape.cells += table->rows() * table->columns();
    }
    shape.tableDepth = std::max(shape.tableDepth, depth);
    for (const QTextFrame* child : frame->childFrames())
        addTables(child, depth, shape);
}

// `open` `times` times, then `close` as often.
QString nested(const char* open, const char* close, int times) {
    return QString::fromUtf8(open).repeated(times) + QString::fromUtf8(close).repeated(times);
}

Shape shapeOf(const QTextDocument& document) {
    Shape shape;
    addTables(document.rootFrame(), 0, shape);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        shape.leftMargin = std::max(shape.leftMargin, block.blockFormat().leftMargin());
        if (const QTextList* list = block.textList())
            shape.listDepth = std::max(shape.listDepth, list->format().indent());
    }
    return shape;
}
} // namespace

// Whatever the markup names, pasting it, showing it and saving it reads nothing from the disk:
// a picture it does not carry is a box that keeps its name; one it carries shows.
TEST(HostilePaste, NothingTheMarkupNamesIsRead) {
    // In the markup and the picture's name, @TRAP stands for the trap's path, @PNG for a picture
    // carried in a data: URL and @SVG for a vector picture so carried that names the trap.
    struct Case {
        const char* what;
        const char* html;
        // The name the pasted picture keeps, "" when none is pasted, "*" for a picture carried.
        const char* picture;
    };
    const Case cases[] = {
        {"picture of a path", "a<img src=\"@TRAP\">b", "@TRAP"},
        {"picture of a file URL", "a<img width=40 height=30 src=\"file://@TRAP\">b",
         "file://@TRAP"},
        {"style sheet link", "<link rel=\"stylesheet\" href=\"@TRAP\">ab", ""},
        {"@import", "<style>@import url(@TRAP);</style>ab", ""},
        {"CSS url()",
         "<p style=\"background-image:url(@TRAP)\">a<span style=\"background:url('@TRAP')\">b"
         "</span></p>",
         ""},
        {"background attributes",
         "<body background=\"@TRAP\"><table background=\"@TRAP\"><tr><td background=\"@TRAP\">a"
         "</td><td>b</td></tr></table></body>",
         ""},
        {"picture in a data: URL", "a<img src=\"@PNG\">b", "*"},
        {"vector picture in a data: URL naming the file", "a<img src=\"@SVG\">b", "*box"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Trap trap;
        RichTextBox pane;
        pane.resize(400, 300);
        pane.show();
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' "
                               "xmlns:xlink='http://www.w3.org/1999/xlink' width='9' height='9'>"
                               "<image width='9' height='9' xlink:href='" +
                               QFile::encodeName(trap.path()) + "'/></svg>";
        const auto filled = [&](const char* pattern) {
            return QString::fromUtf8(pattern)
                .replace("@TRAP", trap.path())
                .replace("@PNG", pngDataUrl())
                .replace("@SVG",
                         "data:image/svg+xml;base64," + QString::fromLatin1(svg.toBase64()));
        };
        pasteHtml(pane, filled(c.html));
        pane.document()->documentLayout()->documentSize();
        pane.grab();
        rtf::write(*pane.document());
        EXPECT_FALSE(trap.opened());
        EXPECT_TRUE(pane.Text().contains(u'a') && pane.Text().contains(u'b'))
            << pane.Text().toStdString();

        const QList<rtftest::Picture> pictures = rtftest::pictures(*pane.document());
        const QString expected = filled(c.picture);
        if (expected.isEmpty()) {
            EXPECT_TRUE(pictures.empty());
            continue;
        }
        ASSERT_EQ(pictures.size(), 1);
        if (expected == u'*') {
            EXPECT_EQ(pictures[0].image.size(), QSize(12, 8));
            EXPECT_EQ(pictures[0].image.pixel(0, 0), qRgb(255, 0, 0));
        } else if (expected == QLatin1String("*box")) {
            EXPECT_TRUE(rtf::isPlaceholder(pictures[0].image));
        } else {
            EXPECT_EQ(pictures[0].format.name(), expected);
            EXPECT_TRUE(rtf::isPlaceholder(pictures[0].image));
            // Saved, the name goes out as a reference, and comes back to be saved the same.
            const QByteArray saved = rtf::write(*pane.document());
            EXPECT_TRUE(saved.contains("INCLUDEPICTURE \"" + expected.toUtf8() + "\""));
            QTextDocument reread;
            DocumentDefaults::setUp(reread);
            ASSERT_TRUE(rtf::read(saved, reread).ok());
            EXPECT_EQ(rtf::write(reread), saved);
        }
    }
}

// Markup nested or spread beyond what Qt reads in good time keeps all its text, its nesting
// and its tables cut to the bounds.
TEST(HostilePaste, DeepAndWideMarkupKeepsItsTextWithinBounds) {
    struct Case {
        const char* what;
        QString html;
        int xs; // how many "x" the text holds
        std::function<void(const Shape&)> check;
    };
    const QString cell = QStringLiteral("<td>x</td>");
    const Case cases[] = {
        {"nested tables", nested("<table><tr><td>x", "</td></tr></table>", 12), 12,
         [](const Shape& s) { EXPECT_EQ(s.tableDepth, PastedHtml::maxTableDepth); }},
        // Qt's reader takes "< tag" for a tag, and reads character references in names.
        {"nested tables named by references",
         nested("<&#116;able><tr><td>x", "</td></tr></table>", 12), 12,
         [](const Shape& s) { EXPECT_EQ(s.tableDepth, PastedHtml::maxTableDepth); }},
        {"nested block quotes after spaces", nested("< blockquote>x", "</blockquote>", 200), 200,
         [](const Shape& s) { EXPECT_LE(s.leftMargin, 40.0 * PastedHtml::maxDepth); }},
        {"nested block quotes", nested("<blockquote>x", "</blockquote>", 200), 200,
         [](const Shape& s) { EXPECT_LE(s.leftMargin, 40.0 * PastedHtml::maxDepth); }},
        {"nested lists", nested("<ul><li>x", "</li></ul>", 200), 200,
         [](const Shape& s) {
             EXPECT_GT(s.listDepth, 1);
             EXPECT_LE(s.listDepth, PastedHtml::maxDepth);
         }},
        {"nested divs in a quote",
         "<blockquote>" + QStringLiteral("<div>").repeated(5000) + "x" +
             QStringLiteral("</div>").repeated(5000) + "</blockquote><blockquote>x</blockquote>",
         2, [](const Shape& s) { EXPECT_EQ(s.leftMargin, 40.0); }},
        {"row of cells", "<table><tr>" + cell.repeated(200) + "</tr></table>", 200,
         [](const Shape& s) { EXPECT_EQ(s.widestRow, 64); }},
        {"more cells than are kept",
         "<table>" + QString("<tr>" + cell + cell + "</tr>").repeated(3000) + "</table>", 6000,
         [](const Shape& s) { EXPECT_EQ(s.cells, 0); }},
        {"cells without rows or tables", cell.repeated(100) + "<tr>" + cell, 101,
         [](const Shape& s) { EXPECT_EQ(s.cells, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RichTextBox pane;
        pasteHtml(pane, c.html);
        EXPECT_EQ(pane.Text().count(u'x'), c.xs);
        c.check(shapeOf(*pane.document()));
    }
}
