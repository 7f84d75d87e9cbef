// Files on disk that the program does not control: whatever they hold, the program starts, shows
// its frame on the screen, and opens the document.
#include "support/ProgramFixture.h"

#include "system/MsgBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
class HostileFiles : public ProgramFixture {
protected:
    // Makes `name` in the program's folder into what `kind` says, else writes `kind` into it.
    void make(const QString& name, const QByteArray& kind) {
        if (kind == "fifo" || kind == "folder" || kind == "zero")
            ASSERT_TRUE(testfiles::makeSpecial(path(name), kind));
        else
            writeFile(name, kind);
    }
    QRect screenPixels() const {
        const ScreenMetrics& m = scripted.desktop.metrics;
        return QRect(0, 0, m.widthPixels, m.heightPixels);
    }
};
} // namespace

TEST_F(HostileFiles, AnySettingsFileLeavesTheFrameOnTheScreen) {
    const QByteArray cases[] = {
        "[SIZE]\nqlet_Width=2147483647\nqlet_Height=2147483647\n",
        "[SIZE]\nqlet_Width=500000\nqlet_Height=6000\n",
        "[SIZE]\nqlet_Left=900000\nqlet_Top=-900000\nqlet_Width=9000\nqlet_Height=6000\n",
        "[SIZE]\nqlet_Left=2147483647\nqlet_Top=2147483647\nqlet_Width=2147483647\n",
        "fifo",
        "folder",
        "zero",
    };
    for (const QByteArray& contents : cases) {
        SCOPED_TRACE(contents.toStdString());
        QFile::remove(path("multi.ini"));
        QDir(path("multi.ini")).removeRecursively();
        make("multi.ini", contents);
        Startup::Main();
        ASSERT_TRUE(MainFrame::isLoaded());
        EXPECT_TRUE(screenPixels().contains(frame().geometry())) << frame().geometry().x();
        // Shutting down leaves what is not a settings file alone.
        frame().close();
        if (contents == "fifo" || contents == "zero") {
            EXPECT_FALSE(QFileInfo(path("multi.ini")).isFile());
        }
        restart();
    }
}

TEST_F(HostileFiles, NoColourFileKeepsTheDocumentFromOpening) {
    const QByteArray cases[] = {"",     " 99999999999", "1e308", QByteArray(10'000'000, '9'),
                                "fifo", "folder",       "zero"};
    for (const QByteArray& contents : cases) {
        SCOPED_TRACE(contents.left(20).toStdString());
        writeFile("doc.rtf", "{\\rtf1 Words\\par}");
        QFile::remove(path("doc.log"));
        QDir(path("doc.log")).removeRecursively();
        make("doc.log", contents);
        scripted.desktop.typedCommandLine = path("doc.rtf");
        Startup::Main();
        ASSERT_EQ(frame().documents().size(), 2);
        EXPECT_EQ(active()->Text1->Text(), "Words");
        EXPECT_EQ(active()->Text1->BackColor(), 16777215u);

        scripted.desktop.openAnswers.push_back(path("doc.rtf"));
        frame().openDocument();
        EXPECT_EQ(frame().documents().size(), 3);
        EXPECT_TRUE(scripted.desktop.messages.isEmpty());
        restart();
    }
}
