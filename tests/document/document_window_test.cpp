#include "support/ProgramFixture.h"

#include "document/Ruler.h"
#include "system/MsgBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
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

TEST_F(DocumentWindowTest, LayoutFollowsTheClientSize) {
    DocumentWindow* document = newDocument();
    struct Case {
        int widthPixels;
        int heightPixels;
        int paneWidth;
        int paneHeight;
        int wrap;
    };
    // 15 twips to the pixel.
    const Case cases[] = {
        {672, 400, 10080, 6000 - 340, 9780},  // widest that still wraps at width - 300
        {700, 400, 10500, 6000 - 340, 10080}, // wider: wraps at seven inches
        {300, 27, 4500, 405 - 340, 4200},     // 405 twips high is still laid out
    };
    for (const Case& c : cases) {
        document->resize(c.widthPixels, c.heightPixels);
        EXPECT_EQ(document->Text1->Width(), c.paneWidth);
        EXPECT_EQ(document->Text1->Height(), c.paneHeight);
        EXPECT_EQ(document->Text1->RightMargin(), c.wrap);
    }
    // Below 400 twips the last layout stays.
    document->resize(100, 26);
    EXPECT_EQ(document->Text1->Width(), 4500);
    EXPECT_EQ(document->Text1->RightMargin(), 4200);
    EXPECT_EQ(document->Text1->y(), 26);
    EXPECT_EQ(document->PicRuler->height(), 26);
}

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
        EXPECT_EQ(scripted.desktop.messages[0].prompt, "Save changes to noname ?");
        EXPECT_EQ(scripted.desktop.messages[0].title, "Question ");
        EXPECT_EQ(scripted.desktop.messages[0].style,
                  MsgBoxStyle::YesNoCancel + MsgBoxStyle::Question);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(alive.isNull(), c.closes);
        EXPECT_EQ(OpenDocuments::OpenDocCount, c.closes ? before - 1 : before);
        EXPECT_EQ(OpenDocuments::CloseCancelled, c.closes ? Flags::False : Flags::True);
        if (!c.closes) {
            EXPECT_EQ(document->Text1->Text(), "x");
            EXPECT_EQ(document->Text1->Tag, "save");
        }
    }
    EXPECT_EQ(readFile("kept.txt"), "x");
}

TEST_F(DocumentWindowTest, NoQuestionForAnEmptyOrUnchangedDocument) {
    DocumentWindow* emptied = newDocument();
    emptied->Text1->setText("gone");
    emptied->Text1->setText("");
    EXPECT_EQ(emptied->Text1->Tag, "save");
    emptied->parentWidget()->close();
    DocumentWindow* unchanged = newDocument();
    unchanged->Text1->setText("kept");
    unchanged->Text1->Tag.clear();
    unchanged->parentWidget()->close();
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_EQ(OpenDocuments::OpenDocCount, 0);
}

TEST_F(DocumentWindowTest, TypingMarksTheDocumentChangedAndCtrlZIsDiscardedButCtrlShiftZPasses) {
    DocumentWindow* document = newDocument();
    EXPECT_EQ(document->Text1->Tag, "");
    int seen = -1;
    QObject::connect(document->Text1, &RichTextBox::KeyDown,
                     [&](int& keyCode, int) { seen = keyCode; });
    QTest::keyClicks(document->Text1, "ab");
    EXPECT_EQ(document->Text1->Tag, "save");
    QTest::keyClick(document->Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->Text1->Text(), "ab");
    EXPECT_EQ(seen, 0);
    QTest::keyClick(document->Text1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(seen, 90);
    // Alt+Backspace is the pane's own undo.
    QTest::keyClick(document->Text1, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_NE(document->Text1->Text(), "ab");
}

TEST_F(DocumentWindowTest, RightClickPopsUpTheEditMenu) {
    DocumentWindow* document = newDocument();
    QTest::mouseClick(document->Text1->viewport(), Qt::LeftButton);
    EXPECT_FALSE(frame().editMenu->isVisible());
    QTest::mousePress(document->Text1->viewport(), Qt::RightButton);
    EXPECT_TRUE(frame().editMenu->isVisible());
    frame().editMenu->hide();
}

TEST_F(DocumentWindowTest, RulerShowsTheTabStopsOfTheParagraphWithTheCaret) {
    DocumentWindow* document = newDocument();
    RichTextBox* pane = document->Text1;
    pane->setText("one\ntwo\nthree");
    pane->setSelStart(0);
    pane->setSelTabStops({720, 4320});
    pane->setSelStart(4);
    pane->setSelTabStops({2880});
    const auto squaresAt = [&](int caret) {
        pane->setSelStart(caret);
        QList<double> lefts;
        for (const auto& square : document->PicRuler->drawing().squares)
            lefts.append(square.from.x());
        return lefts;
    };
    EXPECT_EQ(squaresAt(1), QList<double>({720, 4320}));
    // 15 twips per pixel: the 0 mark at x 2 rises from the base line (y 24) to y 13; the tab
    // square spans x 48 to 52 with its top at y 20, the half-inch mark through its middle.
    const QImage image = document->PicRuler->grab().toImage();
    const QColor background(224, 224, 224);
    EXPECT_EQ(image.pixelColor(2, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(2, 10), background);
    EXPECT_EQ(image.pixelColor(48, 22), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(50, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(49, 22), background);

    EXPECT_EQ(squaresAt(5), QList<double>({2880}));
    EXPECT_EQ(squaresAt(9), QList<double>());
    // Setting stops where the caret stands shows them at once.
    pane->setSelTabStops({1440});
    EXPECT_EQ(squaresAt(9), QList<double>({1440}));
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
