#include "app/MainFrame.h"

#include "app/ToolbarIcons.h"
#include "dialogs/ShowFind.h"
#include "document/DocumentWindow.h"
#include "document/OpenDocuments.h"
#include "format/EditCommands.h"
#include "format/Formatting.h"
#include "pane/RichTextBox.h"
#include "suite/PictureBackground.h"
#include "system/Desktop.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>

namespace {
constexpr int buttonTwips = 310;
constexpr int panelHeightTwips = 825;
// The margin at the toolbar's left edge, kept at its right edge too.
constexpr int edgeTwips = 60;

class ToolbarPanel : public QWidget {
public:
    ToolbarPanel(QWidget* parent, std::function<void()> resized)
        : QWidget(parent), resized_(std::move(resized)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        resized_();
    }

private:
    std::function<void()> resized_;
};

struct Placement {
    int left;
    int top;
    int width;
    int height;
};

QRect toPixels(const Placement& p) {
    return DesktopSeam::current().screen().toPixels(p.left, p.top, p.width, p.height);
}

constexpr Placement dateBoxPlace{4290, 465, 1335, 315};

// The width at which an editable box shows every one of `texts` whole in its text part.
int widthShowing(const QComboBox& box, const QStringList& texts) {
    const QFontMetrics metrics(box.lineEdit()->font());
    int widest = 0;
    for (const QString& text : texts)
        widest = qMax(widest, metrics.horizontalAdvance(text));
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = true;
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, &box);
    // The text part keeps two pixels each side free and one for the caret.
    const int textMargins = 2 * 2 + 1;
    return widest + textMargins + (box.width() - field.width());
}

// A check or option button whose state only the program sets. It acts when a mouse button, any
// of them, is released over it; a click from the keyboard or an assistive tool changes nothing.
class StateButton : public QToolButton {
public:
    StateButton(QWidget* parent, std::function<void()> released)
        : QToolButton(parent), released_(std::move(released)) {
        setCheckable(true);
    }

protected:
    void nextCheckState() override {}
    void mousePressEvent(QMouseEvent* event) override {
        QToolButton::mousePressEvent(event);
        // Qt's buttons take only the left button; the others must reach the release too.
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QToolButton::mouseReleaseEvent(event);
        event->accept();
        if (rect().contains(event->position().toPoint()))
            released_();
    }

private:
    std::function<void()> released_;
};

QToolButton* setUpButton(QToolButton* button, const QString& name, const QString& tooltip, int left,
                         int top) {
    button->setObjectName(name);
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);
    button->setIcon(ToolbarIcons::icon(tooltip));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(toPixels({left, top, buttonTwips, buttonTwips}));
    return button;
}

QToolButton* makeButton(QWidget* panel, const QString& name, const QString& tooltip, int left,
                        int top) {
    return setUpButton(new QToolButton(panel), name, tooltip, left, top);
}

QToolButton* makeStateButton(QWidget* panel, const QString& name, const QString& tooltip, int left,
                             int top, std::function<void()> released) {
    return setUpButton(new StateButton(panel, std::move(released)), name, tooltip, left, top);
}

QComboBox* makeBox(QWidget* panel, const char* name, const QString& label, Placement at,
                   bool editable) {
    auto* box = new QComboBox(panel);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(label);
    box->setToolTip(label);
    box->setEditable(editable);
    // The text part of an editable box is a control of its own to assistive tools.
    if (editable)
        box->lineEdit()->setAccessibleName(label);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    box->setGeometry(toPixels(at));
    return box;
}
} // namespace

