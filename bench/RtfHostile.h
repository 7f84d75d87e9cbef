#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace rtfhostile {

struct Input {
    const char* name;
    QByteArray rtf;
    QString textEnd; // what the document's text ends with once read
};

// Content each level of tables deeper than the last.
inline QByteArray tablesInTables(int levels) {
    QByteArray rtf;
    for (int level = 1; level <= levels; ++level)
        rtf += "\\intbl\\itap" + QByteArray::number(level) + " a";
    return rtf;
}

inline QByteArray cellEdges(int count) {
    QByteArray rtf;
    for (int i = 1; i <= count; ++i)
        rtf += "\\cellx" + QByteArray::number(i * 10);
    return rtf;
}

// Rows of one cell, each ending where no other does: one grid for all would have a column for
// every row.
inline QByteArray rowsOfOwnEdges(int count) {
    QByteArray rtf;
    for (int i = 1; i <= count; ++i)
        rtf += "\\trowd\\cellx" + QByteArray::number(100 + i) + "\\intbl x\\cell\\row";
    return rtf;
}

// Inputs that punish a reader that recurses per group, rescans, or trusts a length or a count:
// deep nesting, truncation, values near the 32-bit limit. The robustness tests check what they
// read as; rtf_bench measures how fast.
inline const std::vector<Input>& inputs() {
    static const std::vector<Input> all = {
        {"100000 groups never closed", "{\\rtf1 a" + QByteArray(100'000, '{') + "b", "ab"},
        {"100000 groups closed",
         "{\\rtf1 a" + QByteArray(100'000, '{') + "b" + QByteArray(100'000, '}') + "c}", "abc"},
        {"100000 groups in a skipped destination",
         "{\\rtf1 a{\\*\\x" + QByteArray(100'000, '{') + QByteArray(100'000, '}') + "}b}", "ab"},
        {"more closes than opens", "{\\rtf1 a}}}}}b", "a"},
        {"truncated in a control word", "{\\rtf1 a\\pa", "a"},
        {"truncated in a font table", "{\\rtf1{\\fonttbl{\\f0 Ari", ""},
        {"truncated in a picture", "{\\rtf1 a{\\pict\\pngblip 8950", "a"},
        {"huge binary length", "{\\rtf1 a\\bin2147483647 xyz}", "a"},
        {"huge unicode skip", "{\\rtf1{\\uc2147483647\\u233 abc\\par}d}", "\u00E9d"},
        {"code points out of range", "{\\rtf1 \\u99999?\\u-99999?\\u2147483647?x}", "x"},
        {"100000 objects one in another",
         "{\\rtf1 a" + QByteArray("{\\object{\\result ").repeated(100'000) +
             "{\\pict\\pngblip 00}" + QByteArray(200'000, '}') + "b}",
         QString(QChar::ObjectReplacementCharacter) + "b"},
        {"10000 objects each with a picture",
         "{\\rtf1 a" +
             QByteArray("{\\object{\\*\\objdata 01}{\\result{\\pict\\pngblip 00}}}")
                 .repeated(10'000) +
             "b}",
         QString(10'000, QChar::ObjectReplacementCharacter) + "b"},
        {"truncated in an object", "{\\rtf1 a{\\object{\\*\\objdata 0105", "a"},
        {"10000 fields one in another's result",
         "{\\rtf1 a" + QByteArray("{\\field{\\*\\fldinst PAGE}{\\fldrslt ").repeated(10'000) + "b" +
             QByteArray("}}").repeated(10'000) + "c}",
         "abc"},
        {"10000 hyperlinks",
         "{\\rtf1 " +
             QByteArray("{\\field{\\*\\fldinst HYPERLINK \"http://a.b\"}{\\fldrslt x}}")
                 .repeated(10'000) +
             "y}",
         QString(10'000, u'x') + "y"},
        {"a footnote never closed", "{\\rtf1 a\\chftn{\\footnote " + QByteArray(100'000, '{'),
         "a1"},
        {"10000 footnotes",
         "{\\rtf1 " + QByteArray("\\chftn{\\footnote n}").repeated(10'000) + "z}",
         "9999" + QString("10000") + "z"},
        {"a metafile painting its whole picture 20000 times",
         "{\\rtf1 {\\pict\\wmetafile8\\picwgoal14400\\pichgoal14400 "
         "010009000003000000000000000000000000050000000c02ffffffff" +
             QByteArray("070000001b04ff7fff7f00800080").repeated(20'000) + "}z}",
         QString(QChar::ObjectReplacementCharacter) + "z"},
        // Tables: depth, width and spans a file can ask for without bound.
        {"100000 tables one in another", "{\\rtf1 " + tablesInTables(100'000) + "b}", "ab"},
        {"100000 cells in a row",
         "{\\rtf1\\trowd\\cellx100 " + QByteArray("\\intbl x\\cell").repeated(100'000) +
             "\\row\\pard b}",
         "x\nb"},
        {"100000 cell definitions",
         "{\\rtf1\\trowd" + cellEdges(100'000) + "\\intbl a\\cell\\row\\pard b}", "a\nb"},
        {"20000 rows each with edges of its own", "{\\rtf1 " + rowsOfOwnEdges(20'000) + "\\pard b}",
         "x\nb"},
        {"10000 cells merged down",
         "{\\rtf1 " +
             QByteArray("\\trowd\\clvmgf\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row"
                        "\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl\\cell c\\cell\\row")
                 .repeated(10'000) +
             "\\pard d}",
         "c\nd"},
        {"truncated in a nested table", "{\\rtf1\\intbl a\\cell\\intbl\\itap2 b\\nestcell c",
         "c\n\n"},
    };
    return all;
}

} // namespace rtfhostile
