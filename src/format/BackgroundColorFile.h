#pragma once

#include "system/Colors.h"

#include <QString>

// A document's background colour lives in a one-line file beside it: the document's name less
// its last four characters, plus ".log".
namespace BackgroundColorFile {
using Colors::white;

// Throws error 5 for a name shorter than four characters.
QString nameFor(const QString& documentName);
// Writes " 16777215 " or "-2147483643 " and CR LF; a system colour (high bit) is negative.
void store(const QString& documentName, quint32 color);
// What a save does: stores the colour unless that would write over a file that is not ours
// (a build or server log of the same name), or leave a white page's file where none stood.
void storeOnSave(const QString& documentName, quint32 color);
// A ".log" is ours only when its one line is a colour number; any other file of that name is
// someone's log ("build ok"), which a save must leave as it is.
bool isColorFile(const QString& path);
bool isColorLine(const QByteArray& line);
// The number at the start of the file's first line, the line itself going to `firstLine`; white
// when there is no colour file of ours: no file, not a regular file, empty, unreadable, more
// than one short line, or a number that is no 32-bit colour. Throws only for a name shorter
// than four characters (error 5).
double load(const QString& documentName, QString* firstLine = nullptr);
} // namespace BackgroundColorFile
