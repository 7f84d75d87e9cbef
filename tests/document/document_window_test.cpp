#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
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
        int answer;
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
                                            MsgBoxStyle::YesNoCancel + MsgBoxStyle::Question,
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
