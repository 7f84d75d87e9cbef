#pragma once

#include <QHash>
#include <QString>

#include <array>
#include <string>
#include <vector>

class QTextBlock;
class QTextList;

namespace rtf {

// A document's lists as files describe them: a list table (\listtable, \listoverridetable) and,
// for each list paragraph, its list (\ls) and level (\ilvl), so that a reader counts them as the
// document does. Lists read from a list table keep their list; each run of other numbered lists
// becomes a list of its own, and all other bullets share one.
class ListTableWriter {
public:
    static constexpr int levels = 9;

    // Takes in the paragraphs written, in order.
    void collect(const QTextBlock& block);

    bool empty() const { return m_lists.empty(); }
    // Both tables, for the header.
    std::string tables() const;

    struct Item {
        int list = 0; // \ls, from 1
        int level = 0;
    };
    Item itemOf(const QTextList& list) const { return m_items.value(&list); }

private:
    struct Level {
        int numberFormat = 0; // \levelnfc
        int start = 1;
        QString text; // as DocumentProperty::ListLevelText has it
        bool given = false;
    };
    struct List {
        std::array<Level, levels> described{};
    };
    int add();
    void describe(const QTextList& list, Item item);

    std::vector<List> m_lists; // \ls n is m_lists[n - 1]
    QHash<const QTextList*, Item> m_items;
    QHash<int, int> m_listOfId; // DocumentProperty::ListId -> \ls
    int m_bullets = 0;          // the \ls of bullets from no list table
};

// `text` as RTF text: printable ASCII as it is, the rest as \u with a '?' for readers without it.
void appendRtfText(std::string& out, QStringView text);

} // namespace rtf
