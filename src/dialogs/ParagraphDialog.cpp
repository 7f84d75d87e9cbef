#include "dialogs/ParagraphDialog.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/Inches.h"
#include "document/DocumentWindow.h"
#include "format/Formatting.h"
#include "pane/RichTextBox.h"
#include "system/Desktop.h"
#include "system/FixedBorder.h"
#include "system/LoadedOnFirstUse.h"
#include "system/ReportError.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextCursor>

namespace {
LoadedOnFirstUse<ParagraphDialog> loadedDialog;

// The justification options, top to bottom.
struct AlignmentOption {
    const char* caption;
    Alignment alignment;
};
constexpr AlignmentOption alignmentOptions[] = {
    {"Left", Alignment::Left}, {"Center", Alignment::Centre}, {"Right", Alignment::Right}};

QString inchText(int twips) {
    return Inches::text(twips) + QStringLiteral(" Inch");
}

// The length of the pane's Text without building it: one character per paragraph break and
// per embedded object, as the document counts its positions.
int textLength(const RichTextBox* pane) {
    return pane->document()->characterCount() - 1;
}

// A page of five lines of text set left, centred or right.
QPixmap alignmentPicture(Alignment alignment, QSize size) {
    QPixmap picture(size);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QColor(96, 96, 96));
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    const int margin = size.width() / 8;
    const int room = size.width() - 2 * margin;
    const int lines = 5;
    const int step = (size.height() - 2 * margin) / lines;
    static constexpr int share[] = {100, 70, 90, 55, 80};
    for (int i = 0; i < lines; ++i) {
        const int length = room * share[i] / 100;
        const int left = alignment == Alignment::Left     ? margin
                         : alignment == Alignment::Centre ? margin + (room - length) / 2
                                                          : margin + room - length;
        painter.fillRect(left, margin + i * step + step / 3, length, qMax(2, step / 3),
                         QColor(64, 64, 64));
    }
    return picture;
}

// Ends the confirmation's step to undo however the confirmation ends.
class UndoStep {
public:
    explicit UndoStep(QTextDocument* document) : cursor_(document) { cursor_.beginEditBlock(); }
    ~UndoStep() { cursor_.endEditBlock(); }
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    QTextCursor cursor_;
};
} // namespace

