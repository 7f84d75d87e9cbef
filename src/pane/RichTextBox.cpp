#include "pane/RichTextBox.h"
#include "storage/DocumentDefaults.h"

#include "layout/PaneLayout.h"
#include "model/DocumentProperties.h"
#include "model/ListNumbers.h"
#include "model/Twips.h"
#include "pane/PaneBlink.h"
#include "pane/PaneCaret.h"
#include "pane/PaneClipboard.h"
#include "pane/PaneKeys.h"
#include "pane/PaneParagraphs.h"
#include "pane/PaneText.h"
#include "pane/SelectionFormat.h"
#include "printing/PrintedPages.h"
#include "storage/ResourceGate.h"
#include "system/Colors.h"
#include "system/Desktop.h"
#include "system/KeyLocks.h"
#include "text/Error.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTextTable>
#include <algorithm>
#include <new>

namespace {
// How much of a long paragraph an input method sees on either side of the caret.
constexpr int inputMethodReach = 512;

} // namespace

RichTextBox::RichTextBox(QWidget* parent)
    : QTextEdit(parent), text_(new PaneText(this)), blink_(new PaneBlink(this)) {
    setObjectName(QStringLiteral("Text1"));
    setAccessibleName(QStringLiteral("Document"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
    setFont(DocumentDefaults::font());
    DocumentDefaults::setUp(*document());
    setCurrentCharFormat(DocumentDefaults::charFormat());
    document()->clearUndoRedoStacks();
    useOwnLayout(*document());

    watchDocument();
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::Change);
    const auto selectionMoved = [this] {
        const QTextCursor cursor = textCursor();
        if (cursor.selectionStart() == lastSelStart_ && cursor.selectionEnd() == lastSelEnd_)
            return;
        lastSelStart_ = cursor.selectionStart();
        lastSelEnd_ = cursor.selectionEnd();
        emit SelChange();
    };
    connect(this, &QTextEdit::cursorPositionChanged, this, selectionMoved);
    connect(this, &QTextEdit::selectionChanged, this, selectionMoved);
}

QString RichTextBox::Text() const {
    return text_->text();
}

PaneLayout& RichTextBox::paneLayout() const {
    // Every document the pane shows was given one by useOwnLayout.
    return *static_cast<PaneLayout*>(document()->documentLayout());
}

void RichTextBox::showCaret() {
    // Qt's widget scrolls to the start of a paragraph laid out in pieces, not to the caret.
    PaneCaret::show(*this, paneLayout());
}

void RichTextBox::useOwnLayout(QTextDocument& document) {
    // Before anything asks the document for its layout, which would make Qt's first and lay
    // everything out with it.
    document.setDocumentLayout(new PaneLayout(&document));
}

void RichTextBox::watchDocument() {
    text_->watch(document());
}

void RichTextBox::setText(const QString& text) {
    // A fresh document takes the text in one step and starts a new history, as loading a file
    // does; editing the old one would record every replaced character for undo.
    auto replaced = std::make_unique<QTextDocument>();
    replaced->setUndoRedoEnabled(false);
    QTextCursor(replaced.get()).insertText(text, currentCharFormat());
    adoptDocument(std::move(replaced));
}

int RichTextBox::SelStart() const {
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, position, int(document()->characterCount()) - 1));
    setTextCursor(cursor);
    showCaret();
}

int RichTextBox::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::setSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int last = int(document()->characterCount()) - 1;
    cursor.setPosition(start);
    cursor.setPosition(qBound(0, start + length, last), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    showCaret();
}

QString RichTextBox::SelText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\v'));
    return text;
}

void RichTextBox::setSelText(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    showCaret();
}

void RichTextBox::setRightMargin(int twips) {
    rightMargin_ = twips;
    if (twips <= 0) {
        setLineWrapMode(QTextEdit::WidgetWidth);
        return;
    }
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(qMax(1, qRound(Twips::toLayout(twips))));
}

void RichTextBox::setBackColor(quint32 color) {
    backColor_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, Colors::toQColor(color));
    setPalette(p);
}

namespace {
ScreenMetrics metrics() {
    return DesktopSeam::current().screen();
}
} // namespace

