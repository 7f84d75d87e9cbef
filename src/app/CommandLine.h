#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks of the program beyond naming a document.
namespace CommandLine {

// The text to print for --help, -h or --version among `words` (the words after the program's
// name), which the program answers without a display and ends; nullopt otherwise.
std::optional<QString> answerWithoutWindow(const QStringList& words);

// The document a command line names. File managers may pass a file URI (file:///home/a%20b.rtf):
// that is the local path it stands for; any other line is returned unchanged.
QString documentPath(const QString& line);

} // namespace CommandLine
