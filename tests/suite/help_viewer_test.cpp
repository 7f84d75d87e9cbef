#include "support/ProgramFixture.h"

#include "suite/AboutBox.h"
#include "suite/HelpViewer.h"
#include "system/MsgBox.h"

#include <QPushButton>

namespace {
constexpr quint32 machine = 0x80000002u;
const QString firstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString secondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

class AboutBoxTest : public ProgramFixture {
protected:
    void store(const QString& key, const QString& name, quint32 type, const QByteArray& data) {
        scripted.desktop.registry["80000002\\" + key + "\\" + name] = {type, data};
    }
};
} // namespace

TEST_F(AboutBoxTest, RegistryTextLosesOnlyItsTerminatingZero) {
    store(firstKey, "PATH", 1, QByteArray("/usr/bin/info\0", 14));
    store(secondKey, "MSINFO", 1, "/opt/tools");
    store(secondKey, "Count", 4, QByteArray("\x2a\x00\x00\x01", 4));
    QString value = "before";
    EXPECT_TRUE(AboutBox::GetKeyValue(machine, firstKey, "PATH", value));
    EXPECT_EQ(value, "/usr/bin/info");
    EXPECT_TRUE(AboutBox::GetKeyValue(machine, secondKey, "MSINFO", value));
    EXPECT_EQ(value, "/opt/tools");
    EXPECT_TRUE(AboutBox::GetKeyValue(machine, secondKey, "Count", value));
    EXPECT_EQ(value, "&h0100002a");
    EXPECT_FALSE(AboutBox::GetKeyValue(machine, firstKey, "Missing", value));
    EXPECT_EQ(value, "");
}

TEST_F(AboutBoxTest, TheSystemToolIsStartedFromTheRegistryOrSaidToBeUnavailable) {
    AboutBox box;
    store(secondKey, "MSINFO", 1, path("tools").toUtf8());
    box.StartSysInfo(); // that folder holds no tool
    EXPECT_EQ(scripted.desktop.messages,
              ScriptedDesktop::Messages(
                  {{"System Information Is Unavailable At This Time", MsgBoxStyle::OkOnly, ""}}));

    writeFile("tools/MSINFO32.EXE", "");
    box.Command1->click();
    store(firstKey, "PATH", 1, "/nowhere/info");
    box.Command1->click(); // started as it stands, without looking for the file
    EXPECT_EQ(scripted.desktop.started,
              (QList<QStringList>{{path("tools/MSINFO32.EXE")}, {"/nowhere/info"}}));
}

// Beside the program, else in an installed program's data folder.
TEST_F(AboutBoxTest, HelpStartsTheViewerOnTheHelpFile) {
    scripted.desktop.dataFolder = path("share/quillet");
    writeFile("share/quillet/help.exe", "");
    writeFile("share/quillet/help/qlet.hpt", "");
    Common::StartHelp();
    writeFile("help.exe", "");
    writeFile("help/qlet.hpt", "");
    Common::StartHelp();
    EXPECT_EQ(
        scripted.desktop.started,
        (QList<QStringList>{{path("share/quillet/help.exe"), path("share/quillet/help/qlet.hpt")},
                            {path("help.exe"), path("help/qlet.hpt")}}));
}
