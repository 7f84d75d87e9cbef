#include "pane/RichTextBox.h"

#include "layout/PaneLayout.h"
#include "model/DocumentProperties.h"
#include "model/ListNumbers.h"
#include "model/Twips.h"
#include "pane/PaneParagraphs.h"
#include "pane/SelectionFormat.h"
#include "system/Colors.h"
#include "text/Error.h"

#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <algorithm>

// The selection's formats: what the toolbar, the dialogs and the ruler read and set.

namespace {
// Calls `visit` for the character format of every piece of text in [start, end); stops early
// when it returns false.
template <typename Visit>
void forEachCharFormat(const QTextDocument* doc, int start, int end, Visit visit) {
    for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = fragment.position();
            if (from + fragment.length() <= start)
                continue;
            if (from >= end)
                break;
            if (!visit(fragment.charFormat()))
                return;
        }
    }
}

template <typename Visit>
bool forEachBlock(const QTextDocument* doc, int start, int end, Visit visit) {
    // A selection that ends where a paragraph starts leaves that paragraph out, unless it ends
    // at the document's end: selecting everything takes in an empty last paragraph too.
    const bool toTheEnd = end == doc->characterCount() - 1;
    const QTextBlock last = doc->findBlock(end > start && !toTheEnd ? end - 1 : end);
    for (QTextBlock block = doc->findBlock(start); block.isValid(); block = block.next()) {
        if (!visit(block))
            return false;
        if (block == last)
            return true;
    }
    return true;
}

// The selection's paragraphs: those of the cells chosen, when whole table cells are.
template <typename Visit> void forEachBlock(const QTextCursor& cursor, Visit visit) {
    const QTextDocument* doc = cursor.document();
    if (!cursor.hasComplexSelection()) {
        forEachBlock(doc, cursor.selectionStart(), cursor.selectionEnd(), visit);
        return;
    }
    const QTextTable* table = cursor.currentTable();
    int firstRow = 0, rows = 0, firstColumn = 0, columns = 0;
    cursor.selectedTableCells(&firstRow, &rows, &firstColumn, &columns);
    for (int row = firstRow; table && row < firstRow + rows; ++row) {
        for (int column = firstColumn; column < firstColumn + columns; ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row && row != firstRow)
                continue;
            if (cell.column() != column && column != firstColumn)
                continue;
            if (!forEachBlock(doc, cell.firstPosition(), cell.lastPosition(), visit))
                return;
        }
    }
}

// Where a paragraph is, as one value to compare: the frame it is in, and its table cell.
std::pair<const QTextFrame*, int> placeOf(const QTextBlock& block) {
    const QTextFrame* frame = QTextCursor(block).currentFrame();
    if (const auto* table = qobject_cast<const QTextTable*>(frame))
        return {table, table->cellAt(block.position()).firstPosition()};
    return {frame, 0};
}
} // namespace

template <typename T, typename Read>
static std::optional<T> uniformChar(const RichTextBox* box, Read read) {
    const QTextCursor cursor = box->textCursor();
    if (!cursor.hasSelection())
        return read(box->currentCharFormat());
    std::optional<T> value;
    bool mixed = false;
    forEachCharFormat(box->document(), cursor.selectionStart(), cursor.selectionEnd(),
                      [&](const QTextCharFormat& format) {
                          const T current = read(format);
                          if (value && *value != current)
                              mixed = true;
                          value = current;
                          return !mixed;
                      });
    if (mixed)
        return std::nullopt;
    return value ? value : std::optional<T>(read(box->currentCharFormat()));
}

template <typename T, typename Read>
static std::optional<T> uniformBlock(const RichTextBox* box, Read read) {
    const QTextCursor cursor = box->textCursor();
    std::optional<T> value;
    bool mixed = false;
    forEachBlock(cursor, [&](const QTextBlock& block) {
        const T current = read(block);
        if (value && *value != current)
            mixed = true;
        value = current;
        return !mixed;
    });
    return mixed ? std::nullopt : value;
}

static void mergeChar(RichTextBox* box, const QTextCharFormat& format) {
    box->mergeCurrentCharFormat(format);
}

static void mergeBlock(RichTextBox* box, const std::function<void(QTextBlockFormat&)>& change) {
    QTextCursor cursor = box->textCursor();
    cursor.beginEditBlock();
    forEachBlock(cursor, [&](const QTextBlock& block) {
        QTextCursor at(block);
        QTextBlockFormat format = block.blockFormat();
        change(format);
        at.setBlockFormat(format);
        return true;
    });
    cursor.endEditBlock();
}

