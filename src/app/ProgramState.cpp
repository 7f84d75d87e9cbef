#include "app/Module1.h"

#include "platform/Error.h"

#include <QCoreApplication>
#include <QStringList>
#include <limits>
#include <optional>

namespace Module1 {
int16_t OpenDocCount = 0;
int16_t CloseCancelled = False;
int16_t ReadingFile = False;
QString CommandFile;

void countDocumentIn() {
    if (OpenDocCount == std::numeric_limits<int16_t>::max())
        throw Error::overflow();
    ++OpenDocCount;
}

void countDocumentOut() {
    if (OpenDocCount == std::numeric_limits<int16_t>::min())
        throw Error::overflow();
    --OpenDocCount;
}

namespace {
std::optional<QString> scriptedCommandLine;
}

QString commandLine() {
    if (scriptedCommandLine)
        return *scriptedCommandLine;
    // A shell has already split the line; joining the words gives back what was typed after the
    // program's name (a path with blanks arrives as one word, quotes already removed).
    QStringList words = QCoreApplication::arguments();
    if (!words.isEmpty())
        words.removeFirst();
    return words.join(QLatin1Char(' '));
}

void setCommandLineForTests(const QString& line) {
    scriptedCommandLine = line;
}
} // namespace Module1
