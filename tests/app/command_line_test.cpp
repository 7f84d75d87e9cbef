// The program's own options, as a user runs them: a separate process, and no display.
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    bool crashed = false;
    int exitCode = -1;
    QString out;
};

// An environment where a program that opens a window cannot: no display, and Qt told to use X.
QProcessEnvironment withoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

Outcome run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(withoutDisplay());
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30'000)) << "the program did not end";
    return {process.exitStatus() == QProcess::CrashExit, process.exitCode(),
            QString::fromLocal8Bit(process.readAllStandardOutput())};
}

const QString program = QStringLiteral(QUILLET_PROGRAM);

} // namespace

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay) {
    // The environment really has no display: the program itself cannot start in it.
    const Outcome started = run(program, {});
    EXPECT_TRUE(started.crashed || started.exitCode != 0);

    for (const QStringList& arguments :
         {QStringList{"--help"}, QStringList{"-h"}, QStringList{"letter.rtf", "--help"}}) {
        const Outcome help = run(program, arguments);
        EXPECT_FALSE(help.crashed);
        EXPECT_EQ(help.exitCode, 0) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(help.out.startsWith("Usage: quillet [DOCUMENT]\n")) << qPrintable(help.out);
    }

    const Outcome version = run(program, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    const QRegularExpression versionLine("^quillet (\\d+\\.\\d+\\.\\d+)\n$");
    const QRegularExpressionMatch match = versionLine.match(version.out);
    ASSERT_TRUE(match.hasMatch()) << qPrintable(version.out);
    // Both programs come from one release.
    const Outcome converter = run(QStringLiteral(QUILLET_CONVERT), {"--version"});
    EXPECT_EQ(converter.exitCode, 0);
    EXPECT_EQ(converter.out, "quillet-convert " + match.captured(1) + "\n");
}
