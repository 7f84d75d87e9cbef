#pragma once

#include "platform/rtf/RtfCodePages.h"
#include "platform/rtf/RtfControlWords.h"
#include "platform/rtf/RtfGroupState.h"

#include <QColor>
#include <QString>

#include <unordered_map>
#include <vector>

namespace rtf {

struct FontEntry {
    QString name;
    int codePage = CodePage::windows1252;
};

// \fonttbl: entries either in groups of their own or one after another, each ended by ';'.
class FontTable {
public:
    void word(Word id, int value);
    void text(QByteArrayView bytes, int ansiCodePage, TextDecoder& decoder);
    void hexByte(unsigned char byte) { m_name.append(char(byte)); }
    // \u in a name: a character no code page of the font's may have.
    void unicode(char16_t c, int ansiCodePage, TextDecoder& decoder);
    void entryGroupEnd(int ansiCodePage, TextDecoder& decoder);
    const FontEntry* find(int id) const;

private:
    void commit(int ansiCodePage, TextDecoder& decoder);
    int codePage(int ansiCodePage, QStringView name) const;
    void decodeName(int ansiCodePage, TextDecoder& decoder);

    std::unordered_map<int, FontEntry> m_fonts;
    int m_id = -1;
    int m_charset = -1;
    int m_cpg = -1;
    QByteArray m_name;
    QString m_decoded; // the name up to its last \u, when it has one
};

// \colortbl: entry 0 is usually empty, the automatic colour.
class ColorTable {
public:
    void word(Word id, int value);
    void text(QByteArrayView bytes);
    // The colour at `index`, or an invalid colour for the automatic one.
    QColor at(int index) const;

private:
    std::vector<QColor> m_colors;
    int m_rgb[3] = {0, 0, 0};
    bool m_given = false;
};

// \listtable and \listoverridetable: which \ls numbers are bullets.
class ListTables {
public:
    void listTableWord(Word id, int value);
    void overrideTableWord(Word id, int value);
    ListStyle style(int override, int level) const;

private:
    struct List {
        int id = 0;
        int level = -1;
        std::array<int, 9> numberFormat{}; // \levelnfc per level; 23 and 255 are bullets
    };
    std::vector<List> m_lists;
    std::unordered_map<int, size_t> m_listIndex; // \listid -> m_lists
    std::unordered_map<int, int> m_overrides;    // \ls -> \listid
    int m_overrideListId = 0;
};

// What the header defines for the body to refer to.
struct HeaderTables {
    FontTable fonts;
    ColorTable colors;
    ListTables lists;
    int defaultFont = 0; // \deff
};

} // namespace rtf
