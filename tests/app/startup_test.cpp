#include "support/ProgramFixture.h"

#include "system/MsgBox.h"
#include "text/NativePath.h"

#include <QFileInfo>
#include <QUrl>

#include <fstream>
#include <unistd.h>

namespace {
class StartupTest : public ProgramFixture {};
} // namespace

TEST_F(StartupTest, WithoutCommandLineOpensOneMaximisedChangedNoname) {
    Startup::Main();
    ASSERT_EQ(frame().documents().size(), 1);
    DocumentWindow* document = active();
    EXPECT_EQ(document->Caption(), "noname");
    EXPECT_TRUE(document->parentWidget()->isMaximized());
    EXPECT_TRUE(document->isChanged());
    EXPECT_FALSE(document->Text1->canUndo());
    EXPECT_EQ(OpenDocuments::OpenDocCount, 1);
    EXPECT_EQ(document->Text1->SelFontName(), "Arial");
    EXPECT_EQ(document->Text1->SelFontSize(), 12.0);
}

// File managers pass documents as URIs; a path that only looks escaped is still a path, and two
// quotes alone make an empty unnamed window.
TEST_F(StartupTest, TheCommandLineOpensItsDocumentInASecondUnchangedWindow) {
    const QString letter = path("letter.txt");
    const QString uriFile = path("a b%#\u00e9.txt");
    const QString percentFile = path("x%20y.txt");
    writeFile("letter.txt", "Dear Sir,\r\nHello.");
    writeFile("a b%#\u00e9.txt", "from a URI");
    writeFile("x%20y.txt", "a path with a percent sign");
    const QByteArray escaped = QUrl::toPercentEncoding(uriFile, "/");
    const struct {
        QString line;
        QString opened;
        QString text;
    } cases[] = {
        {"\"" + letter + "\"", letter, "Dear Sir,\nHello."},
        {"\"\"", "", ""},
        {"file://" + escaped, uriFile, "from a URI"},
        {"FILE://localhost" + escaped, uriFile, "from a URI"},
        {"\"file://" + escaped + "\"", uriFile, "from a URI"},
        {percentFile, percentFile, "a path with a percent sign"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        scripted.desktop.typedCommandLine = c.line;
        Startup::Main();
        ASSERT_EQ(frame().documents().size(), 2);
        EXPECT_EQ(frame().documents().first()->Caption(), "noname");
        EXPECT_EQ(active(), frame().documents().last());
        EXPECT_EQ(Startup::CommandFile, c.opened);
        EXPECT_EQ(active()->Caption(), c.opened);
        EXPECT_EQ(active()->Text1->Text(), c.text);
        EXPECT_FALSE(active()->isChanged());
        EXPECT_TRUE(scripted.desktop.messages.isEmpty());
        // The information window shown while reading has gone again.
        EXPECT_FALSE(InformationWindow::isLoaded());
        restart();
    }
}

// A file that is not there leaves the start-up's window alone and no empty one beside it.
TEST_F(StartupTest, AMissingFileLeavesOnlyTheStartupWindow) {
    for (const char* name : {"gone.rtf", "gone.txt", "gone.htm", "no/folder.txt"}) {
        SCOPED_TRACE(name);
        scripted.desktop.typedCommandLine = path(name);
        Startup::Main();
        // Windows closed at start-up go when the event loop next turns.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_EQ(frame().documents().size(), 1);
        EXPECT_EQ(active()->Caption(), "noname");
        EXPECT_EQ(OpenDocuments::OpenDocCount, 1);
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_EQ(qobject_cast<DocumentWindow*>(window), nullptr);
        EXPECT_TRUE(scripted.desktop.messages.isEmpty());
        restart();
    }
}

// Another machine's file cannot be opened from here: the line is taken as typed and the failure
// reported as for any missing file.
TEST_F(StartupTest, AUriOfAnotherMachineIsNotTakenForALocalFile) {
    scripted.desktop.typedCommandLine = "file://server" + path("letter.txt");
    Startup::Main();
    EXPECT_EQ(Startup::CommandFile, "file://server" + path("letter.txt"));
}

// A name whose bytes are not UTF-8 (here Latin-1 "café") opens, as typed or as a file URI, and
// Save writes back to that very name rather than to one with U+FFFD in it.
TEST_F(StartupTest, ANameThatIsNotUtf8OpensAndSavesByItsOwnBytes) {
    const QByteArray raw = QFile::encodeName(folder.path()) + "/caf\xE9.txt";
    const auto rawContents = [&] {
        std::ifstream in(raw.toStdString(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const QString name = NativePath::decode(raw);
    for (const QString& line :
         {name, "file://" + QString::fromLatin1(raw.toPercentEncoding("/"))}) {
        SCOPED_TRACE(line.toStdString());
        std::ofstream(raw.toStdString(), std::ios::binary) << "old text";
        scripted.desktop.typedCommandLine = line;
        Startup::Main();
        ASSERT_EQ(frame().documents().size(), 2);
        EXPECT_EQ(active()->Caption(), name);
        EXPECT_EQ(active()->Text1->Text(), "old text");
        active()->Text1->setText("new text");
        frame().saveDocument();
        EXPECT_EQ(rawContents(), "new text");
        EXPECT_FALSE(active()->isChanged());
        EXPECT_TRUE(scripted.desktop.messages.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path(u"caf\uFFFD.txt"_qs)));
        restart();
    }
    // Qt cannot remove what it cannot name.
    ::unlink(raw.constData());
}