// The size set in twips is remembered while the pixel size still matches it, so a value set
// reads back unchanged although pixels are coarser than twips.
int RichTextBox::Width() const {
    return width() == metrics().xPixels(widthTwips_) ? widthTwips_ : metrics().xTwips(width());
}
void RichTextBox::setWidth(int twips) {
    widthTwips_ = qMax(0, twips);
    resize(metrics().xPixels(widthTwips_), height());
}
int RichTextBox::Height() const {
    return height() == metrics().yPixels(heightTwips_) ? heightTwips_ : metrics().yTwips(height());
}
void RichTextBox::setHeight(int twips) {
    heightTwips_ = qMax(0, twips);
    resize(width(), metrics().yPixels(heightTwips_));
}

bool RichTextBox::canUndo() const {
    return document()->isUndoAvailable();
}

void RichTextBox::adoptDocument(std::unique_ptr<QTextDocument> replacement) {
    // Swapping in a finished document keeps loading off the pane's per-edit bookkeeping.
    QTextDocument* loaded = replacement.release();
    loaded->setDefaultFont(document()->defaultFont());
    // The pane's options, with the default tab stops the file asked for.
    QTextOption option = document()->defaultTextOption();
    option.setTabStopDistance(loaded->defaultTextOption().tabStopDistance());
    loaded->setDefaultTextOption(option);
    loaded->setUndoRedoEnabled(true);
    loaded->clearUndoRedoStacks();
    // Before the pane takes it, which would otherwise lay it all out with Qt's layout first.
    useOwnLayout(*loaded);
    // The pane deletes the document it replaces when that one is its child.
    loaded->setParent(this);
    setDocument(loaded);
    watchDocument();
    lastSelStart_ = lastSelEnd_ = -1;
    setTextCursor(QTextCursor(loaded));
    emit Change();
}

void RichTextBox::SelPrint(QPrinter& printer) {
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        PrintedPages::print(*document(), printer);
        return;
    }
    PrintedPages::print(*PaneClipboard::documentOf(cursor), printer);
}

void RichTextBox::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

bool RichTextBox::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        // Leave Ctrl+Z to the Edit menu's Undo shortcut instead of the pane's own undo.
        if (key->key() == Qt::Key_Z && key->modifiers() == Qt::ControlModifier) {
            e->ignore();
            return false;
        }
    }
    return QTextEdit::event(e);
}

void RichTextBox::keyPressEvent(QKeyEvent* e) {
    int keyCode = PaneKeys::keyCode(Qt::Key(e->key()));
    const int shift = PaneKeys::shiftMask(e->modifiers());
    if (keyCode != 0) {
        emit KeyDown(keyCode, shift);
        if (keyCode == 0) {
            e->accept();
            return;
        }
    }
    if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        KeyLocks::toggleInsertMode();
        setOverwriteMode(!KeyLocks::insertMode());
        return;
    }
    switch (PaneKeys::editAction(Qt::Key(e->key()), e->modifiers())) {
    case PaneKeys::EditAction::Undo:
        undo();
        return;
    case PaneKeys::EditAction::Cut:
        cut();
        return;
    case PaneKeys::EditAction::Copy:
        copy();
        return;
    case PaneKeys::EditAction::Paste:
        paste();
        return;
    case PaneKeys::EditAction::None:
        break;
    }
    // Alt with a letter is a menu access key or nothing; it never types the letter. Ctrl+Alt is
    // left alone: some keyboards type characters with it.
    const Qt::KeyboardModifiers mods = e->modifiers();
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !e->text().isEmpty()) {
        e->ignore();
        return;
    }
    PaneLayout& layout = paneLayout();
    const bool moved = PaneCaret::keyPress(*this, layout, e, goalX_);
    if (moved || typing_.keyPress(*this, layout, e)) {
        if (!moved)
            goalX_ = -1;
        blink_->restart();
        showCaret();
        e->accept();
        return;
    }
    goalX_ = -1;
    if (e->matches(QKeySequence::InsertParagraphSeparator) && !isReadOnly()) {
        QTextCursor cursor = textCursor();
        PaneParagraphs::breakParagraph(cursor);
        setTextCursor(cursor);
        showCaret();
        e->accept();
        return;
    }
    QTextEdit::keyPressEvent(e);
    showCaret();
}

void RichTextBox::paintEvent(QPaintEvent* e) {
    paneLayout().setPieceCaret(blink_->shownCaret());
    QTextEdit::paintEvent(e);
}

