#pragma once

#include <QByteArray>

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

} // namespace rtfsample
