#include "dialogs/TabStopsDialog.h"

#include "dialogs/DialogWindow.h"
#include "dialogs/Inches.h"
#include "document/DocumentWindow.h"
#include "pane/RichTextBox.h"
#include "system/Desktop.h"
#include "system/FixedBorder.h"
#include "system/LoadedOnFirstUse.h"
#include "system/MsgBox.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <cmath>

namespace {
LoadedOnFirstUse<TabStopsDialog> loadedDialog;

constexpr double twipsPerInch = 1440;

// The leading number of a text, or nullopt for one too large for any number, which then
// equals no entry.
std::optional<double> valueOf(const QString& text) {
    try {
        return Runtime::Val(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// What Add accepts: digits with at most one decimal point, and no more than the 22.75 inches
// whose twips still fit the 16-bit lengths the ruler draws with. Anything else ("1.5 Inch",
// "-1", " 2") would be read some other way than it was meant, or sort apart from its value.
bool isTabPosition(const QString& text) {
    static const QRegularExpression plainDecimal(QStringLiteral("^(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!plainDecimal.match(text).hasMatch())
        return false;
    try {
        Inches::fieldTwips(text);
        return true;
    } catch (const Error&) {
        return false;
    }
}
} // namespace

TabStopsDialog* TabStopsDialog::showModal(ActiveDocument activeDocument) {
    TabStopsDialog* form = loadedDialog.loaded();
    if (!form) {
        DocumentWindow* owner = activeDocument ? activeDocument() : nullptr;
        if (!owner)
            return nullptr;
        form =
            &loadedDialog.get([&] { return new TabStopsDialog(owner, std::move(activeDocument)); },
                              [](TabStopsDialog& loading) { loading.prepare(); });
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

TabStopsDialog* TabStopsDialog::loaded() {
    return loadedDialog.loaded();
}

TabStopsDialog::TabStopsDialog(DocumentWindow* owner, ActiveDocument activeDocument)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      activeDocument_(std::move(activeDocument)) {
    setObjectName(QStringLiteral("frmTabForm"));
    setWindowTitle(QStringLiteral("Tab"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    createControls();
    connect(this, &QDialog::finished, this, [this] {
        // Unloaded from the moment it closes, although the widget goes at the next turn of the
        // loop.
        if (loadedDialog.loaded() == this)
            loadedDialog.forget();
        redrawRuler();
    });
}

TabStopsDialog::~TabStopsDialog() = default;

void TabStopsDialog::createControls() {
    const ScreenMetrics screen = DesktopSeam::current().screen();
    setFixedSize(screen.xPixels(4170), screen.yPixels(3000));
    useFixedBorder(*this);
    FXBack = DialogWindow::addBackground(*this);

    lblLabel1 = new QLabel(QStringLiteral("Position tab stops"), this);
    lblLabel1->setObjectName(QStringLiteral("lblLabel1"));
    lblLabel1->setTextFormat(Qt::PlainText);
    lblLabel1->setGeometry(screen.toPixels(120, 120, 2535, 255));

    txtTabStop = new QLineEdit(this);
    txtTabStop->setObjectName(QStringLiteral("txtTabStop"));
    txtTabStop->setAccessibleName(QStringLiteral("Position tab stops"));
    txtTabStop->setAccessibleDescription(QStringLiteral("In inches"));
    txtTabStop->setGeometry(screen.toPixels(120, 405, 2535, 315));
    lblLabel1->setBuddy(txtTabStop);

    lstTabs = new QListWidget(this);
    lstTabs->setObjectName(QStringLiteral("lstTabs"));
    lstTabs->setAccessibleName(QStringLiteral("Tab stops"));
    lstTabs->setSelectionMode(QAbstractItemView::SingleSelection);
    lstTabs->setGeometry(screen.toPixels(120, 810, 2535, 2055));

    const auto button = [&](const char* name, const char* caption, int top) {
        auto* control = new QPushButton(QString::fromLatin1(caption), this);
        control->setObjectName(QString::fromLatin1(name));
        control->setAccessibleName(QString::fromLatin1(caption));
        control->setGeometry(screen.toPixels(2835, top, 1215, 375));
        return control;
    };
    cmdOK = button("cmdOK", "Yes", 120);
    cmdCxl = button("cmdCxl", "No", 555);
    cmdSet = button("cmdSet", "Add", 1155);
    cmdClear = button("cmdClear", "Delete", 1590);
    cmdClearAll = button("cmdClearAll", "Delete All", 2025);
    cmdOK->setDefault(true);
    cmdSet->setEnabled(false);
    cmdClear->setEnabled(false);

    setTabOrder(txtTabStop, lstTabs);
    setTabOrder(lstTabs, cmdOK);
    setTabOrder(cmdOK, cmdCxl);
    setTabOrder(cmdCxl, cmdSet);
    setTabOrder(cmdSet, cmdClear);
    setTabOrder(cmdClear, cmdClearAll);

    connect(txtTabStop, &QLineEdit::textChanged, this, &TabStopsDialog::matchTypedPosition);
    connect(lstTabs, &QListWidget::currentRowChanged, this, &TabStopsDialog::takeChosenEntry);
    // A click on the entry already chosen brings its text back into the field as well.
    connect(lstTabs, &QListWidget::itemClicked, this, &TabStopsDialog::takeChosenEntry);
    connect(cmdOK, &QPushButton::clicked, this, &TabStopsDialog::confirm);
    connect(cmdCxl, &QPushButton::clicked, this, &TabStopsDialog::cancel);
    connect(cmdSet, &QPushButton::clicked, this, &TabStopsDialog::setTabStop);
    connect(cmdClear, &QPushButton::clicked, this, &TabStopsDialog::deleteTabStop);
    connect(cmdClearAll, &QPushButton::clicked, this, &TabStopsDialog::deleteAllTabStops);
}

void TabStopsDialog::prepare() {
    DialogWindow::placeOnScreen(*this, DesktopSeam::current().screen());
    setWindowIcon(parentWidget()->window()->windowIcon());
    firstPaint_ = true;
    txtTabStop->setFocus();
}

DocumentWindow* TabStopsDialog::activeDocument() const {
    return activeDocument_ ? activeDocument_() : nullptr;
}

void TabStopsDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    fillListOnce();
}

void TabStopsDialog::fillListOnce() {
    if (!firstPaint_)
        return;
    firstPaint_ = false;
    DocumentWindow* document = activeDocument();
    if (!document)
        return;
    const RichTextBox* pane = document->Text1;
    // Paragraphs with different stops have no one list: the list starts empty, as the ruler
    // shows no stops for them.
    const int count = pane->SelTabCount().value_or(0);
    try {
        for (int i = 0; i < count; ++i)
            insertSorted(Inches::text(pane->SelTabs(i)));
    } catch (const Error&) {
        // A stop hundreds of inches out, which neither the file reader nor this dialog sets,
        // ends the list there rather than the paint.
    }
}

int TabStopsDialog::selectedRow() const {
    const QListWidgetItem* current = lstTabs->currentItem();
    return current && current->isSelected() ? lstTabs->currentRow() : -1;
}

void TabStopsDialog::insertSorted(const QString& entry) {
    int row = 0;
    while (row < lstTabs->count() &&
           QString::compare(lstTabs->item(row)->text(), entry, Qt::CaseInsensitive) <= 0)
        ++row;
    // Entries moving down under the chosen one do not choose it again.
    const QSignalBlocker quiet(lstTabs);
    lstTabs->insertItem(row, entry);
}

void TabStopsDialog::matchTypedPosition() {
    if (txtTabStop->text().isEmpty()) {
        cmdSet->setEnabled(false);
        cmdClear->setEnabled(false);
        return;
    }
    // Choosing an entry puts its text in the field, which would run this again; with two
    // entries of one value ("1" and "1.0") the two runs would choose each other forever. The
    // loop below goes on over the same value anyway.
    if (choosingEntries_)
        return;
    const QScopedValueRollback choosing(choosingEntries_, true);
    cmdSet->setEnabled(true);
    for (int i = 0; i < lstTabs->count(); ++i) {
        const std::optional<double> typed = valueOf(txtTabStop->text());
        if (!typed || valueOf(lstTabs->item(i)->text()) != typed)
            continue;
        cmdClear->setEnabled(true);
        cmdSet->setEnabled(false);
        lstTabs->setCurrentRow(i);
        txtTabStop->end(false);
    }
}

void TabStopsDialog::takeChosenEntry() {
    const int row = selectedRow();
    if (row < 0)
        return;
    txtTabStop->setText(lstTabs->item(row)->text().trimmed());
}

void TabStopsDialog::setTabStop() {
    const QString typed = txtTabStop->text();
    if (!isTabPosition(typed)) {
        MsgBox(QStringLiteral("Type the position in inches as a plain number from 0 to 22.75, "
                              "such as 1.5 or .25."),
               MsgBoxStyle::Exclamation, QStringLiteral("Tab"));
        txtTabStop->setFocus();
        txtTabStop->selectAll();
        return;
    }
    insertSorted(typed);
    cmdClear->setEnabled(true);
    cmdSet->setEnabled(false);
}

void TabStopsDialog::deleteTabStop() {
    // After Add nothing may be chosen: there is then nothing to delete.
    const int row = selectedRow();
    if (row < 0)
        return;
    {
        // Qt would choose the next entry in its place; nothing stays chosen.
        const QSignalBlocker quiet(lstTabs);
        delete lstTabs->takeItem(row);
        lstTabs->setCurrentRow(-1);
        lstTabs->clearSelection();
    }
    cmdClear->setEnabled(false);
    cmdSet->setEnabled(true);
    cmdSet->setFocus();
}

void TabStopsDialog::deleteAllTabStops() {
    {
        const QSignalBlocker quiet(lstTabs);
        lstTabs->clear();
    }
    txtTabStop->setText(QString());
    txtTabStop->setFocus();
}

void TabStopsDialog::confirm() {
    SetTabs();
    accept();
}

void TabStopsDialog::cancel() {
    reject();
}

void TabStopsDialog::SetTabs() {
    DocumentWindow* document = activeDocument();
    if (!document)
        return;
    QList<int> positions;
    positions.reserve(lstTabs->count());
    for (int i = 0; i < lstTabs->count(); ++i) {
        const double inches = Runtime::Val(lstTabs->item(i)->text());
        positions.append(int(std::lround(inches * twipsPerInch)));
    }
    document->Text1->setSelTabStops(positions);
}

void TabStopsDialog::redrawRuler() const {
    DocumentWindow* document = activeDocument();
    if (!document)
        return;
    try {
        document->DrawRuler(document, 0, 7.0f);
    } catch (const Error&) {
        // A stop too far out for the ruler's 16-bit arithmetic: the ruler keeps its last
        // drawing, as it does when it repaints itself.
    }
}