void MainFrame::createToolbar() {
    picPicture1 = new ToolbarPanel(this, [this] { fitToolbarBackground(); });
    picPicture1->setObjectName(QStringLiteral("picPicture1"));
    picPicture1->setAutoFillBackground(true);
    QPalette grey = picPicture1->palette();
    grey.setColor(QPalette::Window, QColor(224, 224, 224));
    picPicture1->setPalette(grey);
    picPicture1->setFixedHeight(toPixels({0, 0, 0, panelHeightTwips}).height());
    ToolFXBack = new PictureBackground(QColor(240, 240, 240), QColor(208, 208, 208), picPicture1);
    ToolFXBack->setObjectName(QStringLiteral("ToolFXBack"));

    createToolbarButtons();
    createToolbarBoxes();
    ToolFXBack->lower();
}

void MainFrame::createToolbarButtons() {
    // A button that does what a menu entry does triggers that entry; the others run their
    // command. Save and Print are enabled exactly when the panel is, so triggering their entries
    // acts whenever the button can be clicked.
    struct CommandButton {
        int index;
        const char* tooltip;
        int left;
        int top;
        QAction* MainFrame::*entry;
        void (MainFrame::*command)();
        // After the command the keyboard goes back to the document; a menu entry leaves it where
        // the command put it.
        bool focusAfter;
    };
    // Cut, Copy and Paste run their commands rather than trigger the Edit menu's entries: those
    // are enabled by the selection when the menu opens, the buttons act whatever it is. Find
    // leaves the keyboard with the document, where the menu's Find gives it to the dialog.
    static constexpr CommandButton imgButtons[] = {
        {0, "New", 60, 60, &MainFrame::newAction, nullptr, true},
        {1, "Open", 390, 60, &MainFrame::openAction, nullptr, true},
        {2, "Save", 720, 60, &MainFrame::saveAction, nullptr, true},
        {3, "Print", 1170, 60, &MainFrame::printAction, nullptr, true},
        {4, "Find", 1590, 60, nullptr, &MainFrame::showFindFromToolbar, true},
        {5, "Cut", 2130, 60, nullptr, &MainFrame::cut, true},
        {6, "Copy", 2460, 60, nullptr, &MainFrame::copy, true},
        {7, "Paste", 2790, 60, nullptr, &MainFrame::paste, true},
        {9, "Bullets", 3450, 450, &MainFrame::bulletsAction, nullptr, true}};
    // Only Insert OLE file gives the keyboard back; the dialogs' buttons leave that to them.
    static constexpr CommandButton commandButtons[] = {
        {0, "Font", 1170, 450, &MainFrame::fontAction, nullptr, false},
        {1, "Font Color", 1590, 450, nullptr, &MainFrame::chooseTextColor, false},
        {2, "Background Color", 1920, 450, nullptr, &MainFrame::chooseBackgroundColor, false},
        {3, "Insert OLE file", 3870, 450, &MainFrame::insertObjectAction, nullptr, true}};
    const auto addCommandButton = [this](const char* group, const CommandButton& b) {
        QToolButton* button =
            makeButton(picPicture1, QStringLiteral("%1(%2)").arg(group).arg(b.index),
                       QString::fromLatin1(b.tooltip), b.left, b.top);
        connect(button, &QToolButton::clicked, this, [this, &b] {
            if (b.entry)
                (this->*b.entry)->trigger();
            else
                (this->*b.command)();
            if (b.focusAfter)
                focusActiveDocument();
        });
        return button;
    };
    for (const CommandButton& b : imgButtons)
        ImgButtons[b.index] = addCommandButton("ImgButtons", b);

    struct StateButton {
        int index;
        const char* tooltip;
        int left;
        int top;
    };
    static constexpr StateButton fontButtons[] = {
        {0, "Bold", 60, 450}, {1, "Italic", 390, 450}, {2, "Underline", 720, 450}};
    static constexpr void (MainFrame::*toggles[])() = {
        &MainFrame::toggleBold, &MainFrame::toggleItalic, &MainFrame::toggleUnderline};
    for (const StateButton& b : fontButtons)
        ImgFButtons[b.index] =
            makeStateButton(picPicture1, QStringLiteral("ImgFButtons(%1)").arg(b.index),
                            QString::fromLatin1(b.tooltip), b.left, b.top,
                            [this, toggle = toggles[b.index]] { (this->*toggle)(); });
    for (const CommandButton& b : commandButtons)
        SSCommand1[b.index] = addCommandButton("SSCommand1", b);
    static constexpr StateButton alignButtons[] = {
        {0, "Align Left", 2370, 450}, {1, "Center", 2700, 450}, {2, "Align Right", 3030, 450}};
    for (const StateButton& b : alignButtons) {
        ImgAButtons[b.index] = makeStateButton(
            picPicture1, QStringLiteral("ImgAButtons(%1)").arg(b.index),
            QString::fromLatin1(b.tooltip), b.left, b.top, [this, i = b.index] { alignText(i); });
    }
}

