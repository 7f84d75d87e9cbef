#pragma once

#include <QString>

class RichTextBox;

// The pane's document on disk: the pane reads and writes through the document files, and keeps
// how a plain-text file was written so that a save writes it back alike.
namespace DocumentFile {

// Reads the file into the pane, plain text taking the pane's current character format; the pane
// then remembers how a plain-text file was written. The pane is untouched when reading fails. A
// file is refused with Error 7 when its document would not fit in what the desktop says is left.
void load(RichTextBox& pane, const QString& path);

// The pane's document, written back in the form its plain-text file came in.
void save(const RichTextBox& pane, const QString& path);

} // namespace DocumentFile
