#include "support/ProgramFixture.h"

#include "suite/HelpViewer.h"

namespace {
class HelpViewer : public ProgramFixture {};
} // namespace

// Beside the program, else in an installed program's data folder.
TEST_F(HelpViewer, StartsTheViewerOnTheHelpFile) {
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
