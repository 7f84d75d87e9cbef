#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <random>

namespace rtfsample {

// Formatted the way letters and reports are: runs of bold and italic in several fonts, sizes and
// colours, indented paragraphs with tab stops, bullet lists, accented and non-Latin words.
inline QByteArray generate(qsizetype targetSize, unsigned seed = 42) {
    std::mt19937 random(seed);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    static const char* words[] = {"the",
                                  "quarterly",
                                  "report",
                                  "shows",
                                  "growth",
                                  "in",
                                  "every",
                                  "region",
                                  "caf\\'e9",
                                  "na\\'efve",
                                  "\\u1046?\\u1080?\\u1079?",
                                  "\\u26085?\\u26412?",
                                  "budget",
                                  "and",
                                  "forecast",
                                  "of",
                                  "\\ldblquote quoted\\rdblquote",
                                  "\\emdash",
                                  "A-1234",
                                  "total"};
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss"
                     "\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fmodern"
                     "\\fcharset0 Courier New;}{\\f3\\fnil\\fcharset2 Symbol;}}\r\n"
                     "{\\colortbl ;\\red192\\green0\\blue0;\\red0\\green96\\blue0;\\red0\\green0"
                     "\\blue160;}\r\n\\viewkind4\\uc1";
    rtf.reserve(targetSize + 4096);
    while (rtf.size() < targetSize) {
        const int kind = pick(0, 9);
        if (kind < 3) {
            rtf +=
                "\\pard{\\pntext\\f3\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf3\\pnindent0{\\pntxtb\\'B7}}"
                "\\fi-360\\li720\\tx720 ";
        } else if (kind < 5) {
            rtf += "\\pard\\li" + QByteArray::number(pick(0, 4) * 360) +
                   "\\tx1440\\tqr\\tx5760\\sa120 ";
        } else {
            rtf += kind == 9 ? "\\pard\\qc\\sb240 " : "\\pard\\qj ";
        }
        for (int run = pick(3, 12); run > 0; --run) {
            rtf += "\\f" + QByteArray::number(pick(0, 2)) + "\\fs" +
                   QByteArray::number(pick(9, 14) * 2);
            if (pick(0, 3) == 0)
                rtf += "\\b";
            if (pick(0, 4) == 0)
                rtf += "\\i";
            if (pick(0, 9) == 0)
                rtf += "\\ul";
            rtf += "\\cf" + QByteArray::number(pick(0, 3)) + ' ';
            for (int w = pick(2, 10); w > 0; --w) {
                rtf += words[pick(0, 19)];
                rtf += pick(0, 15) == 0 ? "\\tab " : " ";
            }
            rtf += "\\b0\\i0\\ulnone ";
        }
        rtf += "\\par\r\n";
    }
    rtf += "}";
    return rtf;
}

// One table as word processors write them: borders, a shaded heading row spanning the table,
// a first column merged down over pairs of rows, and now and then a table nested in a cell.
inline QByteArray table(std::mt19937& random) {
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    static const char* words[] = {"region",   "total",    "budget", "Oslo",  "Rome",
                                  "caf\\'e9", "forecast", "42",     "1,250", "growth"};
    const int columns = pick(2, 5);
    const int rows = pick(4, 12);
    const bool nested = pick(0, 9) == 0;
    const QByteArray border = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                              "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
    auto text = [&](int count) {
        QByteArray out;
        for (int w = 0; w < count; ++w) {
            out += pick(0, 4) == 0 ? "{\\b " : "{";
            out += words[pick(0, 9)];
            out += "} ";
        }
        return out;
    };
    const int width = 9000 / columns;
    QByteArray rtf;
    for (int row = 0; row < rows; ++row) {
        rtf += "\\trowd\\trgaph108\\trleft-108";
        if (row == 0) {
            rtf += border + "\\clcbpat4\\cellx" + QByteArray::number(width * columns) + "\r\n";
            rtf += "\\pard\\intbl\\qc\\b " + text(3) + "\\b0\\cell\\row\r\n";
            continue;
        }
        for (int column = 0; column < columns; ++column) {
            rtf += border;
            if (column == 0)
                rtf += row % 2 ? "\\clvmgf" : "\\clvmrg";
            rtf += "\\cellx" + QByteArray::number(width * (column + 1));
        }
        rtf += "\r\n";
        for (int column = 0; column < columns; ++column) {
            if (column == 0 && row % 2 == 0) {
                rtf += "\\pard\\intbl\\cell\r\n";
                continue;
            }
            rtf += "\\pard\\intbl " + text(pick(1, 6));
            if (nested && row == 1 && column == 1) {
                rtf += "\\par\r\n";
                for (int inner = 0; inner < 2; ++inner) {
                    rtf += "\\pard\\intbl\\itap2 " + text(2) + "\\nestcell\\pard\\intbl\\itap2 " +
                           text(2) + "\\nestcell{\\*\\nesttableprops\\trowd\\trgaph108" + border +
                           "\\cellx1500" + border +
                           "\\cellx3000\\nestrow}{\\nonesttables\\par}\r\n";
                }
                rtf += "\\pard\\intbl\\itap1";
            }
            rtf += "\\cell\r\n";
        }
        rtf += "\\row\r\n";
    }
    return rtf;
}

// The formatted document of generate() with a table after every tenth of a megabyte or so of
// paragraphs: 100 tables to the megabyte.
inline QByteArray generateWithTables(qsizetype targetSize, unsigned seed = 42) {
    constexpr qsizetype between = 5'500;
    const QByteArray body = generate(targetSize, seed);
    std::mt19937 random(seed);
    QByteArray rtf;
    rtf.reserve(targetSize + targetSize / 4);
    // Header and colour table from the generated document, with a shading colour added.
    const qsizetype start = body.indexOf("\\viewkind4");
    rtf += body.left(start).replace("\\blue160;}", "\\blue160;\\red217\\green226\\blue243;}");
    qsizetype at = start;
    while (at < body.size() - 1 && rtf.size() < targetSize) {
        qsizetype next = body.indexOf("\\par\r\n", at + between);
        if (next < 0)
            break;
        next += 6;
        rtf += body.mid(at, next - at);
        rtf += table(random);
        rtf += "\\pard\\par\r\n";
        at = next;
    }
    rtf += "}";
    return rtf;
}

// Writes a sample to `path`, for the benchmarks that open it as a user would.
inline void writeFile(const QString& path, const QByteArray& rtf) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(rtf);
}

} // namespace rtfsample
