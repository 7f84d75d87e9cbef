#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// How an embedded file is saved inside a rich-text document: as an OLE 1.0 embedded object of
// the class "Package", the packager's object that carries a whole file. Word processors on
// Windows open it with the program registered for the file; others show the object's picture.
namespace OlePackage {

inline constexpr char className[] = "Package";

// The packager's data for a file: the label shown with it, the path it came from (also the path
// it is written out to when opened), and its bytes. Names are saved in Windows-1252; characters
// it lacks become '?'.
QByteArray nativeData(const QString& label, const QString& path, QByteArrayView contents);

// An embedded object of class `name` holding `nativeData`, as \objdata carries it. It has no
// presentation of its own: the document's result picture shows it.
QByteArray embeddedObject(QByteArrayView name, QByteArrayView nativeData);

} // namespace OlePackage