ParagraphDialog* ParagraphDialog::showModal(DocumentWindow* document, FormatBar& bar) {
    if (!document)
        return nullptr;
    ParagraphDialog* form = loadedDialog.loaded();
    if (!form) {
        form = &loadedDialog.get([&] { return new ParagraphDialog(document, bar); });
        try {
            form->readSelection();
        } catch (const Error& error) {
            // Only an indent of hundreds of inches fails to show; the dialog does not open.
            loadedDialog.unload();
            Common::ReportError(error);
            return nullptr;
        }
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

ParagraphDialog* ParagraphDialog::loaded() {
    return loadedDialog.loaded();
}

ParagraphDialog::ParagraphDialog(DocumentWindow* document, FormatBar& bar)
    : QDialog(document, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      document_(document), bar_(bar) {
    setObjectName(QStringLiteral("frmPageSetup"));
    setWindowTitle(QStringLiteral("Paragraph"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    createControls();
    // Unloaded from the moment it closes, although the widget goes at the next turn of the loop.
    connect(this, &QDialog::finished, this, [this] {
        if (loadedDialog.loaded() == this)
            loadedDialog.forget();
    });
}

ParagraphDialog::~ParagraphDialog() = default;

void ParagraphDialog::createControls() {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    setFixedSize(screen.xPixels(5310), screen.yPixels(2940));
    useFixedBorder(*this);
    FXBack = DialogWindow::addBackground(*this);

    const auto frame = [&](const char* name, const char* title, QRect geometry) {
        auto* control = new QGroupBox(QString::fromLatin1(title), this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(geometry);
        return control;
    };
    const auto field = [&](QWidget* parent, const char* labelName, const char* caption,
                           const char* name, int top, QLabel*& label) {
        label = new QLabel(QString::fromLatin1(caption), parent);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(screen.toPixels(150, top + 30, 855, 255));
        auto* control = new QLineEdit(parent);
        control->setObjectName(QString::fromLatin1(name));
        control->setAccessibleName(QString::fromLatin1(caption));
        control->setAccessibleDescription(QStringLiteral("In inches"));
        control->setGeometry(screen.toPixels(1050, top, 1395, 315));
        control->installEventFilter(this);
        label->setBuddy(control);
        return control;
    };
    const auto pictureButton = [&](const char* name, const char* what, QStyle::StandardPixmap icon,
                                   QRect geometry) {
        auto* control = new QPushButton(this);
        control->setObjectName(QString::fromLatin1(name));
        control->setIcon(style()->standardIcon(icon));
        control->setIconSize(QSize(24, 24));
        control->setToolTip(QString::fromLatin1(what));
        control->setAccessibleName(QString::fromLatin1(what));
        control->setGeometry(geometry);
        return control;
    };

    fraMargin = frame("fraMargin", "Margin", screen.toPixels(120, 60, 2595, 1935));
    txtLeft = field(fraMargin, "lblLeft", "Left", "txtLeft", 330, lblLeft);
    txtRight = field(fraMargin, "lblRight", "Right", "txtRight", 810, lblRight);
    TxtFirst = field(fraMargin, "lblFirst", "Indent", "TxtFirst", 1290, lblFirst);

    fraAlign = frame("fraAlign", "Justification", screen.toPixels(2835, 60, 2355, 1935));
    for (int i = 0; i < 3; ++i) {
        const QString caption = QString::fromLatin1(alignmentOptions[i].caption);
        auto* option = new QRadioButton(caption, fraAlign);
        option->setObjectName(QStringLiteral("opnAlign(%1)").arg(i));
        option->setAccessibleName(caption);
        option->setGeometry(screen.toPixels(150, 360 + i * 480, 1020, 255));
        opnAlign[size_t(i)] = option;
    }
    picAlign = new QLabel(fraAlign);
    picAlign->setObjectName(QStringLiteral("picAlign"));
    picAlign->setTextFormat(Qt::PlainText);
    picAlign->setAccessibleName(QStringLiteral("Justification preview"));
    picAlign->setGeometry(screen.toPixels(1260, 390, 960, 1200));
    // The three pictures lie below the dialog's visible area; only their pictures are used.
    for (int i = 0; i < 3; ++i) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("picAlignArr(%1)").arg(i));
        picture->setTextFormat(Qt::PlainText);
        picture->setGeometry(screen.toPixels(120 + i * 1080, 3060, 960, 1200));
        picture->setPixmap(alignmentPicture(alignmentOptions[i].alignment, picture->size()));
        picture->hide();
        picAlignArr[size_t(i)] = picture;
    }

    cmdOK = pictureButton("cmdOK", "OK", QStyle::SP_DialogOkButton,
                          screen.toPixels(2835, 2160, 1095, 555));
    cmdCancel = pictureButton("cmdCancel", "Cancel", QStyle::SP_DialogCancelButton,
                              screen.toPixels(4095, 2160, 1095, 555));
    cmdOK->setDefault(true);

    setTabOrder(txtLeft, txtRight);
    setTabOrder(txtRight, TxtFirst);
    setTabOrder(TxtFirst, opnAlign[0]);
    setTabOrder(opnAlign[0], opnAlign[1]);
    setTabOrder(opnAlign[1], opnAlign[2]);
    setTabOrder(opnAlign[2], cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    opnAlign[0]->setChecked(true);
    previewAlignment(0);
    for (int i = 0; i < 3; ++i) {
        connect(opnAlign[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                previewAlignment(i);
        });
    }
    connect(cmdOK, &QPushButton::clicked, this, &ParagraphDialog::confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &ParagraphDialog::cancel);
}

void ParagraphDialog::readSelection() {
    DialogWindow::placeOnScreen(*this, DesktopSeam::current().screen());
    setWindowIcon(document_->window()->windowIcon());

    const RichTextBox* pane = document_->Text1;
    if (const std::optional<Alignment> alignment = pane->SelAlignment()) {
        for (int i = 0; i < 3; ++i) {
            if (alignmentOptions[i].alignment == *alignment)
                opnAlign[size_t(i)]->setChecked(true);
        }
    }
    // Paragraphs whose indents differ show those of the first of them: OK writes the fields to
    // every paragraph, and so it does what it would with the caret in that paragraph.
    const RichTextBox::Indents first = pane->FirstParagraphIndents();
    txtLeft->setText(inchText(pane->SelIndent().value_or(first.indent)));
    txtRight->setText(inchText(pane->SelRightIndent().value_or(first.right)));
    TxtFirst->setText(inchText(pane->SelHangingIndent().value_or(first.hanging)));
    txtLeft->setFocus();
}

void ParagraphDialog::selectLeftText() {
    txtLeft->selectAll();
}

void ParagraphDialog::selectRightText() {
    txtRight->selectAll();
}

void ParagraphDialog::selectFirstText() {
    TxtFirst->selectAll();
}

void ParagraphDialog::previewAlignment(int option) {
    picAlign->setPixmap(picAlignArr[size_t(option)]->pixmap());
}

void ParagraphDialog::confirm() {
    DocumentWindow* document = document_;
    if (!document)
        return cancel();
    RichTextBox* pane = document->Text1;
    try {
        // Whatever this writes, up to an error, the user takes back with one undo.
        const UndoStep step(pane->document());
        const int start = pane->SelStart();
        const int length = pane->SelLength();
        pane->setSelStart(0);
        pane->setSelLength(textLength(pane));

        const int16_t left = Inches::fieldTwips(txtLeft->text());
        const int16_t first = Inches::fieldTwips(TxtFirst->text());
        pane->setSelIndent(Runtime::CInt(double(left) + double(first)));
        pane->setSelRightIndent(Inches::fieldTwips(txtRight->text()));
        pane->setSelHangingIndent(-Inches::fieldTwips(TxtFirst->text()));

        pane->setSelStart(start);
        pane->setSelLength(length);
        for (int i = 0; i < 3; ++i) {
            if (opnAlign[size_t(i)]->isChecked()) {
                Formatting::AlignText(bar_, document, alignmentOptions[i].alignment);
                break;
            }
        }
    } catch (const Error& error) {
        // The dialog stays open with the user's entries; the document keeps what was written.
        Common::ReportError(error);
        return;
    }
    accept();
}

void ParagraphDialog::cancel() {
    QDialog::reject();
}

void ParagraphDialog::reject() {
    cancel();
}

void ParagraphDialog::keyPressEvent(QKeyEvent* event) {
    // Esc is no way out of this dialog: only Cancel, or the close box, leaves it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(event);
}

bool ParagraphDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtLeft)
            selectLeftText();
        else if (watched == txtRight)
            selectRightText();
        else if (watched == TxtFirst)
            selectFirstText();
    }
    return QDialog::eventFilter(watched, event);
}