static void mergeIndents(RichTextBox* box,
                         const std::function<void(PaneParagraphs::Indents&)>& change) {
    QTextCursor cursor = box->textCursor();
    cursor.beginEditBlock();
    forEachBlock(cursor, [&](const QTextBlock& block) {
        PaneParagraphs::Indents indents = PaneParagraphs::indentsOf(block);
        change(indents);
        QTextBlockFormat format = block.blockFormat();
        PaneParagraphs::setIndents(format, block.textList() != nullptr, indents);
        QTextCursor(block).setBlockFormat(format);
        return true;
    });
    cursor.endEditBlock();
}

std::optional<QString> RichTextBox::SelFontName() const {
    return uniformChar<QString>(this, &SelectionFormat::fontNameOf);
}

void RichTextBox::setSelFontName(const QString& name) {
    QTextCharFormat format;
    format.setFontFamilies({name});
    mergeChar(this, format);
}

std::optional<double> RichTextBox::SelFontSize() const {
    const double documentSize = document()->defaultFont().pointSizeF();
    return uniformChar<double>(this, [documentSize](const QTextCharFormat& f) {
        return SelectionFormat::fontSizeOf(f, documentSize);
    });
}

void RichTextBox::setSelFontSize(double points) {
    if (!(points > 0) || points > 1638)
        throw Error::withNumber(Error::InvalidPropertyValue);
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeChar(this, format);
}

std::optional<bool> RichTextBox::SelBold() const {
    return uniformChar<bool>(this, &SelectionFormat::isBold);
}

void RichTextBox::setSelBold(bool on) {
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeChar(this, format);
}

std::optional<bool> RichTextBox::SelItalic() const {
    return uniformChar<bool>(this, [](const QTextCharFormat& f) { return f.fontItalic(); });
}

void RichTextBox::setSelItalic(bool on) {
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeChar(this, format);
}

std::optional<bool> RichTextBox::SelUnderline() const {
    return uniformChar<bool>(this, [](const QTextCharFormat& f) { return f.fontUnderline(); });
}

void RichTextBox::setSelUnderline(bool on) {
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeChar(this, format);
}

std::optional<bool> RichTextBox::SelStrikeThru() const {
    return uniformChar<bool>(this, [](const QTextCharFormat& f) { return f.fontStrikeOut(); });
}

void RichTextBox::setSelStrikeThru(bool on) {
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    mergeChar(this, format);
}

std::optional<quint32> RichTextBox::SelColor() const {
    return uniformChar<quint32>(this, [](const QTextCharFormat& f) {
        return f.hasProperty(QTextFormat::ForegroundBrush)
                   ? Colors::fromQColor(f.foreground().color())
                   : Colors::black;
    });
}

void RichTextBox::setSelColor(quint32 color) {
    QTextCharFormat format;
    format.setForeground(Colors::toQColor(color));
    mergeChar(this, format);
}

std::optional<Alignment> RichTextBox::SelAlignment() const {
    return uniformBlock<Alignment>(this, &SelectionFormat::alignmentOf);
}

SelectionFormat RichTextBox::SelFormat() const {
    return SelectionFormat::of(textCursor(), currentCharFormat());
}

void RichTextBox::setSelAlignment(Alignment alignment) {
    const Qt::Alignment qt = qtAlignmentOf(alignment);
    mergeBlock(this, [&](QTextBlockFormat& f) { f.setAlignment(qt); });
}

std::optional<bool> RichTextBox::SelBullet() const {
    return uniformBlock<bool>(this, [](const QTextBlock& block) {
        // Any bullet, as other word processors draw them: discs, circles, squares.
        const QTextList* list = block.textList();
        const QTextListFormat::Style style =
            list ? list->format().style() : QTextListFormat::ListStyleUndefined;
        return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
               style == QTextListFormat::ListSquare;
    });
}

void RichTextBox::setSelBullet(bool on) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    if (on) {
        // The bullet takes the first line's place and the text moves right to the hanging
        // indent, or as far as a bullet needs, so that taking the bullet off again (and the
        // hanging indent with it) leaves the paragraph where it was.
        static constexpr qreal bulletRoom = Twips::toLayout(360);
        forEachBlock(cursor, [](const QTextBlock& block) {
            PaneParagraphs::Indents indents = PaneParagraphs::indentsOf(block);
            indents.hanging = std::max(indents.hanging, bulletRoom);
            QTextBlockFormat format = block.blockFormat();
            PaneParagraphs::setIndents(format, true, indents);
            QTextCursor(block).setBlockFormat(format);
            return true;
        });
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bullets.setIndent(0);
        // In lists of a bounded size, as a file's are read: Qt marks every item of a list again
        // as each one joins it.
        QTextList* list = nullptr;
        int items = 0;
        forEachBlock(cursor, [&](const QTextBlock& block) {
            if (!list || items == ListNumbers::bulletsPerList) {
                list = QTextCursor(block).createList(bullets);
                items = 0;
            } else {
                list->add(block);
            }
            ++items;
            return true;
        });
    } else {
        forEachBlock(cursor, [](const QTextBlock& block) {
            PaneParagraphs::leaveList(block);
            return true;
        });
    }
    cursor.endEditBlock();
}

