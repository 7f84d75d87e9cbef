#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QTextCharFormat;
class QTextDocument;

namespace rtf {

struct HeaderTables;

// A group of the file the document does not show but saves as it was: a header or footer, a
// footnote, a field's instruction, hidden text. Its font and colour numbers refer to the file's own
// tables, so it keeps what each stood for, and is written with the numbers of the file being
// written.
struct KeptGroup {
    enum class Kind { Side, Field, Footnote, Hidden };
    struct Font {
        int number = 0;
        QString name;
        int codePage = 0;
    };
    struct Color {
        int number = 0;
        QRgb rgb = 0;
    };

    Kind kind = Kind::Side;
    // Fields: the group from the field's brace to the end of its instruction, "{\field{\*\fldinst
    // ...}", which its result follows. Others: the whole group.
    QByteArray bytes;
    std::vector<Font> fonts;
    std::vector<Color> colors;
    int parent = 0;        // fields: the kept field whose result holds this one; 0 for none
    int section = 0;       // headers and footers: the section they belong to, from 0
    bool numbered = false; // footnotes: the mark is the footnote's number (\chftn)
    QString link;          // fields being read: the address a HYPERLINK field opens

    // `group` with what its font and colour numbers stand for in `tables`.
    static KeptGroup of(Kind kind, QByteArrayView group, const HeaderTables& tables);

    // The group with font and colour numbers for the file being written: `font` gives the number
    // of a font name, `color` the number of a colour.
    QByteArray rewritten(const std::function<int(const QString&, int codePage)>& font,
                         const std::function<int(QRgb)>& color) const;
};

// The kept groups of a document, numbered from 1 in the order they were read. Text refers to
// fields and footnotes by number (FieldId, FootnoteId): a field's result is the text that carries
// its number, so editing inside the result keeps the field and deleting all of it drops it.
namespace KeptGroups {

void store(QTextDocument& document, const std::vector<KeptGroup>& groups);
std::vector<KeptGroup> load(const QTextDocument& document);

// Text of `document` refers by number to the groups `from`. Appends the ones it refers to (fields
// with the fields that hold them, footnotes, hidden text) to the groups of `owner`, and renumbers
// the text to match: text that moves between documents keeps its own fields, never the other
// document's.
void adopt(QTextDocument& document, const std::vector<KeptGroup>& from, QTextDocument& owner);

// The fields whose results hold text of `format`, outermost first.
std::vector<int> fieldPath(const std::vector<KeptGroup>& groups, const QTextCharFormat& format);

// The address a HYPERLINK field's instruction (rtf::fieldInstruction) opens; empty for other
// fields.
QString hyperlinkTarget(const QString& instruction);

// The character set \fcharset gives for a code page.
int charsetOf(int codePage);

} // namespace KeptGroups

} // namespace rtf
