#include "dialogs/FindDialog.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/FindEngine.h"
#include "pane/RichTextBox.h"
#include "system/Desktop.h"
#include "system/FixedBorder.h"
#include "system/LoadedOnFirstUse.h"
#include "system/MsgBox.h"
#include "system/ReportError.h"
#include "text/Error.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <new>

namespace {
LoadedOnFirstUse<FindDialog> loadedDialog;

enum : int { rangeAll = 0, rangeDown = 2 };

// The length of the pane's Text without building it: one character per paragraph break and
// per embedded object, as the document counts its positions.
int textLength(const RichTextBox* pane) {
    return pane->document()->characterCount() - 1;
}

int searchRange(const QComboBox* box) {
    return box->currentIndex();
}
} // namespace

FindDialog* FindDialog::instance(QWidget* owner, ActivePane activePane) {
    return &loadedDialog.get([&] { return new FindDialog(owner, std::move(activePane)); },
                             [](FindDialog& form) { form.prepare(); });
}

FindDialog* FindDialog::loaded() {
    return loadedDialog.loaded();
}

FindDialog::FindDialog(QWidget* owner, ActivePane activePane)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      activePane_(std::move(activePane)) {
    setObjectName(QStringLiteral("frmFindForm"));
    setWindowTitle(QStringLiteral("Find"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    createControls();
}

FindDialog::~FindDialog() = default;

void FindDialog::createControls() {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    setFixedSize(screen.xPixels(6990), screen.yPixels(2490));
    useFixedBorder(*this);

    const auto label = [&](const char* name, const char* text, QRect geometry) {
        auto* control = new QLabel(QString::fromLatin1(text), this);
        control->setObjectName(QString::fromLatin1(name));
        control->setTextFormat(Qt::PlainText);
        control->setGeometry(geometry);
        control->setWordWrap(true);
        control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont font = control->font();
        font.setFamily(QStringLiteral("MS Sans Serif"));
        control->setFont(font);
        return control;
    };
    const auto frame = [&](const char* name, QRect geometry) {
        auto* control = new QGroupBox(this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(geometry);
        return control;
    };
    const auto textBox = [&](const char* name, const char* accessible, QWidget* parent,
                             QRect geometry) {
        auto* control = new QLineEdit(parent);
        control->setObjectName(QString::fromLatin1(name));
        control->setAccessibleName(QString::fromLatin1(accessible));
        control->setGeometry(geometry);
        control->installEventFilter(this);
        return control;
    };
    const auto button = [&](const char* name, const char* text, QRect geometry) {
        auto* control = new QPushButton(QString::fromLatin1(text), this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(geometry);
        control->setAutoDefault(false);
        return control;
    };

    lbl1 = label("lbl1", "What would you like to find ?", screen.toPixels(90, 90, 1185, 735));
    fra1 = frame("fra1", screen.toPixels(1260, 60, 3735, 795));
    txtFind = textBox("txtFind", "Find", fra1, screen.toPixels(90, 180, 3585, 555));
    lblReplace = label("lblReplace", "What would you like to replace to ?",
                       screen.toPixels(90, 1110, 1275, 795));
    fra2 = frame("fra2", screen.toPixels(1260, 1080, 3735, 795));
    txtReplace = textBox("txtReplace", "Replace", fra2, screen.toPixels(60, 150, 3615, 585));
    lbl3 = label("lbl3", "Range :", screen.toPixels(90, 2130, 690, 195));

    cboSearch = new QComboBox(this);
    cboSearch->setObjectName(QStringLiteral("cboSearch"));
    cboSearch->setAccessibleName(QStringLiteral("Range"));
    cboSearch->addItems({QStringLiteral("All"), QStringLiteral("Up"), QStringLiteral("Down")});
    cboSearch->move(screen.xPixels(1260), screen.yPixels(2100));
    cboSearch->setFixedWidth(screen.xPixels(1095));

    cmdFindNext = button("cmdFindNext", "Find", screen.toPixels(5160, 60, 1575, 375));
    cmdCancel = button("cmdCancel", "Cancel", screen.toPixels(5160, 480, 1575, 375));
    cmdReplace = button("cmdReplace", "Replace", screen.toPixels(5160, 1080, 1575, 375));
    cmdReplaceAll = button("cmdReplaceAll", "Replace All", screen.toPixels(5160, 1500, 1575, 375));

    setTabOrder(txtFind, txtReplace);
    setTabOrder(txtReplace, cboSearch);
    setTabOrder(cboSearch, cmdFindNext);
    setTabOrder(cmdFindNext, cmdCancel);
    setTabOrder(cmdCancel, cmdReplace);
    setTabOrder(cmdReplace, cmdReplaceAll);

    for (QPushButton* command : {cmdFindNext, cmdReplace, cmdReplaceAll})
        command->setEnabled(false);
    // Enter in either text box finds the next occurrence.
    cmdFindNext->setDefault(true);

    connect(cmdFindNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cmdCancel, &QPushButton::clicked, this, &FindDialog::cancel);
    connect(cmdReplace, &QPushButton::clicked, this, &FindDialog::replace);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &FindDialog::replaceAll);
    connect(txtFind, &QLineEdit::textChanged, this, &FindDialog::enableCommands);
}

void FindDialog::prepare() {
    DialogWindow::placeOnScreen(*this, DesktopSeam::current().screen());
    cboSearch->setCurrentIndex(rangeAll);
}

RichTextBox* FindDialog::activePane() const {
    return activePane_ ? activePane_() : nullptr;
}

bool FindDialog::FindString(const QString& strFind, const QString& strReplace, int& lngStart,
                            int lngEnd, bool repTF) {
    RichTextBox* pane = activePane();
    if (!pane)
        return false;
    const auto found = FindEngine::findInRange(pane->Text(), strFind, lngStart, lngEnd);
    if (!found)
        return false;
    pane->setSelStart(*found);
    pane->setSelLength(int(strFind.size()));
    if (repTF)
        pane->setSelText(strReplace);
    return true;
}

void FindDialog::findNext() {
    RichTextBox* pane = activePane();
    if (!pane)
        return;
    const auto bounds = FindEngine::findBounds(searchRange(cboSearch), pane->SelStart(),
                                               pane->SelLength(), textLength(pane));
    int start = bounds.start;
    if (!FindString(txtFind->text(), QString(), start, bounds.end, false)) {
        MsgBox(QStringLiteral("Cannot find it."), MsgBoxStyle::Information,
               QStringLiteral("Information"));
        return;
    }
    cmdFindNext->setText(QStringLiteral("Find next"));
    cboSearch->setCurrentIndex(rangeDown);
    pane->SetFocus();
}

void FindDialog::replace() {
    RichTextBox* pane = activePane();
    if (!pane)
        return;
    const auto bounds = FindEngine::replaceBounds(searchRange(cboSearch), pane->SelStart(),
                                                  pane->SelLength(), textLength(pane));
    int start = bounds.start;
    if (!FindString(txtFind->text(), txtReplace->text(), start, bounds.end, true)) {
        MsgBox(QStringLiteral("Cannot find the word to change."), MsgBoxStyle::Information,
               QStringLiteral("Information"));
        return;
    }
    cmdReplace->setText(QStringLiteral("Replace next"));
    cboSearch->setCurrentIndex(rangeDown);
    pane->SetFocus();
}

void FindDialog::replaceAll() {
    if (!activePane())
        return;
    const MsgBoxResult answer =
        MsgBox(QStringLiteral("Do you want to replace the word throughout \r\n"
                              "entire document? "),
               MsgBoxStyle::YesNo, QStringLiteral("Question "));
    // The question may have taken a while; the document that is active now is the one meant.
    RichTextBox* pane = activePane();
    if (!pane)
        return;
    if (answer == MsgBoxResult::Yes) {
        // Replacing one occurrence at a time, each search starting just after the previous
        // replacement, would rescan the text per occurrence; the engine does the same
        // replacements in one pass and one undo step.
        try {
            const auto caret = FindEngine::replaceAll(*pane->document(), pane->Text(),
                                                      txtFind->text(), txtReplace->text());
            if (caret)
                pane->setSelStart(*caret);
        } catch (const Error& error) {
            Common::ReportError(error);
        } catch (const std::bad_alloc&) {
            Common::ReportError(Error::withNumber(Error::OutOfMemory));
        }
    }
    pane->SetFocus();
}

void FindDialog::cancel() {
    close();
}

void FindDialog::reject() {
    cancel();
}

void FindDialog::closeEvent(QCloseEvent* event) {
    // Unloaded from now on, although the widget itself goes at the next turn of the loop.
    if (loadedDialog.loaded() == this)
        loadedDialog.forget();
    // Not the dialog's own close handling: that would call reject, which closes again.
    QWidget::closeEvent(event);
}

void FindDialog::keyPressEvent(QKeyEvent* event) {
    // Cancel answers Esc wherever the focus is in the dialog: the controls pass it up.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        return cancel();
    QDialog::keyPressEvent(event);
}

void FindDialog::enableCommands() {
    const bool any = !txtFind->text().isEmpty();
    for (QPushButton* command : {cmdFindNext, cmdReplace, cmdReplaceAll})
        command->setEnabled(any);
}

void FindDialog::selectFindText() {
    txtFind->selectAll();
}

void FindDialog::selectReplaceText() {
    txtReplace->selectAll();
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtFind)
            selectFindText();
        else if (watched == txtReplace)
            selectReplaceText();
    }
    return QDialog::eventFilter(watched, event);
}
