// A file too big for the memory left is a message, never the end of the program: the window
// meant for it goes, and the documents already open stay as they were.
#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

#include <new>

namespace {
class OutOfMemory : public ProgramFixture {
protected:
    // The ways memory runs short: a limit the document cannot fit in, and an allocation that
    // fails while the program asks.
    const std::vector<std::pair<const char*, std::function<std::optional<qint64>()>>> shortages{
        {"a limit of 1 MB", [] { return qint64(1) << 20; }},
        {"an allocation that fails", []() -> std::optional<qint64> { throw std::bad_alloc(); }},
    };
};
} // namespace

TEST_F(OutOfMemory, OpeningIsRefusedAndTheOtherDocumentsStay) {
    frame().NewChild();
    active()->Text1->setText(QStringLiteral("kept"));
    active()->markChanged();
    DocumentWindow* before = active();
    for (const char* name : {"big.txt", "big.rtf", "big.htm"}) {
        writeFile(name, name == QByteArrayView("big.rtf")
                            ? "{\\rtf1 " + QByteArray(2 << 20, 'a') + "}"
                            : QByteArray(2 << 20, 'a'));
        for (const auto& [shortage, answer] : shortages) {
            SCOPED_TRACE(std::string(name) + ", " + shortage);
            scripted.desktop.memoryAnswer = answer;
            scripted.desktop.messages.clear();
            scripted.desktop.openAnswers.push_back(path(name));
            frame().openDocument();
            EXPECT_EQ(scripted.desktop.messages,
                      ScriptedDesktop::Messages({{"Problem occurred. \r\nOut of memory",
                                                  MsgBoxStyle::Exclamation, "Problem occured!"}}));
            EXPECT_EQ(frame().documents().size(), 1);
            EXPECT_EQ(OpenDocuments::OpenDocCount, 1);
            EXPECT_EQ(active(), before);
            EXPECT_EQ(before->Text1->Text(), "kept");
            EXPECT_TRUE(before->isChanged());
        }
    }
    // With the memory back, the same file opens.
    scripted.desktop.memoryAnswer = [] { return qint64(1) << 30; };
    scripted.desktop.openAnswers.push_back(path("big.txt"));
    frame().openDocument();
    EXPECT_EQ(frame().documents().size(), 2);
}

// Start-up ends quietly when the file it was given cannot be read, for want of memory too: the
// frame and its empty document are there, the file is not, and nothing has ended the program.
TEST_F(OutOfMemory, TheFileNamedAtStartUpEndsStartUpQuietly) {
    writeFile("big.txt", QByteArray(2 << 20, 'a'));
    for (const auto& [shortage, answer] : shortages) {
        SCOPED_TRACE(shortage);
        scripted.desktop.memoryAnswer = answer;
        scripted.desktop.messages.clear();
        scripted.desktop.typedCommandLine = path("big.txt");
        Startup::Main();
        ASSERT_TRUE(MainFrame::isLoaded());
        EXPECT_TRUE(scripted.desktop.messages.isEmpty());
        ASSERT_EQ(frame().documents().size(), 1);
        EXPECT_EQ(active()->Caption(), "noname");
        restart();
    }
}
