#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

#include <QComboBox>
#include <QMdiArea>
#include <QTest>
#include <QTextBlock>

namespace {
class Open : public ProgramFixture {
protected:
    Open() {
        frame().NewChild();
        frame().cboSizeCombo->addItems({" 10", " 12", " 20"});
        frame().cboSizeCombo->setCurrentIndex(2);
    }
    // Runs File, Open choosing `name` (nullopt: the dialog is cancelled).
    void open(const std::optional<QString>& name) {
        scripted.desktop.openAnswers.push_back(name);
        frame().openDocument();
    }
};
} // namespace

TEST_F(Open, ReadsEachKindByItsName) {
    struct Case {
        const char* file;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"note.txt", "a <b> c", "a <b> c"},
        {"PAGE.HTML", "<i>A</i><br><i>B</i>", "AB"},
        {"doc.RTF", "{\\rtf1\\ansi rich}", "rich"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeFile(c.file, c.bytes);
        const int before = OpenDocuments::OpenDocCount;
        open(path(c.file));
        EXPECT_EQ(OpenDocuments::OpenDocCount, before + 1);
        EXPECT_EQ(active()->Caption(), path(c.file));
        EXPECT_EQ(active()->Text1->Text(), c.text);
        EXPECT_FALSE(active()->isChanged());
        EXPECT_FALSE(active()->Text1->canUndo());
    }
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
}

TEST_F(Open, PlainTextTakesTheSizeBoxSize) {
    writeFile("note.txt", "sized");
    open(path("note.txt"));
    active()->Text1->setSelStart(0);
    active()->Text1->setSelLength(5);
    EXPECT_EQ(active()->Text1->SelFontSize(), 20.0);
}

TEST_F(Open, ACancelledDialogLeavesNoWindowAndSaysNothing) {
    const auto windows = frame().documents().size();
    open(std::nullopt);
    EXPECT_EQ(OpenDocuments::OpenDocCount, 1);
    EXPECT_EQ(frame().documents().size(), windows);
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
}

TEST_F(Open, RichTextTakesItsBackgroundColourFile) {
    // A system colour is stored as a negative number.
    const std::pair<QString, quint32> cases[] = {{"red", 255u}, {"system", 0x80000005u}};
    writeFile("red.log", " 255 \r\n");
    writeFile("system.log", "-2147483643 \r\n");
    for (const auto& [name, colour] : cases) {
        writeFile(name + ".rtf", "{\\rtf1 x}");
        open(path(name + ".rtf"));
        EXPECT_EQ(active()->Text1->BackColor(), colour) << name.toStdString();
    }
}

TEST_F(Open, DoubleClickOnTheEmptyAreaOpens) {
    writeFile("dbl.txt", "dbl");
    scripted.desktop.openAnswers.push_back(path("dbl.txt"));
    QTest::mouseDClick(frame().mdiArea->viewport(), Qt::LeftButton);
    EXPECT_EQ(active()->Text1->Text(), "dbl");
}

// Only a regular file is read: anything else of a document's name is refused at once, as a file
// that cannot be read is, instead of blocking on a FIFO or reading a device without end. Every
// failure to read takes this message; the reasons are the document file's own tests.
TEST_F(Open, WhatIsNoRegularFileIsRefusedAtOnce) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"pipe.txt", "fifo"}, {"pipe.rtf", "fifo"}, {"socket.rtf", "socket"}, {"null.txt", "null"},
        {"zero.txt", "zero"}, {"zero.rtf", "zero"}, {"folder.rtf", "folder"},
    };
    const auto windows = frame().documents().size();
    for (const auto& [name, kind] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(testfiles::makeSpecial(path(name), kind));
        scripted.desktop.messages.clear();
        {
            testfiles::HangGuard guard;
            open(path(name));
        }
        EXPECT_EQ(frame().documents().size(), windows);
        EXPECT_EQ(OpenDocuments::OpenDocCount, 1);
        EXPECT_EQ(scripted.desktop.messages,
                  ScriptedDesktop::Messages({{"Problem occurred. \r\nPath/File access error",
                                              MsgBoxStyle::Exclamation, "Problem occured!"}}));
    }
}
