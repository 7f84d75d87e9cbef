#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

#include <QFile>

namespace {
class Save : public ProgramFixture {
protected:
    DocumentWindow* typedDocument(const QString& text) {
        frame().NewChild();
        active()->Text1->setText(text);
        return active();
    }
    void openFile(const QString& name) {
        scripted.desktop.openAnswers.push_back(path(name));
        frame().openDocument();
    }
};
} // namespace

TEST_F(Save, RoundTripsEachFormatAndClearsTheMarker) {
    struct Case {
        const char* name;
        QString text;
    };
    const Case cases[] = {{"a.rtf", "rich\ntext"}, {"b.txt", "plain\ntext"}, {"c.htm", "web text"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentWindow* document = typedDocument(c.text);
        scripted.desktop.saveAnswers.push_back(path(c.name));
        frame().saveDocumentAs();
        EXPECT_FALSE(document->isChanged());
        EXPECT_EQ(document->Caption(), path(c.name));
        openFile(c.name);
        EXPECT_EQ(active()->Text1->Text(), c.text);
    }
    // A white page needs no colour file beside it.
    EXPECT_FALSE(QFile::exists(path("a.log")));
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
}

TEST_F(Save, SaveOnANewDocumentAsksForANameAndAddsRtf) {
    DocumentWindow* document = typedDocument("words");
    scripted.desktop.saveAnswers.push_back(path("letter"));
    frame().saveDocument();
    EXPECT_EQ(document->Caption(), path("letter.rtf"));
    EXPECT_TRUE(QFile::exists(path("letter.rtf")));
    // A second Save writes to the same file without asking.
    document->Text1->setText("more words");
    frame().saveDocument();
    EXPECT_EQ(scripted.desktop.saveRequests.size(), 1);
    EXPECT_FALSE(document->isChanged());
}

TEST_F(Save, ReplacingAnExistingFileAsksFirst) {
    writeFile("old.txt", "old");
    typedDocument("new");
    scripted.desktop.saveAnswers.push_back(path("old.txt"));
    scripted.desktop.messageAnswers.push_back(MsgBoxResult::No);
    frame().saveDocumentAs();
    EXPECT_EQ(
        scripted.desktop.messages,
        ScriptedDesktop::Messages({{path("old.txt") + " already exists. Do you want to replace it?",
                                    MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation, "Save as"}}));
    EXPECT_EQ(readFile("old.txt"), "old");
    EXPECT_TRUE(active()->isChanged());
    scripted.desktop.saveAnswers.push_back(path("old.txt"));
    scripted.desktop.messageAnswers.push_back(MsgBoxResult::Yes);
    frame().saveDocumentAs();
    EXPECT_EQ(readFile("old.txt"), "new");
}

TEST_F(Save, PlainTextAsksBeforeDroppingFormatting) {
    DocumentWindow* document = typedDocument("bold");
    document->Text1->setSelStart(0);
    document->Text1->setSelLength(2);
    document->Text1->setSelBold(true);
    scripted.desktop.saveAnswers.push_back(path("f.txt"));
    scripted.desktop.messageAnswers.push_back(MsgBoxResult::No);
    frame().saveDocumentAs();
    EXPECT_EQ(scripted.desktop.messages,
              ScriptedDesktop::Messages(
                  {{"Saving as plain text loses the document's formatting. Save anyway?",
                    MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation, "Save as"}}));
    EXPECT_FALSE(QFile::exists(path("f.txt")));
    EXPECT_TRUE(document->isChanged());
}

// A page is shown with its tags removed: Save over it says what it does first, and No offers
// another file instead (here declined too, so nothing is written).
TEST_F(Save, SaveOverAPageAsksAndNoOffersSaveAs) {
    const QByteArray page = "<html><body><table><tr><td>cell</td></tr></table></body></html>";
    writeFile("x.htm", page);
    openFile("x.htm");
    DocumentWindow* document = active();
    document->Text1->setText("edited");
    scripted.desktop.messageAnswers.push_back(MsgBoxResult::No);
    frame().saveDocument();
    EXPECT_EQ(
        scripted.desktop.messages,
        ScriptedDesktop::Messages({{"x.htm will be saved as plain text; its markup will be lost",
                                    MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation, "Save"}}));
    EXPECT_EQ(scripted.desktop.saveRequests.size(), 1);
    EXPECT_EQ(readFile("x.htm"), page);
    EXPECT_TRUE(document->isChanged());

    scripted.desktop.messageAnswers.push_back(MsgBoxResult::Yes);
    frame().saveDocument();
    EXPECT_FALSE(readFile("x.htm").contains("<table>"));
    EXPECT_TRUE(readFile("x.htm").contains("edited"));
    EXPECT_FALSE(document->isChanged());
}

TEST_F(Save, PlainTextKeepsItsEncodingAndLineEnds) {
    writeFile("latin.txt", "caf\xe9\r\nend");
    openFile("latin.txt");
    active()->Text1->setSelStart(0);
    active()->Text1->setSelText("A ");
    frame().saveDocument();
    EXPECT_EQ(readFile("latin.txt"), "A caf\xe9\r\nend");
}

// A folder that is a file cannot be written into, whoever runs the test. Which failures give
// which reason is the atomic file's test.
TEST_F(Save, AFailedSaveKeepsTheOldFileAndTheMarker) {
    writeFile("plain.txt", "old");
    openFile("plain.txt");
    active()->Text1->setText("new");
    scripted.desktop.saveAnswers.push_back(path("plain.txt/doc.rtf"));
    frame().saveDocumentAs();
    EXPECT_EQ(readFile("plain.txt"), "old");
    EXPECT_EQ(active()->Caption(), path("plain.txt"));
    EXPECT_TRUE(active()->isChanged());
    ASSERT_EQ(scripted.desktop.messages.size(), 1);
    EXPECT_EQ(scripted.desktop.messages[0].title, "Problem occurred !");
    EXPECT_TRUE(scripted.desktop.messages[0].prompt.startsWith("Error occurred. \rReason "));
}

TEST_F(Save, SaveActsOnTheActiveWindowOnly) {
    DocumentWindow* first = typedDocument("one");
    DocumentWindow* second = typedDocument("two");
    frame().activateDocument(first);
    scripted.desktop.saveAnswers.push_back(path("one.rtf"));
    frame().saveDocument();
    EXPECT_FALSE(first->isChanged());
    EXPECT_TRUE(second->isChanged());
}

TEST_F(Save, ASaveDialogThatFailsIsReportedAndWritesNothing) {
    DocumentWindow* document = typedDocument("words");
    scripted.desktop.saveDialogFailure = Error::withNumber(Error::OutOfMemory);
    frame().saveDocumentAs();
    EXPECT_EQ(scripted.desktop.messages,
              ScriptedDesktop::Messages({{"Error occurred. \rReason Out of memory",
                                          MsgBoxStyle::Exclamation, "Problem occurred !"}}));
    EXPECT_TRUE(document->isChanged());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}