void RichTextBox::mousePressEvent(QMouseEvent* e) {
    int button = 0;
    if (e->button() == Qt::LeftButton)
        button = 1;
    else if (e->button() == Qt::RightButton)
        button = 2;
    else if (e->button() == Qt::MiddleButton)
        button = 4;
    const QPoint at = e->position().toPoint();
    emit MouseDown(button, PaneKeys::shiftMask(e->modifiers()), metrics().xTwips(at.x()),
                   metrics().yTwips(at.y()));
    if (e->button() == Qt::RightButton) {
        // The context menu belongs to the program (the Edit menu), not the pane.
        e->accept();
        return;
    }
    // Ctrl+click follows a link, as in other word processors; a plain click places the caret in
    // its text to edit it. Links to places in the document have nowhere to go here.
    if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier)) {
        if (const QString link = anchorAt(at); !link.isEmpty() && !link.startsWith(u'#')) {
            DesktopSeam::current().openUrl(QUrl::fromUserInput(link));
            e->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(e);
    showCaret();
}

void RichTextBox::scrollContentsBy(int dx, int dy) {
    QTextEdit::scrollContentsBy(dx, dy);
    PaneLayout* layout = &paneLayout();
    if (followingLayout_)
        return;
    // What comes into view is laid out before it is painted; where paragraphs above the view
    // turn out taller or shorter than estimated, the view moves with the text it shows.
    QScrollBar* bar = verticalScrollBar();
    const int moved = qRound(layout->layOutView(bar->value(), bar->value() + viewport()->height()));
    if (moved == 0)
        return;
    followingLayout_ = true;
    layout->reportSize();
    bar->setValue(bar->value() + moved);
    followingLayout_ = false;
    viewport()->update();
}

QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    // An input method asks for the caret's paragraph and for the caret's place on the screen on
    // every key. In a paragraph of megabytes the paragraph is a stretch of text around the caret,
    // and the place is the one the pane's layout draws the caret at.
    const QTextCursor cursor = textCursor();
    const PaneLayout* layout = &paneLayout();
    if (!layout->inLongParagraph(cursor.position()))
        return QTextEdit::inputMethodQuery(query);
    const QTextBlock block = cursor.block();
    const int position = cursor.position();
    const int from = qMax(block.position(), position - inputMethodReach);
    const int to = qMin(block.position() + block.length() - 1, position + inputMethodReach);
    const QPointF scrolled(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    switch (query) {
    case Qt::ImCursorRectangle:
        return layout->caretRect(position).translated(scrolled);
    case Qt::ImAnchorRectangle:
        return layout->caretRect(cursor.anchor()).translated(scrolled);
    case Qt::ImSurroundingText:
        return PaneText::rangeOf(*document(), from, to);
    case Qt::ImCursorPosition:
        return position - from;
    case Qt::ImAnchorPosition:
        return qBound(0, cursor.anchor() - from, to - from);
    case Qt::ImTextBeforeCursor:
        return PaneText::rangeOf(*document(), from, position);
    case Qt::ImTextAfterCursor:
        return PaneText::rangeOf(*document(), position, to);
    default:
        return QTextEdit::inputMethodQuery(query);
    }
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        const int position = cursorForPosition(e->position().toPoint()).position();
        if (PaneCaret::selectWord(*this, paneLayout(), position)) {
            e->accept();
            return;
        }
    }
    QTextEdit::mouseDoubleClickEvent(e);
}

void RichTextBox::contextMenuEvent(QContextMenuEvent* e) {
    e->accept();
}

void RichTextBox::focusInEvent(QFocusEvent* e) {
    // Insert and overtype are one state for all panes, as the keyboard's was.
    setOverwriteMode(!KeyLocks::insertMode());
    QTextEdit::focusInEvent(e);
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    return PaneClipboard::copy(textCursor());
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(QStringLiteral("text/rtf")) ||
           source->hasFormat(QStringLiteral("application/rtf")) ||
           QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    // Called from inside Qt's key and drop handling, which an exception must not cross.
    try {
        QTextCursor cursor = textCursor();
        if (PaneClipboard::pasteRich(cursor, *source)) {
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
        // Qt's own paste would read markdown and its own rich text too: it is left the text.
        if (!source->hasText())
            return;
        QMimeData text;
        text.setText(source->text());
        QTextEdit::insertFromMimeData(&text);
    } catch (const std::bad_alloc&) {
        emit PasteFailed(Error::withNumber(Error::OutOfMemory));
    }
}

QVariant RichTextBox::loadResource(int type, const QUrl& name) {
    return ResourceGate::answer(type, name);
}
