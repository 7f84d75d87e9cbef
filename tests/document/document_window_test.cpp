#include "support/ProgramFixture.h"

#include "rtf/RtfReader.h"
#include "system/MsgBox.h"
#include "system/StatusPanels.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>
#include <QUrl>
#include <optional>

namespace {
class DocumentWindowTest : public ProgramFixture {
protected:
    DocumentWindow* newDocument() {
        frame().show();
        frame().NewChild();
        return active();
    }
};
} // namespace

TEST_F(DocumentWindowTest, ClosePromptAnswers) {
    struct Case {
        const char* name;
        MsgBoxResult answer;
        std::optional<QString> saveAs;
        bool closes;
    };
    const Case cases[] = {
        {"Yes saves and closes", MsgBoxResult::Yes, path("kept.txt"), true},
        {"Yes, then a cancelled save dialog, keeps the window", MsgBoxResult::Yes, {}, false},
        {"Yes, then a failing save, keeps the window", MsgBoxResult::Yes,
         path("kept.txt/under-a-file.txt"), false},
        {"No closes", MsgBoxResult::No, {}, true},
        {"Cancel keeps the window", MsgBoxResult::Cancel, {}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDocuments::CloseCancelled = Flags::False;
        DocumentWindow* document = newDocument();
        QPointer<DocumentWindow> alive(document);
        document->Text1->setText("x");
        const int before = OpenDocuments::OpenDocCount;
        scripted.desktop.messages.clear();
        scripted.desktop.messageAnswers = {c.answer, MsgBoxResult::Ok};
        scripted.desktop.saveAnswers = {c.saveAs};
        document->parentWidget()->close();
        ASSERT_GE(scripted.desktop.messages.size(), 1);
        EXPECT_EQ(scripted.desktop.messages[0],
                  (ScriptedDesktop::Message{"Save changes to noname ?",
                                            MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question,
                                            "Question "}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(alive.isNull(), c.closes);
        EXPECT_EQ(OpenDocuments::OpenDocCount, c.closes ? before - 1 : before);
        EXPECT_EQ(OpenDocuments::CloseCancelled, c.closes ? Flags::False : Flags::True);
        if (!c.closes) {
            EXPECT_EQ(document->Text1->Text(), "x");
            EXPECT_TRUE(document->isChanged());
        }
    }
    EXPECT_EQ(readFile("kept.txt"), "x");
}

TEST_F(DocumentWindowTest, NoQuestionForAnEmptyOrUnchangedDocument) {
    DocumentWindow* emptied = newDocument();
    emptied->Text1->setText("gone");
    emptied->Text1->setText("");
    EXPECT_TRUE(emptied->isChanged());
    emptied->parentWidget()->close();
    DocumentWindow* unchanged = newDocument();
    unchanged->Text1->setText("kept");
    unchanged->markSaved();
    unchanged->parentWidget()->close();
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_EQ(OpenDocuments::OpenDocCount, 0);
}

TEST_F(DocumentWindowTest, TypingMarksTheDocumentChangedAndCtrlZIsDiscardedButCtrlShiftZPasses) {
    DocumentWindow* document = newDocument();
    EXPECT_FALSE(document->isChanged());
    int seen = -1;
    QObject::connect(document->Text1, &RichTextBox::KeyDown,
                     [&](int& keyCode, int) { seen = keyCode; });
    QTest::keyClicks(document->Text1, "ab");
    EXPECT_TRUE(document->isChanged());
    // The mark as the suite's other programs read it.
    EXPECT_EQ(document->Text1->Tag, "save");
    QTest::keyClick(document->Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->Text1->Text(), "ab");
    EXPECT_EQ(seen, 0);
    QTest::keyClick(document->Text1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(seen, 90);
    // Alt+Backspace is the pane's own undo: the typing goes, and nothing else.
    QTest::keyClick(document->Text1, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(document->Text1->Text(), "");
    QTest::keyClick(document->Text1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(document->Text1->Text(), "ab");
}

TEST_F(DocumentWindowTest, PasteThatRunsOutOfMemoryIsReported) {
    struct Exhausting : QMimeData {
        QStringList formats() const override { return {QStringLiteral("text/html")}; }
        bool hasFormat(const QString& type) const override { return formats().contains(type); }

    protected:
        QVariant retrieveData(const QString&, QMetaType) const override { throw std::bad_alloc(); }
    };
    DocumentWindow* document = newDocument();
    QGuiApplication::clipboard()->setMimeData(new Exhausting);
    QTest::keyClick(document->Text1, Qt::Key_Insert, Qt::ShiftModifier);
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(scripted.desktop.messages,
              ScriptedDesktop::Messages({{"Error occurred. \rReason Out of memory",
                                          MsgBoxStyle::Exclamation, "Problem occurred !"}}));
}

// Ctrl+click follows a link to the browser; a plain click edits its text, and a link to a place
// in the document has nowhere to go.
TEST_F(DocumentWindowTest, CtrlClickFollowsALinkAPlainClickEditsIt) {
    DocumentWindow* document = newDocument();
    RichTextBox* pane = document->Text1;
    rtf::read(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard See "
        "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/minutes\"}{\\fldrslt the "
        "minutes}} or {\\field{\\*\\fldinst HYPERLINK \\\\l \"end\"}{\\fldrslt the end}}.\\par}",
        *pane->document());
    const QString text = pane->document()->toPlainText();
    const auto clickOn = [&](const QString& word, Qt::KeyboardModifiers modifiers) {
        QTextCursor at(pane->document());
        at.setPosition(int(text.indexOf(word)) + 1);
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, modifiers,
                          pane->cursorRect(at).center() + QPoint(1, 0));
    };
    clickOn("minutes", Qt::NoModifier);
    EXPECT_TRUE(scripted.desktop.openedUrls.isEmpty());
    EXPECT_EQ(pane->SelStart(), text.indexOf("minutes") + 1);
    clickOn("minutes", Qt::ControlModifier);
    ASSERT_EQ(scripted.desktop.openedUrls.size(), 1);
    EXPECT_EQ(scripted.desktop.openedUrls[0], QUrl("https://example.org/minutes"));
    clickOn("end", Qt::ControlModifier);
    EXPECT_EQ(scripted.desktop.openedUrls.size(), 1);
}

// The status bar shows the date, the time and the keyboard's locks; Insert in a document
// switches the INS panel, greyed while typing overwrites.
TEST_F(DocumentWindowTest, StatusPanelsShowDateTimeAndLocks) {
    DocumentWindow* document = newDocument();
    StatusPanels* panels = frame().StatusBar1;
    panels->refresh();
    const QStringList names{"CAPS", "NUM", "INS", "SCRL"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(panels->panelText(2 + i), names[i]);
    // Read on both sides of the refresh, which midnight may pass between.
    const QLocale locale;
    const QString dayBefore = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    panels->refresh();
    const QString dayAfter = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_TRUE(panels->panelText(0) == dayBefore || panels->panelText(0) == dayAfter)
        << panels->panelText(0).toStdString();
    EXPECT_FALSE(panels->panelText(1).isEmpty());
    const bool inserting = panels->panelEnabled(4);
    QTest::keyClick(document->Text1, Qt::Key_Insert);
    panels->refresh();
    EXPECT_EQ(panels->panelEnabled(4), !inserting);
    QTest::keyClick(document->Text1, Qt::Key_Insert);
    panels->refresh();
    EXPECT_EQ(panels->panelEnabled(4), inserting);
}