void MainFrame::createToolbarBoxes() {
    cboFontCombo =
        makeBox(picPicture1, "cboFontCombo", QStringLiteral("Font"), {3750, 75, 2715, 315}, false);
    connect(cboFontCombo, &QComboBox::activated, this, &MainFrame::applyChosenFont);
    cboSizeCombo =
        makeBox(picPicture1, "cboSizeCombo", QStringLiteral("Size"), {6630, 75, 735, 315}, true);
    connect(cboSizeCombo, &QComboBox::activated, this, &MainFrame::applyChosenSize);
    // Typed text is applied as it stands: completing it from the list would apply another size.
    cboSizeCombo->setCompleter(nullptr);
    connect(cboSizeCombo->lineEdit(), &QLineEdit::textEdited, this, &MainFrame::applyTypedSize);
    // On the second row, after the buttons: the top row has no room for the width its entries
    // need at the frame's narrowest.
    Combo2 = makeBox(picPicture1, "Combo2", QStringLiteral("Date stamp"), dateBoxPlace, true);
    Combo2->setEditText(QStringLiteral("Time and Day"));
    Combo2->lineEdit()->setCursorPosition(0);
    connect(Combo2, &QComboBox::activated, this, &MainFrame::insertDateStamp);
}

void MainFrame::fitToolbar() {
    QStringList texts{Combo2->currentText()};
    for (int i = 0; i < Combo2->count(); ++i)
        texts << Combo2->itemText(i);
    Combo2->resize(qMax(toPixels(dateBoxPlace).width(), widthShowing(*Combo2, texts)),
                   Combo2->height());
    int right = 0;
    for (const QWidget* control : picPicture1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != ToolFXBack)
            right = qMax(right, control->geometry().right() + 1);
    }
    setMinimumWidth(right + toPixels({0, 0, edgeTwips, 0}).width());
}

void MainFrame::fitToolbarBackground() {
    ToolFXBack->setGeometry(0, 0, picPicture1->width(), picPicture1->height());
}

void MainFrame::focusActiveDocument() {
    if (DocumentWindow* active = activeDocument())
        active->Text1->SetFocus();
}

void MainFrame::showFindFromToolbar() {
    if (DocumentWindow* document = activeDocument())
        Find::ShowFind(
            document, document->Text1->SelText(), [this] { return activePane(); },
            Find::FindFocus::Document);
}

void MainFrame::formatActiveDocument(const std::function<void(DocumentWindow*)>& routine) {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    routine(active);
    active->Text1->SetFocus();
}

void MainFrame::toggleBold() {
    formatActiveDocument([this](DocumentWindow* active) { Formatting::ToggleBold(*this, active); });
}

void MainFrame::toggleItalic() {
    formatActiveDocument(
        [this](DocumentWindow* active) { Formatting::ToggleItalic(*this, active); });
}

void MainFrame::toggleUnderline() {
    formatActiveDocument(
        [this](DocumentWindow* active) { Formatting::ToggleUnderline(*this, active); });
}

void MainFrame::alignText(int index) {
    formatActiveDocument([this, index](DocumentWindow* active) {
        Formatting::AlignText(*this, active, FormatBar::alignmentOfButton.at(size_t(index)));
    });
}
