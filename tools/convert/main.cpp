// quillet-convert INPUT OUTPUT: opens a document the way the Open command does and saves it the
// way the Save command does; with --to, many documents at once.
#include "Batch.h"
#include "BatchOptions.h"
#include "Conversion.h"
#include "MessageLine.h"
#include "Workers.h"
#include "text/NativePath.h"

#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

const char usage[] =
    "Usage: quillet-convert INPUT OUTPUT\n"
    "       quillet-convert --to FORMAT [--out-dir DIR [--keep-tree]] [--overwrite] [--jobs N]\n"
    "                       [--quiet] [--] INPUT...\n"
    "       quillet-convert --help | --version\n"
    "\n"
    "Reads INPUT as the Open command does: a path containing \".rtf\" (in any case) is read as\n"
    "rich text, else a path containing \".htm\" as plain text with the tags removed, anything\n"
    "else as plain text. Writes OUTPUT as the Save command does, by the same rule: rich text,\n"
    "HTML, or plain text in the encoding and line ends a plain-text INPUT had (UTF-8 with LF\n"
    "line ends otherwise), or as the Print command prints it on A4 for .pdf. OUTPUT must end in\n"
    "\".rtf\", \".txt\", \".htm\", \".html\" or \".pdf\", and is never INPUT itself, by a link or\n"
    "another name.\n"
    "\n"
    "With --to, converts every INPUT to FORMAT (rtf, txt, htm, html or pdf), each into a file\n"
    "named after it with the format's extension, beside the input or in DIR (made when missing).\n"
    "--keep-tree keeps the folders the INPUT names under DIR: a/x.rtf goes to DIR/a/x.txt, and a\n"
    "whole path keeps all its folders (/srv/a/x.rtf goes to DIR/srv/a/x.txt); an INPUT naming a\n"
    "folder above the current one (../x.rtf) is refused. An INPUT of - reads a list of paths from\n"
    "standard input, one a line (LF or CRLF), as it comes. N worker processes share the work (by\n"
    "default one a core). An input is never replaced by its own output, and no two inputs write\n"
    "one output; an input given twice is converted once. Beside the inputs, a file already there\n"
    "is kept unless --overwrite is given; in DIR an output that exists is replaced, all or\n"
    "nothing. On a terminal a progress bar shows the files done, the failures and the time left;\n"
    "--quiet leaves it out, and the last line counting them. Ctrl+C stops the workers and leaves\n"
    "no partial output.\n"
    "\n"
    "Exit status 0 on success; on failure, a one-line message on standard error naming the file,\n"
    "status 1, and no OUTPUT file. With --to, the other inputs carry on after a failure, a last\n"
    "line counts the files converted and failed (an input refused or whose output was kept\n"
    "counts as failed), and the status is 1 when any failed.\n";

// Qt's own notices (a missing runtime folder, font fallbacks) are not the tool's messages: the
// only line on standard error is the one that says why it failed.
void dropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

int fail(const QString& message) {
    std::fprintf(stderr, "%s\n", messageLine(message).constData());
    return 1;
}

// This program's own file, for its workers: the name it was started by need not be on PATH.
QByteArray ownProgram(const char* startedAs) {
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return self.isEmpty() ? QByteArray(startedAs) : NativePath::encode(self);
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (qstrcmp(argv[i], "--version") == 0) {
            std::fputs("quillet-convert " QUILLET_VERSION "\n", stdout);
            return 0;
        }
        // The names as the system has them, even where they are not UTF-8.
        arguments << NativePath::decode(argv[i]);
    }
    qInstallMessageHandler(dropQtMessages);
    if (arguments == QStringList{QStringLiteral("--worker")})
        return Workers::serve();
    if (BatchOptions::wanted(arguments)) {
        QString problem;
        const std::optional<BatchOptions> options = BatchOptions::parse(arguments, &problem);
        if (!options)
            return fail(problem);
        return Batch::run(*options, ownProgram(argv[0]));
    }
    if (argc != 3)
        return fail("expected INPUT and OUTPUT (see --help)");
    Conversion conversion;
    const QString problem = conversion.run(arguments[0], arguments[1]);
    return problem.isEmpty() ? 0 : fail(problem);
}
