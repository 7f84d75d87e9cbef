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
        EXPECT_EQ(active()->Text1->Tag, "");
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

TEST_F(Open, ACancelledDialogOrAFailureLeavesNoWindow) {
    writeFile("bad.rtf", "this is not rich text");
    const auto windows = frame().documents().size();
    for (const std::optional<QString>& name :
         {std::optional<QString>(), std::optional(path("deleted.txt")),
          std::optional(path("bad.rtf"))}) {
        SCOPED_TRACE(name.value_or("cancelled").toStdString());
        scripted.desktop.messages.clear();
        const int before = OpenDocuments::OpenDocCount;
        open(name);
        EXPECT_EQ(OpenDocuments::OpenDocCount, before);
        EXPECT_EQ(frame().documents().size(), windows);
        if (!name) {
            EXPECT_TRUE(scripted.desktop.messages.isEmpty());
            continue;
        }
        // The problem message, with the reason after its first line.
        ASSERT_EQ(scripted.desktop.messages.size(), 1);
        EXPECT_TRUE(scripted.desktop.messages[0].prompt.startsWith("Problem occurred. \r\n"));
        EXPECT_GT(scripted.desktop.messages[0].prompt.size(), 20);
        EXPECT_EQ(scripted.desktop.messages[0].title, "Problem occured!");
        EXPECT_EQ(scripted.desktop.messages[0].style, MsgBoxStyle::Exclamation);
    }
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
// that cannot be read is, instead of blocking on a FIFO or reading a device without end.
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
        ASSERT_EQ(scripted.desktop.messages.size(), 1);
        EXPECT_EQ(scripted.desktop.messages[0].prompt,
                  "Problem occurred. \r\nPath/File access error");
    }
}
