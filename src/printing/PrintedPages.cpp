#include "printing/PrintedPages.h"

#include "layout/PagedLayout.h"
#include "model/DocumentProperties.h"
#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfReader.h"
#include "storage/ResourceGate.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace PrintedPages {

namespace {

using rtf::KeptGroup;

constexpr int maxColorNumber = 4096; // a colour table longer than this is damage

// A kept group's content as a document of its own: the group without its destination word, in a
// file whose tables give its font and colour numbers what they stood for.
std::unique_ptr<QTextDocument> documentOf(const KeptGroup& group, const QTextDocument& body) {
    QByteArray content = group.bytes;
    qsizetype at = 1; // after the brace
    if (content.mid(at, 2) == "\\*")
        at += 2;
    if (content.mid(at, 1) == "\\") {
        qsizetype end = at + 1;
        while (end < content.size() && std::isalpha(static_cast<unsigned char>(content[end])))
            ++end;
        while (end < content.size() && std::isdigit(static_cast<unsigned char>(content[end])))
            ++end;
        if (end < content.size() && content[end] == ' ')
            ++end;
        content.remove(1, end - 1); // \* goes with the word: a word it marks is skipped
    }
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl";
    for (const KeptGroup::Font& font : group.fonts) {
        rtf += "{\\f" + QByteArray::number(font.number) + "\\fcharset" +
               QByteArray::number(rtf::KeptGroups::charsetOf(font.codePage)) + " " +
               font.name.toUtf8().replace(';', ' ') + ";}";
    }
    rtf += "}{\\colortbl;";
    int next = 1;
    for (const KeptGroup::Color& color : group.colors) {
        if (color.number < next || color.number > maxColorNumber)
            continue;
        for (; next < color.number; ++next)
            rtf += ";";
        rtf += "\\red" + QByteArray::number(qRed(color.rgb)) + "\\green" +
               QByteArray::number(qGreen(color.rgb)) + "\\blue" +
               QByteArray::number(qBlue(color.rgb)) + ";";
        ++next;
    }
    rtf += "}" + content + "}";
    auto document = std::make_unique<QTextDocument>();
    ResourceGate::close(*document);
    document->setDefaultFont(body.defaultFont());
    rtf::read(rtf, *document);
    return document;
}

// The number a page-number field named by `fields[id - 1]` shows, or 0 for another field.
int pageFieldNumber(const std::vector<KeptGroup>& fields, int id, int page, int pages) {
    if (id <= 0 || size_t(id) > fields.size())
        return 0;
    const QString name = rtf::fieldInstruction(fields[size_t(id) - 1]).section(u' ', 0, 0);
    if (name.compare(u"PAGE", Qt::CaseInsensitive) == 0)
        return page;
    if (name.compare(u"NUMPAGES", Qt::CaseInsensitive) == 0)
        return pages;
    return 0;
}

// The results of the page-number fields in `document` show `page` of `pages`. A field saved
// without a result shows its number too: where the character after it stands, or after the
// text's last character when nothing followed it.
void numberPages(QTextDocument& document, int page, int pages) {
    const std::vector<KeptGroup> fields = rtf::KeptGroups::load(document);
    struct Result {
        int start;
        int end;
        QTextCharFormat format;
        QString number;
    };
    std::vector<Result> results;
    int lastCharacter = -1;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.length() > 1)
            lastCharacter = block.position() + block.length() - 2;
    }
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int start = fragment.position();
            if (const int number = pageFieldNumber(
                    fields, format.intProperty(DocumentProperty::FieldId), page, pages))
                results.push_back(
                    {start, start + fragment.length(), format, QString::number(number)});
            QString empty;
            for (const int id :
                 format.property(DocumentProperty::EmptyFields).value<QList<int>>()) {
                if (const int number = pageFieldNumber(fields, id, page, pages))
                    empty += QString::number(number);
            }
            if (!empty.isEmpty()) {
                const int at = start == lastCharacter ? start + 1 : start;
                results.push_back({at, at, format, empty});
            }
        }
    }
    std::stable_sort(results.begin(), results.end(),
                     [](const Result& a, const Result& b) { return a.start < b.start; });
    // From the last, so that the positions before stay where they were.
    QTextCursor cursor(&document);
    for (auto it = results.rbegin(); it != results.rend(); ++it) {
        cursor.setPosition(it->start);
        cursor.setPosition(it->end, QTextCursor::KeepAnchor);
        cursor.insertText(it->number, it->format);
    }
}

// Headers or footers by the pages they are for: "" for every page, "l" left (even) pages, "r"
// right (odd) ones, "f" the first.
using Sides = std::map<QByteArray, const KeptGroup*>;

