#pragma once
#include <QByteArray>
#include <QString>

// A message as the converter prints it: "quillet-convert: " and the message on one line. The
// names in it are shown so that they cannot act on the terminal or break the line: control
// characters (a carriage return left by a list with CRLF line ends, an escape sequence), the
// bytes of a name that are not UTF-8, and the marks that turn text right to left appear as
// escapes (\r, \x1b, \u202e).
QByteArray messageLine(const QString& message);
