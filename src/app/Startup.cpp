#include "app/Startup.h"

#include "app/CommandLine.h"
#include "app/KeptWorkOffer.h"
#include "app/MainFrame.h"
#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "files/UnsavedWork.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "suite/InformationWindow.h"
#include "system/Desktop.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>

#include <new>

namespace Startup {

void ReplaceText(QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty())
        return;
    // One pass that resumes after each match, so a replacement that holds find is never
    // searched again and adjacent matches are all replaced. Built anew rather than with
    // QString::replace, whose cost grows faster than the text when nearly all of it matches.
    QString out;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(find, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(find, from, Qt::CaseInsensitive)) {
        if (out.isNull())
            out.reserve(text.size());
        out += QStringView(text).mid(from, at - from);
        out += replacement;
        from = at + find.size();
    }
    if (from == 0)
        return;
    out += QStringView(text).mid(from);
    text = std::move(out);
}

namespace {
// Unsaved work is never older than this when the program ends however it ends.
constexpr std::chrono::seconds keepingInterval{30};

void focusActiveDocument() {
    if (!MainFrame::isLoaded())
        return;
    if (DocumentWindow* active = MainFrame::instance().activeDocument())
        active->Text1->SetFocus();
}

void fillBoxes(MainFrame& frame) {
    frame.Combo2->addItems(
        Runtime::dateStampEntries(QDateTime::currentDateTime(), QLocale::system()));
    frame.Combo2->setEditText(QStringLiteral("Time and Day"));
    frame.Combo2->lineEdit()->setCursorPosition(0);
    frame.fitToolbar();
    // The open list is as wide as its longest entry too.
    QAbstractItemView* list = frame.Combo2->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                          list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));

    QStringList fonts = DesktopSeam::current().screenFonts();
    // The box keeps its entries in alphabetical order.
    std::stable_sort(fonts.begin(), fonts.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    frame.cboFontCombo->addItems(fonts);
    for (int i = 0; i < frame.cboFontCombo->count(); ++i) {
        if (frame.cboFontCombo->itemText(i) == QLatin1String("Arial")) {
            frame.cboFontCombo->setCurrentIndex(i);
            frame.applyChosenFont();
        }
    }
    if (frame.cboFontCombo->findText(QStringLiteral("Arial"),
                                     Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        frame.cboFontCombo->setCurrentIndex(-1);

    for (int size = 6; size <= 75; ++size)
        frame.cboSizeCombo->addItem(Runtime::Str(double(size)));
    frame.cboSizeCombo->setCurrentIndex(6);
    frame.applyChosenSize();
}

void openCommandLineDocument(MainFrame& frame) {
    CommandFile = DesktopSeam::current().commandLine();
    ReplaceText(CommandFile, QString(QChar(34)), QString());
    CommandFile = CommandLine::documentPath(CommandFile);
    auto* document = new DocumentWindow;
    // A window that could not be filled is closed again rather than left hidden: the failure
    // handler then leaves the user with the windows they can see.
    struct CloseUnlessShown {
        DocumentWindow* window;
        bool shown = false;
        ~CloseUnlessShown() {
            if (!shown) {
                window->markSaved();
                window->close();
            }
        }
    } guard{document};
    document->Com1.FileName = CommandFile;
    if (!document->Com1.FileName.isEmpty()) {
        document->Text1->setText(QString());
        document->Text1->setSelFontSize(12);
        if (DocumentFile::kindOf(document->Com1.FileName) == DocumentFile::Kind::RichText)
            document->Text1->setBackColor(
                frame.rtfcolor(document->Com1.FileName, MainFrame::ColorFileAccess::Load));
        DocumentFile::load(*document->Text1, document->Com1.FileName);
    }
    document->setCaption(document->Com1.FileName);
    frame.showDocument(document);
    guard.shown = true;
    frame.activeDocument()->markSaved();
    focusActiveDocument();
}

// Start-up ends quietly when it fails, running out of memory included: whatever was opened
// stays open, and the frame is on screen.
void endStartUp() {
    if (MainFrame::isLoaded())
        MainFrame::instance().show();
    focusActiveDocument();
    InformationWindow::unload();
}
} // namespace

void Main() {
    try {
        const QString line = DesktopSeam::current().commandLine();
        if (!line.isEmpty()) {
            InformationWindow::instance().addLine(line);
            // Lets the busy pointer show before the frame is built.
            QCoreApplication::processEvents();
        }
        MainFrame& frame = MainFrame::instance();
        // Before the first window, so that it is watched too.
        auto* work = new UnsavedWork(UnsavedWork::rootFolder(), keepingInterval, &frame);
        work->start();
        frame.NewChild();
        frame.activeDocument()->markChanged();
        frame.show();
        frame.activeDocument()->parentWidget()->showMaximized();
        fillBoxes(frame);
        focusActiveDocument();
        if (!line.isEmpty())
            openCommandLineDocument(frame);
        InformationWindow::unload();
        offerKeptWork(frame, *work);
        // A recovered window is the active one; the keyboard goes with it.
        focusActiveDocument();
    } catch (const Error&) {
        endStartUp();
    } catch (const std::bad_alloc&) {
        endStartUp();
    }
}

} // namespace Startup
