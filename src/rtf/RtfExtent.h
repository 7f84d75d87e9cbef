#pragma once

namespace rtf {

// What RTF stands for. A file's last paragraph ends with a mark that readers take for the end of
// the document. A selection's last paragraph has a mark only when the selection held one: every
// mark in it breaks a paragraph, the last one included, so pasting whole paragraphs ends with a
// paragraph break and pasting part of one adds none.
enum class Extent {
    File,
    Selection,
};

} // namespace rtf
