#include "document/DocumentWindow.h"

#include "document/OpenDocuments.h"
#include "document/Ruler.h"
#include "document/RulerDrawing.h"
#include "pane/RichTextBox.h"
#include "system/Desktop.h"
#include "system/MsgBox.h"
#include "system/ReportError.h"
#include "text/Error.h"

#include <QCloseEvent>
#include <QCursor>

namespace {
constexpr int rulerHeightTwips = 390;
constexpr int paneTopTwips = 390;
constexpr int designWidthTwips = 4275;
constexpr int designHeightTwips = 5490;
constexpr int widestWrapTwips = 10080;
// The pane's key and mouse events speak in these codes.
constexpr int keyZ = 90;
constexpr int shiftCtrl = 2;
constexpr int rightButton = 2;

ScreenMetrics metrics() {
    return DesktopSeam::current().screen();
}
} // namespace

DocumentWindow::DocumentWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Wordbox"));
    setWindowTitle(QStringLiteral("noname"));
    setAttribute(Qt::WA_DeleteOnClose);

    PicRuler = new Ruler(this);
    PicRuler->setGeometry(0, 0, width(), metrics().yPixels(rulerHeightTwips));
    Text1 = new RichTextBox(this);
    Text1->move(0, metrics().yPixels(paneTopTwips));
    Text1->setWidth(4245);
    Text1->setHeight(5085);
    resize(sizeHint());
    // The colour commands count on a cancelled dialog being reported, and they may be the first
    // to use this dialog.
    Com1.CancelError = true;

    connect(PicRuler, &Ruler::GotFocus, this, &DocumentWindow::passFocusToPane);
    connect(Text1, &RichTextBox::Change, this, &DocumentWindow::markChanged);
    connect(Text1, &RichTextBox::KeyDown, this, &DocumentWindow::filterKey);
    connect(Text1, &RichTextBox::MouseDown, this, &DocumentWindow::requestEditMenu);
    connect(Text1, &RichTextBox::SelChange, this, &DocumentWindow::followSelection);
    // A paste that failed left the document as it was; the user is told why.
    connect(Text1, &RichTextBox::PasteFailed, this, &Common::ReportError);

    countAsOpen();
    updateRuler();
}

namespace {
const QString changedMark = QStringLiteral("save");
} // namespace

bool DocumentWindow::isChanged() const {
    return Text1->Tag == changedMark;
}

DocumentWindow::~DocumentWindow() {
    // A window torn down without closing (the program ending) still leaves the count right.
    if (counted_)
        OpenDocuments::forgetDocument();
}

QSize DocumentWindow::sizeHint() const {
    return {metrics().xPixels(designWidthTwips), metrics().yPixels(designHeightTwips)};
}

int DocumentWindow::ScaleWidth() const {
    return width() * metrics().twipsPerPixelX;
}
int DocumentWindow::ScaleHeight() const {
    return height() * metrics().twipsPerPixelY;
}

void DocumentWindow::countAsOpen() {
    OpenDocuments::countDocumentIn();
    counted_ = true;
}

void DocumentWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PicRuler->setGeometry(0, 0, width(), metrics().yPixels(rulerHeightTwips));
    updateRuler();
    fitPaneToWindow();
}

void DocumentWindow::fitPaneToWindow() {
    if (ScaleHeight() < 400)
        return;
    layOutPane(Wrap::WithinRuler);
}

void DocumentWindow::layOutPane(Wrap wrap) {
    const int scaleWidth = ScaleWidth();
    Text1->setWidth(scaleWidth);
    // The pane reaches 50 twips past the bottom edge, as it always has.
    Text1->setHeight(ScaleHeight() - 340);
    const bool wide = wrap == Wrap::WithinRuler && scaleWidth > widestWrapTwips;
    Text1->setRightMargin(wide ? widestWrapTwips : scaleWidth - 300);
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (confirmClose())
        event->accept();
    else
        event->ignore();
}

bool DocumentWindow::confirmClose() {
    if (isChanged() && !Text1->Text().isEmpty()) {
        const MsgBoxResult answer =
            MsgBox(QStringLiteral("Save changes to ") + Caption() + QStringLiteral(" ?"),
                   MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question, QStringLiteral("Question "));
        if (answer == MsgBoxResult::Yes)
            emit saveRequested();
        // A save that was cancelled or failed leaves the marker set: closing now would throw
        // away what the user just asked to keep.
        const bool unsaved = answer == MsgBoxResult::Yes && isChanged();
        if (answer == MsgBoxResult::Cancel || unsaved) {
            OpenDocuments::cancelClosing();
            return false;
        }
    }
    OpenDocuments::countDocumentOut();
    counted_ = false;
    return true;
}

void DocumentWindow::passFocusToPane() {
    Text1->SetFocus();
}

void DocumentWindow::updateRuler() {
    // Each ruler shows its own window's scale and tab stops, so tiled windows all stay right.
    try {
        DrawRuler(this, 0, 7.0f);
    } catch (const Error&) {
        // An overflow in the layout arithmetic keeps the last drawing.
    }
}

void DocumentWindow::DrawRuler(DocumentWindow* mdiFrm, double /*intFrom*/, float intTo) {
    Ruler* ruler = mdiFrm->PicRuler;
    RichTextBox* pane = mdiFrm->Text1;
    // In a table cell the squares stand over the cell's stops, which count from its edge.
    const int column = pane->SelColumnLeft();
    const RulerDrawing::TabStops tabs{pane->SelTabCount(), [pane, column](int index) {
                                          return double(column + pane->SelTabs(index));
                                      }};
    ruler->setDrawing(RulerDrawing::compute(ruler->heightTwips(), intTo, tabs));
}

void DocumentWindow::markChanged() {
    Text1->Tag = changedMark;
    emit changed();
    // A change of paragraph format (tab stops set or pasted) moves the squares too.
    updateRuler();
}

void DocumentWindow::markSaved() {
    Text1->Tag.clear();
    emit saved();
}

void DocumentWindow::filterKey(int& KeyCode, int Shift) {
    if (KeyCode == keyZ && Shift == shiftCtrl)
        KeyCode = 0;
}

void DocumentWindow::requestEditMenu(int Button, int /*Shift*/, int /*X*/, int /*Y*/) {
    if (Button == rightButton)
        emit editMenuRequested(QCursor::pos());
}

void DocumentWindow::followSelection() {
    updateRuler();
    emit selectionChanged();
}
