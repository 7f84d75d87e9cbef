#pragma once

#include <QByteArray>

#include <random>

// Inputs shaped to find costs that grow faster than the input: one long list, a large font table
// used in a random order, millions of short paragraphs, a file of nothing but line ends, and
// millions of short runs of alternating formats.
namespace hostile {

inline const char* const header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                                  "{\\f1\\fmodern Courier New;}}{\\colortbl;\\red192\\green0"
                                  "\\blue0;}\r\n";

// One bulleted list of `items` paragraphs, "item 1" to "item N", written the way this program
// writes bullets.
inline QByteArray bulletList(int items) {
    QByteArray rtf = header;
    rtf.reserve(qsizetype(items) * 16 + 256);
    rtf += "\\pard{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 ";
    for (int i = 1; i <= items; ++i)
        rtf += "item " + QByteArray::number(i) + "\\par\r\n";
    rtf += "}";
    return rtf;
}

// One numbered list of `items` paragraphs, each with its number also written as text.
inline QByteArray numberedList(int items) {
    QByteArray rtf = header;
    rtf.reserve(qsizetype(items) * 40 + 512);
    rtf += "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid7}}"
           "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\\pard\\fi-360\\li720\\ls1 ";
    for (int i = 1; i <= items; ++i) {
        const QByteArray n = QByteArray::number(i);
        rtf += "{\\listtext " + n + ".\\tab}item " + n + "\\par\r\n";
    }
    rtf += "}";
    return rtf;
}

// A table of `fonts` fonts named "Font 0" to "Font N-1", then `switches` runs "tK " each in
// font K, K chosen at random.
inline QByteArray fontSwitches(int fonts, int switches, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, fonts - 1);
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    rtf.reserve(qsizetype(fonts) * 24 + qsizetype(switches) * 16 + 64);
    for (int i = 0; i < fonts; ++i) {
        const QByteArray n = QByteArray::number(i);
        rtf += "{\\f" + n + "\\fnil Font " + n + ";}";
    }
    rtf += "}\r\n";
    for (int i = 0; i < switches; ++i) {
        const QByteArray n = QByteArray::number(pick(random));
        rtf += "\\f" + n + " t" + n + ' ';
    }
    rtf += "}";
    return rtf;
}

// `count` short paragraphs, each holding its number; blank ones when `blank`.
inline QByteArray paragraphs(int count, bool blank = false) {
    QByteArray rtf = header;
    rtf.reserve(qsizetype(count) * (blank ? 6 : 14) + 256);
    for (int i = 1; i <= count; ++i) {
        if (!blank)
            rtf += QByteArray::number(i);
        rtf += "\\par\r\n";
    }
    rtf += "}";
    return rtf;
}

// Plain text of `bytes` line ends and nothing else.
inline QByteArray newlines(qsizetype bytes) {
    return QByteArray(bytes, '\n');
}

// `runs` one-word runs, each formatted unlike its neighbours (bold, italic, another font, a
// colour), twenty to a paragraph.
inline QByteArray formattedRuns(int runs) {
    static const char* const kinds[] = {"\\b word\\b0 ", "\\i word\\i0 ", "\\f1 word\\f0 ",
                                        "\\cf1 word\\cf0 "};
    QByteArray rtf = header;
    rtf.reserve(qsizetype(runs) * 7 + 256);
    // Each kind makes two runs: the formatted word and the plain space after it.
    for (int i = 0; i < runs / 2; ++i) {
        rtf += kinds[i % 4];
        if (i % 10 == 9)
            rtf += "\\par\r\n";
    }
    rtf += "}";
    return rtf;
}

// Wide and long table shapes: one row of `count` cells after a single cell definition, one row
// of `count` cell definitions with one cell, one row of both, `count` rows of one cell, and
// `count` paragraphs marked as in a table that no cell mark ends.
inline QByteArray cellsInARow(int count) {
    return "{\\rtf1\\trowd\\cellx100 " + QByteArray("\\intbl x\\cell").repeated(count) +
           "\\row\\pard b}";
}

inline QByteArray cellDefinitions(int count, bool withCells = false) {
    QByteArray rtf = "{\\rtf1\\trowd";
    rtf.reserve(qsizetype(count) * (withCells ? 20 : 13) + 64);
    for (int i = 1; i <= count; ++i)
        rtf += "\\cellx" + QByteArray::number(i * 10);
    rtf += "\\intbl " + (withCells ? QByteArray(" x\\cell").repeated(count) : "a\\cell") +
           "\\row\\pard b}";
    return rtf;
}

inline QByteArray tableRows(int count) {
    return "{\\rtf1 " + QByteArray("\\trowd\\cellx1000\\intbl x\\cell\\row").repeated(count) +
           "\\pard b}";
}

inline QByteArray paragraphsInTable(int count) {
    return "{\\rtf1\\intbl " + QByteArray("x\\par ").repeated(count) + "}";
}

} // namespace hostile
