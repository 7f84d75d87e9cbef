#pragma once

#include "storage/DocumentFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// What a kept copy of unsaved work is: whose work, kept when, and the size and checksum of the
// RTF it goes with, written as "key=value" lines so a later run can read it back.
namespace CopyDescription {

struct About {
    QString path; // the document's own file, empty for a new document
    QString caption;
    DocumentFile::Kind kind = DocumentFile::Kind::RichText;
    QDateTime keptAt;
    // How the document's plain-text file was written, so a save after recovery writes it back
    // alike.
    std::optional<PlainText::Encoding> encoding;
};

struct Read {
    About about;
    qint64 bytes = -1;
    QByteArray sha256;
    bool complete = false; // every line a copy has was there and made sense
};

// The lines describing `rtf`, each ending in a line feed; none is empty.
QByteArray write(const About& about, const QByteArray& rtf);
Read read(const QByteArray& lines);
// Whether `rtf` is the text `description` was written for.
bool matches(const Read& description, const QByteArray& rtf);

// Whether `path` names a file as this program names the files it keeps copies of: in full and
// without "." or ".." in it. A description is read from the disk, so a name that is not is
// shown for what it is and never taken as where to save.
bool namesFileInFull(const QString& path);

} // namespace CopyDescription
