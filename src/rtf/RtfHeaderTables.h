#pragma once

#include "rtf/RtfControlWords.h"
#include "rtf/RtfGroupState.h"
#include "text/RtfCodePages.h"

#include <QColor>
#include <QString>

#include <optional>

#include <unordered_map>
#include <vector>

namespace rtf {

struct FontEntry {
    QString name;
    int codePage = CodePage::windows1252;
};

// \fonttbl: entries either in groups of their own or one after another, each ended by ';'. Only
// the first few thousand fonts are kept; find() knows no others.
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

// One level of a list as \listlevel describes it.
struct ListLevel {
    int numberFormat = 0; // \levelnfc: 0 decimal, 1 and 2 upper and lower roman, 3 and 4 upper and
                          // lower letters, 22 decimal from 01, 23 and 255 bullets
    int start = 1;        // \levelstartat
    // \leveltext with each level's number as the character 1 + that level (U+0001 for the first).
    QString text;
    bool bullet() const { return numberFormat == 23 || numberFormat == 255; }
};

// \listtable and \listoverridetable: what each \ls number's levels look like.
class ListTables {
public:
    static constexpr int levels = 9;

    void listTableWord(Word id, int value);
    void overrideTableWord(Word id, int value);
    // The bytes and characters of a \leveltext or \levelnumbers group, in order.
    void levelTextByte(unsigned char byte);
    void levelTextChar(char16_t c);
    void levelTextEnd(Destination which);
    ListStyle style(int override, int level) const;
    // The level `level` of the list `override` stands for, with the start the override gives it,
    // or nothing when no list table has it.
    std::optional<ListLevel> level(int override, int level) const;

private:
    struct List {
        int id = 0;
        int level = -1;
        std::array<ListLevel, levels> described{};
    };
    ListLevel* currentLevel();
    std::vector<List> m_lists;
    std::unordered_map<int, size_t> m_listIndex; // \listid -> m_lists
    // \listoverride: the list an \ls stands for, and the levels whose start it sets again
    // (\lfolevel with \listoverridestartat), -1 for the others.
    struct Override {
        int listId = 0;
        std::array<int, levels> starts{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    };
    std::unordered_map<int, Override> m_overrides; // by \ls
    Override m_override;                           // the one being read
    int m_overrideLevel = -1;                      // its \lfolevel being read
    bool m_startAt = false;                        // that level sets its start
    // \leveltext being read: bytes as they come, characters given as \u plus 0x10000.
    std::vector<int> m_levelBytes;
    std::vector<int> m_levelText; // the level's \leveltext, until its \levelnumbers
};

// What the header defines for the body to refer to.
struct HeaderTables {
    FontTable fonts;
    ColorTable colors;
    ListTables lists;
    int defaultFont = 0; // \deff
};

} // namespace rtf