void collectSides(const std::vector<KeptGroup>& kept, Sides& headers, Sides& footers,
                  int section = 0) {
    for (const KeptGroup& group : kept) {
        if (group.kind != KeptGroup::Kind::Side || group.section != section)
            continue;
        const QByteArray bytes = group.bytes;
        const bool header = bytes.startsWith("{\\header");
        // What follows "{\header" or "{\footer", which are as long.
        QByteArray which = bytes.mid(8, 1);
        if (which != "l" && which != "r" && which != "f")
            which.clear();
        Sides& sides = header ? headers : footers;
        sides.try_emplace(which, &group);
    }
}

// The headers and footers of each section, and the section each page prints in: a page takes the
// headers of the section its text starts in. A section with none of its own keeps those of the
// section before it, as word processors link them.
struct SectionSides {
    Sides headers;
    Sides footers;
};

std::vector<SectionSides> sidesBySection(const std::vector<KeptGroup>& kept) {
    int last = 0;
    for (const KeptGroup& group : kept) {
        if (group.kind == KeptGroup::Kind::Side)
            last = std::max(last, group.section);
    }
    std::vector<SectionSides> sections(size_t(last) + 1);
    for (int section = 0; section <= last; ++section) {
        SectionSides own;
        collectSides(kept, own.headers, own.footers, section);
        SectionSides& at = sections[size_t(section)];
        if (section > 0)
            at = sections[size_t(section) - 1];
        // A section that gives any header or footer gives all of its own.
        if (!own.headers.empty())
            at.headers = own.headers;
        if (!own.footers.empty())
            at.footers = own.footers;
    }
    return sections;
}

const KeptGroup* sideFor(const Sides& sides, int page) {
    auto find = [&](const char* which) -> const KeptGroup* {
        const auto it = sides.find(which);
        return it == sides.end() ? nullptr : it->second;
    };
    if (page == 1 && sides.size() == 1 && find("f"))
        return find("f");
    const char* order[] = {page % 2 ? "r" : "l", "", page % 2 ? "l" : "r"};
    for (const char* which : order) {
        if (const KeptGroup* group = find(which))
            return group;
    }
    return nullptr;
}

// Footnotes by their number among the kept groups, each with the mark it has in the text.
using FootnoteMarks = std::vector<std::pair<int, QString>>;

// Adds the footnotes of `body` to `marks`, in the order the text holds them.
void collectFootnotes(const QTextDocument& body, const std::vector<KeptGroup>& kept,
                      FootnoteMarks& marks) {
    for (QTextBlock block = body.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const int id = it.fragment().charFormat().intProperty(DocumentProperty::FootnoteId);
            if (id <= 0 || size_t(id) > kept.size() || (!marks.empty() && marks.back().first == id))
                continue;
            QString mark = it.fragment().text();
            if (kept[size_t(id) - 1].numbered) {
                qsizetype digits = 0;
                while (digits < mark.size() && mark[digits].isDigit())
                    ++digits;
                mark.truncate(digits);
            } else {
                mark.truncate(1);
            }
            marks.emplace_back(id, mark);
        }
    }
}

// The footnotes, each after its mark, in a document of their own that follows the text on
// paper; null when there are none.
std::unique_ptr<QTextDocument> footnotesOf(const FootnoteMarks& marks, const QTextDocument& body,
                                           const std::vector<KeptGroup>& kept) {
    if (marks.empty())
        return nullptr;
    auto notes = std::make_unique<QTextDocument>();
    ResourceGate::close(*notes);
    notes->setDefaultFont(body.defaultFont());
    notes->setDefaultTextOption(body.defaultTextOption());
    QTextCursor cursor(notes.get());
    cursor.insertText(QStringLiteral("________________"));
    for (const auto& [id, mark] : marks) {
        auto note = documentOf(kept[size_t(id) - 1], body);
        // The note's own copy of its number (\chftn) shows nothing without a footnote after it:
        // the number goes before the note, raised. A mark of the file's own is in the note.
        if (kept[size_t(id) - 1].numbered) {
            QTextCursor start(note.get());
            QTextCharFormat raised = start.charFormat();
            raised.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            start.insertText(mark, raised);
        }
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertFragment(QTextDocumentFragment(note.get()));
    }
    return notes;
}

// A printed page in the units the document is laid out in, and how much larger it is drawn.
struct Sheet {
    QSizeF page;
    QSizeF margin; // Qt's own 2 cm, as QTextDocument::print has them
    qreal scaleX = 1;
    qreal scaleY = 1;
};

// The pixels of the screen the document's fonts are measured in: Qt's layout without a paint
// device takes them.
qreal screenDpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : 96;
}
qreal screenDpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

Sheet sheetOf(const QPagedPaintDevice& printer) {
    Sheet sheet;
    sheet.scaleX = printer.logicalDpiX() / screenDpiX();
    sheet.scaleY = printer.logicalDpiY() / screenDpiY();
    sheet.page = QSizeF(printer.width() / sheet.scaleX, printer.height() / sheet.scaleY);
    sheet.margin = QSizeF(int((2 / 2.54) * screenDpiX()), int((2 / 2.54) * screenDpiY()));
    return sheet;
}