std::optional<int> RichTextBox::SelIndent() const {
    return uniformBlock<int>(this, [](const QTextBlock& block) {
        return Twips::fromLayout(PaneParagraphs::indentsOf(block).firstLine);
    });
}

void RichTextBox::setSelIndent(int twips) {
    // The first line moves; the following lines keep their place.
    mergeIndents(this, [&](PaneParagraphs::Indents& indents) {
        const qreal following = indents.firstLine + indents.hanging;
        indents.firstLine = Twips::toLayout(twips);
        indents.hanging = following - indents.firstLine;
    });
}

std::optional<int> RichTextBox::SelRightIndent() const {
    return uniformBlock<int>(this, [](const QTextBlock& block) {
        return Twips::fromLayout(block.blockFormat().rightMargin());
    });
}

void RichTextBox::setSelRightIndent(int twips) {
    mergeBlock(this, [&](QTextBlockFormat& f) { f.setRightMargin(Twips::toLayout(twips)); });
}

std::optional<int> RichTextBox::SelHangingIndent() const {
    return uniformBlock<int>(this, [](const QTextBlock& block) {
        return Twips::fromLayout(PaneParagraphs::indentsOf(block).hanging);
    });
}

void RichTextBox::setSelHangingIndent(int twips) {
    // The first line keeps its place; the following lines move.
    mergeIndents(
        this, [&](PaneParagraphs::Indents& indents) { indents.hanging = Twips::toLayout(twips); });
}

RichTextBox::Indents RichTextBox::FirstParagraphIndents() const {
    const QTextBlock block = document()->findBlock(textCursor().selectionStart());
    const PaneParagraphs::Indents indents = PaneParagraphs::indentsOf(block);
    return {Twips::fromLayout(indents.firstLine),
            Twips::fromLayout(block.blockFormat().rightMargin()),
            Twips::fromLayout(indents.hanging)};
}

bool RichTextBox::selectionSpansCells() const {
    const QTextCursor cursor = textCursor();
    if (cursor.hasComplexSelection())
        return true;
    if (!cursor.hasSelection() || document()->rootFrame()->childFrames().isEmpty())
        return false;
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const auto place = placeOf(first);
    return !forEachBlock(document(), cursor.selectionStart(), cursor.selectionEnd(),
                         [&](const QTextBlock& block) { return placeOf(block) == place; });
}

std::optional<int> RichTextBox::SelTabCount() const {
    // Each cell measures its stops from its own edge: paragraphs of several cells have no one
    // list of stops, as paragraphs with different stops have none.
    if (selectionSpansCells())
        return std::nullopt;
    const auto tabs = uniformBlock<QList<QTextOption::Tab>>(
        this, [](const QTextBlock& block) { return block.blockFormat().tabPositions(); });
    if (!tabs)
        return std::nullopt;
    return int(tabs->size());
}

int RichTextBox::SelTabs(int index) const {
    const QList<QTextOption::Tab> tabs = textCursor().blockFormat().tabPositions();
    if (index < 0 || index >= tabs.size())
        throw Error::withNumber(Error::InvalidPropertyValue);
    return Twips::fromLayout(tabs[index].position);
}

void RichTextBox::setSelTabStops(const QList<int>& twips) {
    // Kept in position order whatever order they come in (the tab dialog's is its list's, by
    // text), as the ruler, the layout and other readers of the file take them.
    QList<int> ordered = twips;
    std::sort(ordered.begin(), ordered.end());
    QList<QTextOption::Tab> tabs;
    for (int position : ordered)
        tabs.append(QTextOption::Tab(Twips::toLayout(position), QTextOption::LeftTab));
    mergeBlock(this, [&](QTextBlockFormat& f) { f.setTabPositions(tabs); });
}

int RichTextBox::SelColumnLeft() const {
    return Twips::fromLayout(paneLayout().columnLeft(textCursor().selectionStart()));
}
