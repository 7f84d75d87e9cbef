#pragma once

#include "model/Alignment.h"
#include "pane/PaneTyping.h"
#include "system/Colors.h"
#include "text/Error.h"
#include "text/PlainText.h"

#include <QTextEdit>
#include <memory>
#include <optional>

class PaneBlink;
class PaneLayout;
class PaneText;
class QPrinter;
struct SelectionFormat;

// The editing pane. Offsets count one character per paragraph break and one per embedded
// object, in Text() as in SelStart(), so a position found in Text() can be selected directly.
// Selection attributes read as nullopt when they differ across the selection; lengths are twips.
class RichTextBox : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // Paragraph breaks read as '\n', line breaks inside a paragraph as '\v'.
    QString Text() const;
    void setText(const QString& text);

    int SelStart() const;
    // Moves the caret there and empties the selection.
    void setSelStart(int position);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString& text);

    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString& name);
    std::optional<double> SelFontSize() const;
    void setSelFontSize(double points);
    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    std::optional<quint32> SelColor() const;
    void setSelColor(quint32 color);

    std::optional<Alignment> SelAlignment() const;
    void setSelAlignment(Alignment alignment);
    // The toolbar's attributes all at once, in one pass over the selection.
    SelectionFormat SelFormat() const;
    std::optional<bool> SelBullet() const;
    void setSelBullet(bool on);
    // The first line's distance from the left edge.
    std::optional<int> SelIndent() const;
    void setSelIndent(int twips);
    std::optional<int> SelRightIndent() const;
    void setSelRightIndent(int twips);
    // How far the following lines stand right of the first line.
    std::optional<int> SelHangingIndent() const;
    void setSelHangingIndent(int twips);
    // SelIndent, SelRightIndent and SelHangingIndent of the paragraph where the selection
    // starts, for when the selection's own read as mixed.
    struct Indents {
        int indent = 0;
        int right = 0;
        int hanging = 0;
    };
    Indents FirstParagraphIndents() const;
    // Unknown, as for paragraphs with different stops, across several table cells.
    std::optional<int> SelTabCount() const;
    int SelTabs(int index) const;
    void setSelTabStops(const QList<int>& twips);
    // Where the paragraph at the selection's start measures its indents and tab stops from, in
    // twips right of the margin: 0, or the left edge of its table cell's text.
    int SelColumnLeft() const;

    int RightMargin() const { return rightMargin_; }
    void setRightMargin(int twips);
    quint32 BackColor() const { return backColor_; }
    void setBackColor(quint32 color);

    int Width() const;
    void setWidth(int twips);
    int Height() const;
    void setHeight(int twips);

    bool canUndo() const;
    // Shows `loaded` in place of the current document, with a fresh undo history, as loading a
    // file does.
    void adoptDocument(std::unique_ptr<QTextDocument> loaded);
    // Prints the selection, or the whole document when nothing is selected.
    void SelPrint(QPrinter& printer);
    void SetFocus();

    // How the plain-text file shown was written, so a save can write it back alike.
    std::optional<PlainText::Encoding> textEncoding;

    // The changed marker and whatever else the program keeps on the pane.
    QString Tag;

signals:
    void Change();
    void SelChange();
    // Setting KeyCode to 0 discards the key. Shift: 1 Shift, 2 Ctrl, 4 Alt.
    void KeyDown(int& KeyCode, int Shift);
    // Button: 1 left, 2 right, 4 middle. X and Y in twips.
    void MouseDown(int Button, int Shift, int X, int Y);
    // A paste or a drop that could not be made (out of memory); the pane is as it was.
    void PasteFailed(const Error& error);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // What the pane's documents get for what they name but do not hold: nothing from the disk.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void watchDocument();
    PaneLayout& paneLayout() const;
    // Scrolls to the caret where Qt's widget cannot find it.
    void showCaret();
    // Lays the document out with the pane's own layout.
    static void useOwnLayout(QTextDocument& document);
    // Whether the selection takes in more than one table cell, or cells and text outside them.
    bool selectionSpansCells() const;

    PaneText* text_ = nullptr;
    PaneBlink* blink_ = nullptr;
    int rightMargin_ = 0;
    int widthTwips_ = -1;
    int heightTwips_ = -1;
    quint32 backColor_ = Colors::white;
    int lastSelStart_ = -1;
    int lastSelEnd_ = -1;
    PaneTyping typing_;
    // The column that moving up and down keeps, in a paragraph laid out in pieces.
    double goalX_ = -1;
    bool followingLayout_ = false;
};