// A header or footer in the top or bottom margin, its page numbers filled in.
void drawSide(QPainter& painter, const Sheet& sheet, const KeptGroup* group,
              const QTextDocument& document, int number, int pages, bool header) {
    if (!group)
        return;
    auto side = documentOf(*group, document);
    numberPages(*side, number, pages);
    const qreal width = sheet.page.width() - 2 * sheet.margin.width();
    // Laid out as the text is, on one page as tall as it needs.
    const PagedLayout::Sheet column{QSizeF(width, 1e7), QMarginsF()};
    PagedLayout measured(column, nullptr);
    measured.flow(*side);
    const qreal height = measured.end();
    const qreal marginHeight = sheet.margin.height();
    // Headers end a little above the text, footers start a little below it.
    const qreal gap = marginHeight / 4;
    const qreal top = header ? std::max<qreal>(0, marginHeight - gap - height)
                             : sheet.page.height() - marginHeight + gap;
    painter.save();
    painter.translate(sheet.margin.width(), top);
    painter.setClipRect(QRectF(0, 0, width, std::min(height, marginHeight - gap)));
    PagedLayout drawn(column, &painter);
    drawn.flow(*side);
    drawn.finish();
    painter.restore();
}

// The header and footer of page `number` of `pages`, from the section the page started in.
void drawSides(QPainter& painter, const Sheet& sheet, const SectionSides& section,
               const QTextDocument& document, int number, int pages) {
    drawSide(painter, sheet, sideFor(section.headers, number), document, number, pages, true);
    drawSide(painter, sheet, sideFor(section.footers, number), document, number, pages, false);
}

PagedLayout::Sheet paperOf(const Sheet& sheet) {
    return {sheet.page, QMarginsF(sheet.margin.width(), sheet.margin.height(), sheet.margin.width(),
                                  sheet.margin.height())};
}

} // namespace

bool countsPages(const std::vector<KeptGroup>& kept) {
    for (const KeptGroup& group : kept) {
        if (group.kind == KeptGroup::Kind::Side &&
            (group.bytes.contains("NUMPAGES") || group.bytes.contains("numpages")))
            return true;
    }
    return false;
}

struct Printing::State {
    QPagedPaintDevice& printer;
    QPainter painter;
    Sheet sheet;
    int pages = 0;
    // Worked out again from the groups each part comes with, which may have grown.
    std::vector<SectionSides> sections;
    const QTextDocument* body = nullptr; // the document the parts come in
    FootnoteMarks footnotes;
    std::optional<PagedLayout> printed;

    State(QPagedPaintDevice& device, int pageCount)
        : printer(device), painter(&device), sheet(sheetOf(device)), pages(pageCount) {}
};

Printing::Printing(QPagedPaintDevice& printer, int pages)
    : d_(std::make_unique<State>(printer, pages)) {
    if (!d_->painter.isActive())
        return;
    // Laid out as the window lays the document out, in screen pixels, and drawn larger on
    // paper: on the printer's own resolution fonts grow but indents do not.
    d_->painter.scale(d_->sheet.scaleX, d_->sheet.scaleY);
    State& d = *d_;
    d.printed.emplace(paperOf(d.sheet), &d.painter, [&d](int number, bool more) {
        const int section = std::min(d.printed->pageSection(), int(d.sections.size()) - 1);
        drawSides(d.painter, d.sheet, d.sections[size_t(section)], *d.body, number, d.pages);
        if (more)
            d.printer.newPage();
    });
}

Printing::~Printing() = default;

void Printing::print(const QTextDocument& part, const std::vector<KeptGroup>& kept) {
    if (!d_->printed)
        return;
    d_->body = &part;
    d_->sections = sidesBySection(kept);
    collectFootnotes(part, kept, d_->footnotes);
    d_->printed->flowOn(part);
}

void Printing::finish(const std::vector<KeptGroup>& kept) {
    if (!d_->printed || !d_->body)
        return;
    d_->sections = sidesBySection(kept);
    if (const auto notes = footnotesOf(d_->footnotes, *d_->body, kept))
        d_->printed->flow(*notes);
    d_->printed->finish();
    d_->printed.reset();
}

void print(const QTextDocument& document, QPagedPaintDevice& printer) {
    const std::vector<KeptGroup> kept = rtf::KeptGroups::load(document);
    int pages = 0;
    if (countsPages(kept)) {
        FootnoteMarks marks;
        collectFootnotes(document, kept, marks);
        const std::unique_ptr<QTextDocument> notes = footnotesOf(marks, document, kept);
        PagedLayout counted(paperOf(sheetOf(printer)), nullptr);
        counted.flow(document);
        if (notes)
            counted.flow(*notes);
        pages = counted.finish();
    }
    Printing printing(printer, pages);
    printing.print(document, kept);
    printing.finish(kept);
}

} // namespace PrintedPages
