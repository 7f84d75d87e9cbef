#include "support/ProgramFixture.h"

#include "platform/MsgBox.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QUrl>

namespace {
class Startup : public ProgramFixture {};
} // namespace

TEST_F(Startup, WithoutCommandLineOpensOneMaximisedChangedNoname) {
    Module1::Main();
    ASSERT_EQ(frame().documents().size(), 1);
    Wordbox* document = active();
    EXPECT_EQ(document->Caption(), "noname");
    EXPECT_TRUE(document->parentWidget()->isMaximized());
    EXPECT_EQ(document->Text1->Tag, "save");
    EXPECT_EQ(document->Text1->Text(), "");
    EXPECT_FALSE(document->Text1->canUndo());
    EXPECT_EQ(Module1::OpenDocCount, 1);
    EXPECT_EQ(document->Text1->SelFontName(), "Arial");
    EXPECT_EQ(document->Text1->SelFontSize(), 12.0);
}

TEST_F(Startup, FillsTheThreeBoxes) {
    scripted.desktop.fonts = {"Times New Roman", "Arial", "Courier New", "arial"};
    Module1::Main();
    EXPECT_EQ(frame().Combo2->count(), 10);
    EXPECT_EQ(frame().Combo2->currentText(), "Time and Day");

    QComboBox* fonts = frame().cboFontCombo;
    ASSERT_EQ(fonts->count(), 4);
    for (int i = 1; i < fonts->count(); ++i)
        EXPECT_LE(QString::compare(fonts->itemText(i - 1), fonts->itemText(i), Qt::CaseInsensitive),
                  0);
    EXPECT_EQ(fonts->currentText(), "Arial");

    // Sizes from 6 points up, 12 chosen.
    EXPECT_EQ(frame().cboSizeCombo->itemText(0), " 6");
    EXPECT_EQ(frame().cboSizeCombo->currentText(), " 12");
}

TEST_F(Startup, WithoutArialNoFontIsSelectedOrApplied) {
    scripted.desktop.fonts = {"DejaVu Sans", "Liberation Serif", "arial"};
    Module1::Main();
    EXPECT_EQ(frame().cboFontCombo->currentIndex(), -1);
    // The pane keeps its design font: nothing was applied from the box.
    EXPECT_EQ(active()->Text1->SelFontName(), "Arial");
}

TEST_F(Startup, CommandLineFileOpensInASecondUnchangedWindow) {
    writeFile("letter.txt", "Dear Sir,\r\nHello.");
    scripted.desktop.typedCommandLine = "\"" + path("letter.txt") + "\"";
    Module1::Main();
    ASSERT_EQ(frame().documents().size(), 2);
    EXPECT_EQ(Module1::OpenDocCount, 2);
    EXPECT_EQ(active()->Caption(), path("letter.txt"));
    EXPECT_EQ(active()->Text1->Text(), "Dear Sir,\nHello.");
    EXPECT_EQ(active()->Text1->Tag, "");
    EXPECT_EQ(Module1::CommandFile, path("letter.txt"));
    // The information window shown while reading has gone again.
    EXPECT_FALSE(FormTop::isLoaded());
    EXPECT_EQ(Module1::ReadingFile, Module1::False);
    EXPECT_EQ(frame().documents().first()->Caption(), "noname");
}

TEST_F(Startup, TwoQuotesOpenAnEmptyUnnamedSecondWindow) {
    scripted.desktop.typedCommandLine = "\"\"";
    Module1::Main();
    EXPECT_EQ(Module1::CommandFile, "");
    EXPECT_TRUE(scripted.desktop.messages.isEmpty());
    EXPECT_EQ(Module1::OpenDocCount, 2);
    ASSERT_EQ(frame().documents().size(), 2);
    EXPECT_EQ(active(), frame().documents().last());
    EXPECT_EQ(active()->Caption(), "");
    EXPECT_EQ(active()->Text1->Text(), "");
    EXPECT_EQ(active()->Text1->Tag, "");
}

TEST_F(Startup, InformationWindowDrivesPointerAndFlag) {
    FormTop& info = FormTop::instance();
    EXPECT_FALSE(info.isVisible());
    EXPECT_EQ(Module1::ReadingFile, Module1::True);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    info.Command1->click();
    EXPECT_FALSE(FormTop::isLoaded());
    EXPECT_EQ(Module1::ReadingFile, Module1::False);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// File managers pass documents as URIs; a path that only looks escaped is still a path.
TEST_F(Startup, AFileUriOpensTheFileItNames) {
    writeFile("a b%#\u00e9.txt", "from a URI");
    writeFile("x%20y.txt", "a path with a percent sign");
    const QByteArray escaped = QUrl::toPercentEncoding(path("a b%#\u00e9.txt"), "/");
    const struct {
        QString line;
        QString opened;
    } cases[] = {
        {"file://" + escaped, path("a b%#\u00e9.txt")},
        {"FILE://localhost" + escaped, path("a b%#\u00e9.txt")},
        {"\"file://" + escaped + "\"", path("a b%#\u00e9.txt")},
        {path("x%20y.txt"), path("x%20y.txt")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        scripted.desktop.typedCommandLine = c.line;
        Module1::Main();
        ASSERT_EQ(frame().documents().size(), 2);
        EXPECT_EQ(active()->Caption(), c.opened);
        EXPECT_EQ(active()->Text1->Text().toUtf8(), testfiles::read(c.opened));
        EXPECT_TRUE(scripted.desktop.messages.isEmpty());
        MDI::unload();
        resetState();
    }
}

// Another machine's file cannot be opened from here: the line is taken as typed and the failure
// reported as for any missing file.
TEST_F(Startup, AUriOfAnotherMachineIsNotTakenForALocalFile) {
    scripted.desktop.typedCommandLine = "file://server" + path("letter.txt");
    Module1::Main();
    EXPECT_EQ(Module1::CommandFile, "file://server" + path("letter.txt"));
}
