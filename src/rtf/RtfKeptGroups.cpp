#include "rtf/RtfKeptGroups.h"

#include "model/DocumentProperties.h"
#include "rtf/RtfHeaderTables.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <set>

namespace rtf {

namespace {

const QUrl resourceName(QStringLiteral("rtf-kept:"));

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

enum class Reference { None, Font, Color };

// Words whose number is an entry of the font table or of the colour table.
Reference referenceOf(QByteArrayView name) {
    static constexpr std::string_view fonts[] = {"af", "f", "pnf"};
    static constexpr std::string_view colors[] = {
        "brdrcf",  "cb",      "cbpat",     "cf",   "cfpat",   "chcbpat", "chcfpat",
        "clcbpat", "clcfpat", "highlight", "pncf", "trcbpat", "trcfpat", "ulc"};
    const std::string_view word(name.data(), size_t(name.size()));
    if (std::find(std::begin(fonts), std::end(fonts), word) != std::end(fonts))
        return Reference::Font;
    if (std::find(std::begin(colors), std::end(colors), word) != std::end(colors))
        return Reference::Color;
    return Reference::None;
}

// Calls `found(kind, number, numberStart, numberEnd)` for each font or colour number in `rtf`,
// skipping \bin data and escaped characters as the tokenizer does.
template <typename Found> void forEachReference(QByteArrayView rtf, Found found) {
    const qsizetype size = rtf.size();
    qsizetype pos = 0;
    while (pos < size) {
        if (rtf[pos] != '\\') {
            ++pos;
            continue;
        }
        ++pos;
        if (pos >= size)
            break;
        if (!isLetter(rtf[pos])) {
            pos += rtf[pos] == '\'' ? 3 : 1;
            continue;
        }
        const qsizetype nameStart = pos;
        while (pos < size && isLetter(rtf[pos]))
            ++pos;
        const QByteArrayView name = rtf.sliced(nameStart, pos - nameStart);
        const qsizetype numberStart = pos;
        if (pos + 1 < size && rtf[pos] == '-' && isDigit(rtf[pos + 1]))
            ++pos;
        long long value = 0;
        while (pos < size && isDigit(rtf[pos])) {
            value = std::min<long long>(value * 10 + (rtf[pos] - '0'), INT_MAX);
            ++pos;
        }
        const bool hasNumber = pos > numberStart && rtf[numberStart] != '-';
        if (name == "bin") {
            if (pos < size && rtf[pos] == ' ')
                ++pos;
            pos += qsizetype(std::min<long long>(value, size - pos));
            continue;
        }
        if (const Reference kind = referenceOf(name); kind != Reference::None && hasNumber)
            found(kind, int(value), numberStart, pos);
    }
}

QVariantList toVariant(const KeptGroup& group) {
    QVariantList fonts;
    for (const auto& font : group.fonts)
        fonts << font.number << font.name << font.codePage;
    QVariantList colors;
    for (const auto& color : group.colors)
        colors << color.number << color.rgb;
    return {int(group.kind), group.bytes,    fonts,        colors,
            group.parent,    group.numbered, group.section};
}

KeptGroup fromVariant(const QVariant& value) {
    const QVariantList list = value.toList();
    KeptGroup group;
    if (list.size() != 7)
        return group;
    group.kind = KeptGroup::Kind(std::clamp(list[0].toInt(), 0, int(KeptGroup::Kind::Hidden)));
    group.bytes = list[1].toByteArray();
    const QVariantList fonts = list[2].toList();
    for (qsizetype i = 0; i + 2 < fonts.size(); i += 3)
        group.fonts.push_back({fonts[i].toInt(), fonts[i + 1].toString(), fonts[i + 2].toInt()});
    const QVariantList colors = list[3].toList();
    for (qsizetype i = 0; i + 1 < colors.size(); i += 2)
        group.colors.push_back({colors[i].toInt(), QRgb(colors[i + 1].toUInt())});
    group.parent = list[4].toInt();
    group.numbered = list[5].toBool();
    group.section = std::max(0, list[6].toInt());
    return group;
}

} // namespace

KeptGroup KeptGroup::of(Kind kind, QByteArrayView bytes, const HeaderTables& tables) {
    KeptGroup group;
    group.kind = kind;
    group.bytes = bytes.toByteArray();
    std::set<int> fonts;
    std::set<int> colors;
    forEachReference(bytes, [&](Reference reference, int number, qsizetype, qsizetype) {
        (reference == Reference::Font ? fonts : colors).insert(number);
    });
    for (int number : fonts) {
        if (const FontEntry* font = tables.fonts.find(number))
            group.fonts.push_back({number, font->name, font->codePage});
    }
    for (int number : colors) {
        if (const QColor color = tables.colors.at(number); color.isValid())
            group.colors.push_back({number, color.rgb()});
    }
    return group;
}

QByteArray KeptGroup::rewritten(const std::function<int(const QString&, int)>& font,
                                const std::function<int(QRgb)>& color) const {
    QByteArray out;
    out.reserve(bytes.size() + 16);
    qsizetype copied = 0;
    forEachReference(bytes, [&](Reference reference, int number, qsizetype start, qsizetype end) {
        // Numbers the file's tables did not have stand for the default font and colour.
        int renumbered = 0;
        if (reference == Reference::Font) {
            const auto it = std::find_if(fonts.begin(), fonts.end(),
                                         [&](const Font& f) { return f.number == number; });
            renumbered = it == fonts.end() ? 0 : font(it->name, it->codePage);
        } else {
            const auto it = std::find_if(colors.begin(), colors.end(),
                                         [&](const Color& c) { return c.number == number; });
            renumbered = it == colors.end() ? 0 : color(it->rgb);
        }
        out.append(bytes.constData() + copied, start - copied);
        out.append(QByteArray::number(renumbered));
        copied = end;
    });
    out.append(bytes.constData() + copied, bytes.size() - copied);
    return out;
}

namespace KeptGroups {

void store(QTextDocument& document, const std::vector<KeptGroup>& groups) {
    QVariantList list;
    list.reserve(qsizetype(groups.size()));
    for (const KeptGroup& group : groups)
        list.append(QVariant(toVariant(group)));
    document.addResource(QTextDocument::UserResource, resourceName, list);
}

std::vector<KeptGroup> load(const QTextDocument& document) {
    std::vector<KeptGroup> groups;
    const QVariantList list = document.resource(QTextDocument::UserResource, resourceName).toList();
    groups.reserve(size_t(list.size()));
    for (const QVariant& value : list)
        groups.push_back(fromVariant(value));
    return groups;
}

void adopt(QTextDocument& document, const std::vector<KeptGroup>& from, QTextDocument& owner) {
    struct Marked {
        int position;
        int length;
        int field;
        int footnote;
        QList<int> emptyFields;
        QList<int> hidden;
    };
    std::vector<Marked> marked;
    std::vector<std::pair<int, QList<int>>> hiddenBlocks; // block position, its hidden text
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (const QList<int> hidden =
                block.blockFormat().property(DocumentProperty::HiddenText).value<QList<int>>();
            !hidden.isEmpty())
            hiddenBlocks.emplace_back(block.position(), hidden);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int field = format.intProperty(DocumentProperty::FieldId);
            const int footnote = format.intProperty(DocumentProperty::FootnoteId);
            const QList<int> empty =
                format.property(DocumentProperty::EmptyFields).value<QList<int>>();
            const QList<int> hidden =
                format.property(DocumentProperty::HiddenText).value<QList<int>>();
            if (field || footnote || !empty.isEmpty() || !hidden.isEmpty())
                marked.push_back(
                    {fragment.position(), fragment.length(), field, footnote, empty, hidden});
        }
    }
    if (marked.empty() && hiddenBlocks.empty())
        return;
    std::vector<KeptGroup> groups = load(owner);
    QHash<int, int> renumbered;
    // Parents first, as the numbers of fields require.
    std::function<int(int)> adopted = [&](int id) {
        if (id <= 0 || size_t(id) > from.size() ||
            from[size_t(id) - 1].kind == KeptGroup::Kind::Side)
            return 0;
        if (const auto found = renumbered.constFind(id); found != renumbered.cend())
            return *found;
        KeptGroup group = from[size_t(id) - 1];
        group.parent = group.parent > 0 && group.parent < id ? adopted(group.parent) : 0;
        groups.push_back(std::move(group));
        renumbered.insert(id, int(groups.size()));
        return int(groups.size());
    };
    QTextCursor cursor(&document);
    for (const Marked& text : marked) {
        QTextCharFormat numbers;
        numbers.setProperty(DocumentProperty::FieldId, adopted(text.field));
        numbers.setProperty(DocumentProperty::FootnoteId, adopted(text.footnote));
        const auto renumber = [&](const QList<int>& ids) {
            QList<int> numbers;
            for (const int id : ids)
                numbers.append(adopted(id));
            return QVariant::fromValue(numbers);
        };
        if (!text.emptyFields.isEmpty())
            numbers.setProperty(DocumentProperty::EmptyFields, renumber(text.emptyFields));
        if (!text.hidden.isEmpty())
            numbers.setProperty(DocumentProperty::HiddenText, renumber(text.hidden));
        cursor.setPosition(text.position);
        cursor.setPosition(text.position + text.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(numbers);
    }
    for (const auto& [position, hidden] : hiddenBlocks) {
        QList<int> numbers;
        for (const int id : hidden)
            numbers.append(adopted(id));
        QTextBlockFormat format;
        format.setProperty(DocumentProperty::HiddenText, QVariant::fromValue(numbers));
        cursor.setPosition(position);
        cursor.mergeBlockFormat(format);
    }
    store(owner, groups);
}

std::vector<int> fieldPath(const std::vector<KeptGroup>& groups, const QTextCharFormat& format) {
    std::vector<int> path;
    // Parents come before the fields they hold, so the walk ends.
    for (int id = format.intProperty(DocumentProperty::FieldId);
         id > 0 && size_t(id) <= groups.size() &&
         groups[size_t(id) - 1].kind == KeptGroup::Kind::Field;) {
        path.push_back(id);
        const int parent = groups[size_t(id) - 1].parent;
        id = parent < id ? parent : 0;
    }
    std::reverse(path.begin(), path.end());
    return path;
}

QString hyperlinkTarget(const QString& instruction) {
    // Words of a field code, quoted ones with \" and \\ inside them.
    QStringList words;
    for (qsizetype i = 0; i < instruction.size();) {
        if (instruction[i].isSpace()) {
            ++i;
            continue;
        }
        QString word;
        if (instruction[i] == u'"') {
            for (++i; i < instruction.size() && instruction[i] != u'"'; ++i) {
                if (instruction[i] == u'\\' && i + 1 < instruction.size() &&
                    (instruction[i + 1] == u'"' || instruction[i + 1] == u'\\'))
                    ++i;
                word += instruction[i];
            }
            ++i;
        } else {
            while (i < instruction.size() && !instruction[i].isSpace())
                word += instruction[i++];
        }
        words << word;
    }
    if (words.isEmpty() || words[0].compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString address;
    QString place;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word.compare(u"\\l", Qt::CaseInsensitive) == 0 && i + 1 < words.size())
            place = words[++i];
        else if ((word == u"\\o" || word == u"\\t") && i + 1 < words.size())
            ++i; // a tooltip, a target frame
        else if (!word.startsWith(u'\\') && address.isEmpty())
            address = word;
    }
    return place.isEmpty() ? address : address + u'#' + place;
}

int charsetOf(int codePage) {
    static constexpr std::pair<int, int> charsets[] = {{CodePage::symbol, 2},
                                                       {CodePage::privateUse, 2},
                                                       {10000, 77},
                                                       {932, 128},
                                                       {949, 129},
                                                       {936, 134},
                                                       {950, 136},
                                                       {1253, 161},
                                                       {1254, 162},
                                                       {1258, 163},
                                                       {1255, 177},
                                                       {1256, 178},
                                                       {1257, 186},
                                                       {1251, 204},
                                                       {874, 222},
                                                       {1250, 238},
                                                       {437, 254},
                                                       {850, 255}};
    for (const auto& [page, charset] : charsets) {
        if (page == codePage)
            return charset;
    }
    return 0;
}

} // namespace KeptGroups

} // namespace rtf
