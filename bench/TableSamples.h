#pragma once

#include "RtfSample.h"

#include <QByteArray>

// Documents with tables of the shapes the layout must carry: a long report with one small table
// after it, or a table of many rows in its middle; tables nested level in level; a long table
// alone; and the shapes that once cost printing most (one paragraph of megabytes, a million
// short paragraphs).
namespace tablesamples {

inline QByteArray border() {
    return "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
           "\\clbrdrr\\brdrs\\brdrw10";
}

// `rows` rows of three bordered cells, a shaded heading row first.
inline QByteArray table(int rows) {
    QByteArray rtf = "\\trowd\\trgaph108\\trleft-108" + border() + "\\clcbpat4\\cellx3000" +
                     border() + "\\clcbpat4\\cellx6000" + border() +
                     "\\clcbpat4\\cellx9000\r\n\\pard\\intbl\\b Region\\cell Office\\cell "
                     "Total\\b0\\cell\\row\r\n";
    const QByteArray row = "\\trowd\\trgaph108\\trleft-108" + border() + "\\cellx3000" + border() +
                           "\\cellx6000" + border() + "\\cellx9000\r\n";
    for (int i = 1; i < rows; ++i) {
        rtf += row + "\\pard\\intbl North region " + QByteArray::number(i) +
               "\\cell Oslo and Bergen offices\\cell " + QByteArray::number(i * 37 % 1000) +
               "\\cell\\row\r\n";
    }
    return rtf + "\\pard\\par\r\n";
}

// The generated report of about `size` bytes with a table of `rows` rows after it, or in its
// middle.
inline QByteArray report(qsizetype size, int rows, bool middle) {
    QByteArray body = rtfsample::generate(size);
    body.chop(1); // the closing brace
    body.replace("\\blue160;}", "\\blue160;\\red217\\green226\\blue243;}");
    if (rows == 0)
        return body + "}";
    if (!middle)
        return body + table(rows) + "}";
    const qsizetype at = body.indexOf("\\par\r\n", body.size() / 2) + 6;
    return body.left(at) + table(rows) + body.mid(at) + "}";
}

// One level of tables nested `depth` deep, `cells` cells a level, every cell holding the next
// level (`everyCell`) or the first one alone.
inline QByteArray nestedLevel(int level, int depth, int cells, int width, bool everyCell) {
    const QByteArray itap = "\\itap" + QByteArray::number(level);
    const QByteArray cellMark = level == 1 ? "\\cell " : "\\nestcell ";
    QByteArray rtf;
    const int cellWidth = qMax(1, width / cells);
    for (int cell = 0; cell < cells; ++cell) {
        rtf += "\\pard\\intbl" + itap + " L" + QByteArray::number(level) + "c" +
               QByteArray::number(cell) + "\\par\r\n";
        if (level < depth && (everyCell || cell == 0)) {
            rtf += nestedLevel(level + 1, depth, cells, cellWidth, everyCell);
            rtf += "\\pard\\intbl" + itap + " ";
        }
        rtf += cellMark;
    }
    // Bordered at the top level; inside, the cells' edges alone, as most nested tables are.
    QByteArray row = "\\trowd\\trgaph0";
    for (int cell = 1; cell <= cells; ++cell)
        row += (level == 1 ? border() : QByteArray()) + "\\cellx" +
               QByteArray::number(cellWidth * cell);
    if (level == 1)
        return rtf + row + "\\row\r\n";
    return rtf + "{\\*\\nesttableprops" + row + "\\nestrow}{\\nonesttables\\par}\r\n";
}

// Tables nested `depth` deep with `cells` cells a level, every cell holding the next level,
// once (a tree of cells); or only the first cell, `times` times one after the other.
inline QByteArray nested(int depth, int cells, bool everyCell, int times) {
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
    for (int i = 0; i < times; ++i)
        rtf += nestedLevel(1, depth, cells, 9000, everyCell) + "\\pard Between.\\par\r\n";
    return rtf + "}";
}

// A table of `rows` rows alone.
inline QByteArray longTable(int rows) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0"
           "\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red217\\green226\\blue243;}"
           "\\f0\\fs20 " +
           table(rows) + "}";
}

// One paragraph of `size` bytes of words.
inline QByteArray oneParagraph(qsizetype size) {
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
    rtf.reserve(size + 64);
    static const QByteArray words = "the quarterly report shows growth in every region and ";
    while (rtf.size() < size)
        rtf += words;
    return rtf + "\\par}";
}

// `count` short paragraphs.
inline QByteArray shortParagraphs(int count) {
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
    for (int i = 0; i < count; ++i)
        rtf += "Line\\par\r\n";
    return rtf + "}";
}

} // namespace tablesamples
