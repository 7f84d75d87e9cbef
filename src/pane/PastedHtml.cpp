#include "pane/PastedHtml.h"

#include "pane/HtmlTagReader.h"
#include "pictures/DataUrlPicture.h"
#include "rtf/RtfTables.h"

#include <QHash>
#include <vector>

namespace PastedHtml {

namespace {

// Characters of text a row read as text needs before the next row starts a paragraph.
constexpr qsizetype minRowParagraph = 64;

bool isOneOf(const QString& name, std::initializer_list<const char*> names) {
    for (const char* one : names) {
        if (name == QLatin1String(one))
            return true;
    }
    return false;
}

// Elements Qt's reader gives no children: what follows them is their parent's.
bool isVoid(const QString& name) {
    return isOneOf(name, {"img", "hr", "br", "meta"});
}

// Elements without content that Qt's reader would take for the parent of all that follows them,
// hiding it (a style sheet's <link>) or nesting it deeper with each one. Nothing of them shows.
bool isLeftOut(const QString& name) {
    return isOneOf(name, {"link", "base", "col", "embed", "input", "source", "track", "wbr", "area",
                          "param", "keygen", "basefont", "frame", "isindex"});
}

bool isTablePart(const QString& name) {
    return isOneOf(name, {"table", "tr", "td", "th", "thead", "tbody", "tfoot", "caption"});
}

// Elements certainly shown inline by Qt's reader; any other is taken as a block, which at
// worst counts an element Qt has closed as still open.
bool isInline(const QString& name) {
    return isOneOf(name, {"a",    "b",    "i",    "u",   "s",     "em",  "strong", "span",
                          "font", "code", "tt",   "big", "small", "sub", "sup",    "strike",
                          "cite", "kbd",  "samp", "var", "dfn",   "nobr"});
}

struct Element {
    QString name;
    int cellsInRow = 0; // for a table: cells in its current row; for a list: its items
    bool rowFull = false;
    QString source = {}; // for a list: its opening tag
};

QString escaped(const QString& value) {
    QString out = value;
    out.replace(u'&', QLatin1String("&amp;"));
    out.replace(u'"', QLatin1String("&quot;"));
    out.replace(u'<', QLatin1String("&lt;"));
    return out;
}

class Bounder {
public:
    explicit Bounder(QStringView html) : s_(html), reader_(html, maxAttribute) {
        out_.reserve(html.size());
        const qsizetype tags = qMax<qsizetype>(1, html.count(u'<'));
        rulesLeft_ = maxRuleMatches / tags;
        // Qt lays out every paragraph of a document that holds a table, where the pane lays out
        // only what it shows: markup with more cells than could be kept is read without tables,
        // so that the cells' text stays quick to show.
        noTables_ = cellTags(html) > maxCells;
    }

    static qsizetype cellTags(QStringView html) {
        qsizetype cells = 0;
        for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
            const QStringView name = html.mid(at + 1, 3);
            if (name.size() == 3 &&
                (name.startsWith(QLatin1String("td"), Qt::CaseInsensitive) ||
                 name.startsWith(QLatin1String("th"), Qt::CaseInsensitive)) &&
                !name[2].isLetterOrNumber())
                ++cells;
        }
        return cells;
    }

    Bounded run() {
        qsizetype pos = 0;
        while (pos < s_.size()) {
            const qsizetype open = s_.indexOf(u'<', pos);
            const qsizetype textEnd = open < 0 ? s_.size() : open;
            if (textEnd > pos)
                text(s_.mid(pos, textEnd - pos));
            styleText_ = false;
            if (open < 0)
                break;
            pos = element(open);
        }
        return {std::move(out_), std::move(pictures_), listsSplit_};
    }

private:
    void text(QStringView run) {
        if (!styleText_) {
            // A paragraph separator starts a paragraph without the node a tag costs Qt's reader
            // (a kilobyte each); only text that follows needs one.
            if (breakPending_ && !run.trimmed().isEmpty()) {
                out_ += QChar::ParagraphSeparator;
                breakPending_ = false;
                textSinceBreak_ = 0;
            }
            out_ += run;
            textSinceBreak_ += run.size();
            return;
        }
        // The text right after <style> is what Qt reads as the style sheet: as many of its
        // rules as the budget allows. Character references could hide braces from the count.
        if (run.contains(u'&'))
            return;
        qsizetype kept = 0;
        for (qsizetype i = 0; i < run.size() && rulesLeft_ > 0; ++i) {
            if (run[i] == u'}') {
                kept = i + 1;
                --rulesLeft_;
            }
        }
        if (rulesLeft_ > 0)
            kept = run.size();
        out_ += run.first(kept);
    }

    qsizetype element(qsizetype start) {
        HtmlTag tag = reader_.tag(start, false);
        if (tag.declaration)
            return tag.end;
        // Office's <?xml ...?> and the like: Qt would read them as elements that never close.
        // A tag without a name is text to Qt's reader, which a closing one without a name ends.
        if (tag.name.isEmpty() || (!tag.closing && tag.name.startsWith(u'?')))
            return tag.end;
        if (!tag.closing && (tag.longAttribute || tag.name == QLatin1String("img")))
            tag = reader_.tag(start, true);
        const QStringView source = s_.mid(start, tag.end - start);
        if (tag.closing)
            close(tag, source);
        else
            open(tag, source);
        return tag.end;
    }

    // ---- opening tags

    void open(HtmlTag& tag, QStringView source) {
        const QString& name = tag.name;
        if (isLeftOut(name))
            return;
        if (isVoid(name)) {
            emitTag(tag, source);
            return;
        }
        if (isTablePart(name)) {
            if (flatTables_ > 0 || tag.selfClosed)
                flatOpen(name);
            else
                tablePart(tag, source);
            return;
        }
        if (tag.selfClosed) {
            emitTag(tag, source);
            return;
        }
        makeRoomFor(name);
        // The items of a list left out are left out too: Qt would make them items of the list
        // it puts them in, each costing several times a paragraph.
        const bool inListLeftOut =
            name == QLatin1String("li") &&
            (dropped_.value(QStringLiteral("ul")) > 0 || dropped_.value(QStringLiteral("ol")) > 0);
        if (stack_.size() >= size_t(maxDepth) || inListLeftOut) {
            ++dropped_[name];
            // The text of a block left out stays apart from the text before it. A paragraph of
            // its own would cost Qt hundreds of bytes for each, however short its text.
            if (!isInline(name))
                out_ += u' ';
            return;
        }
        if (name == QLatin1String("li"))
            startItem();
        emitTag(tag, source);
        stack_.push_back({name});
        if (name == QLatin1String("ul") || name == QLatin1String("ol"))
            stack_.back().source = source.toString();
        styleText_ = name == QLatin1String("style");
    }

    // Qt marks every item of a list again each time one joins it: a long list goes on as a list
    // of its own, which counts on from it.
    void startItem() {
        for (size_t i = stack_.size(); i-- > 0;) {
            Element& list = stack_[i];
            if (list.name != QLatin1String("ul") && list.name != QLatin1String("ol"))
                continue;
            if (++list.cellsInRow <= maxListItems)
                return;
            const QString reopened = list.source;
            out_ += QLatin1String("</") + list.name + u'>' + reopened;
            stack_.resize(i + 1);
            stack_.back().cellsInRow = 1;
            listsSplit_ = true;
            return;
        }
    }

    // Pops what Qt's reader closes before it places `name`.
    void makeRoomFor(const QString& name) {
        if (stack_.empty())
            return;
        if (name == QLatin1String("p")) {
            for (size_t i = stack_.size(); i-- > 0;) {
                if (stack_[i].name == QLatin1String("p")) {
                    stack_.resize(i);
                    return;
                }
                if (!isInline(stack_[i].name))
                    return;
            }
            return;
        }
        if (name == QLatin1String("li") && stack_.back().name == name) {
            stack_.pop_back();
            return;
        }
        if (name == QLatin1String("dd"))
            popUntil({"dt", "dl"});
        else if (name == QLatin1String("dt"))
            popUntil({"dl"});
        else if (name == QLatin1String("body") && stack_.back().name == QLatin1String("head"))
            stack_.pop_back();
    }

    void popUntil(std::initializer_list<const char*> parents) {
        while (!stack_.empty() && !isOneOf(stack_.back().name, parents))
            stack_.pop_back();
    }

    // The innermost table kept open, or -1.
    int innermostTable() const {
        for (size_t i = stack_.size(); i-- > 0;) {
            if (stack_[i].name == QLatin1String("table"))
                return int(i);
        }
        return -1;
    }

    void tablePart(const HtmlTag& tag, QStringView source) {
        const QString& name = tag.name;
        const int depth = int(stack_.size());
        if (name == QLatin1String("table")) {
            int tables = 0;
            for (const Element& element : stack_)
                tables += element.name == QLatin1String("table");
            if (noTables_ || depth + 1 > maxDepth || tables >= maxTableDepth ||
                cells_ >= maxCells) {
                flatTables_ = 1;
                return;
            }
            emitTag(tag, source);
            stack_.push_back({name});
            return;
        }
        const int table = innermostTable();
        if (table < 0) {
            flatOpen(name);
            return;
        }
        if (name == QLatin1String("tr")) {
            while (!isOneOf(stack_.back().name, {"table", "thead", "tbody", "tfoot"}))
                stack_.pop_back();
            if (int(stack_.size()) + 1 > maxDepth || cells_ >= maxCells)
                return flatten(table, name);
            stack_[size_t(table)].cellsInRow = 0;
            stack_[size_t(table)].rowFull = false;
            emitTag(tag, source);
            stack_.push_back({name});
            return;
        }
        if (name == QLatin1String("td") || name == QLatin1String("th")) {
            int row = -1;
            for (int i = int(stack_.size()) - 1; i > table; --i) {
                if (stack_[size_t(i)].name == QLatin1String("tr")) {
                    row = i;
                    break;
                }
            }
            if (row >= 0 && stack_[size_t(table)].rowFull) {
                out_ += u' ';
                return;
            }
            const int needed = row >= 0 ? row + 2 : int(stack_.size()) + 2;
            if (needed > maxDepth || cells_ >= maxCells)
                return flatten(table, name);
            if (row >= 0) {
                stack_.resize(size_t(row) + 1);
            } else {
                // Qt's reader makes a row of its own for a cell outside one.
                stack_[size_t(table)].cellsInRow = 0;
                stack_[size_t(table)].rowFull = false;
                out_ += QLatin1String("<tr>");
                stack_.push_back({QStringLiteral("tr")});
            }
            emitTag(tag, source);
            stack_.push_back({name});
            ++cells_;
            Element& kept = stack_[size_t(table)];
            kept.rowFull = ++kept.cellsInRow >= rtf::RowDefinition::maxCells;
            return;
        }
        // thead, tbody, tfoot, caption: Qt places them in the table itself.
        stack_.resize(size_t(table) + 1);
        if (int(stack_.size()) + 1 > maxDepth)
            return flatten(table, name);
        emitTag(tag, source);
        stack_.push_back({name});
    }

    // Ends the table at `table` here; the rest of it is read as text.
    void flatten(int table, const QString& name) {
        out_ += QLatin1String("</table>");
        stack_.resize(size_t(table));
        flatTables_ = 1;
        flatOpen(name);
    }

    // A part of a table read as text: rows are paragraphs, cells are apart.
    void flatOpen(const QString& name) {
        if (name == QLatin1String("table"))
            ++flatTables_;
        else if (name == QLatin1String("tr"))
            startRow();
        else if (name == QLatin1String("td") || name == QLatin1String("th"))
            out_ += u' ';
    }

    // A row read as text starts a paragraph once the text since the last one is long enough to
    // be worth the few hundred bytes a paragraph costs Qt; short rows share one, apart.
    void startRow() {
        if (textSinceBreak_ >= minRowParagraph)
            breakPending_ = true;
        else
            out_ += u' ';
    }

    // ---- closing tags

    void close(const HtmlTag& tag, QStringView source) {
        const QString& name = tag.name;
        if (flatTables_ > 0 && isTablePart(name)) {
            if (name == QLatin1String("table")) {
                --flatTables_;
                out_ += u' ';
            }
            return;
        }
        if (auto found = dropped_.find(name); found != dropped_.end() && *found > 0) {
            --*found;
            return;
        }
        if (name == QLatin1String("td") || name == QLatin1String("th")) {
            const int table = innermostTable();
            if (table >= 0 && stack_[size_t(table)].rowFull)
                return;
        }
        for (size_t i = stack_.size(); i-- > 0;) {
            if (stack_[i].name == name) {
                stack_.resize(i);
                out_ += source;
                return;
            }
        }
        // Closes nothing open: Qt would look for it all the way up, for nothing.
    }

    // ---- writing a tag

    void emitTag(const HtmlTag& tag, QStringView source) {
        if (!isInline(tag.name)) {
            breakPending_ = false;
            textSinceBreak_ = 0;
        }
        if (!tag.longAttribute && tag.name != QLatin1String("img")) {
            out_ += source;
            return;
        }
        bool changed = tag.longAttribute;
        std::vector<std::pair<QString, QString>> attributes;
        for (const HtmlAttribute& attribute : tag.attributes) {
            const bool isSource =
                attribute.key == QLatin1String("src") || attribute.key == QLatin1String("source");
            const qsizetype length = attribute.valueEnd - attribute.valueStart;
            QStringView start = s_.mid(attribute.valueStart, qMax<qsizetype>(0, qMin(length, 64)));
            if (start.startsWith(u'"') || start.startsWith(u'\''))
                start = start.mid(1);
            if (isSource && length > 0 && DataUrlPicture::isDataUrl(start)) {
                attributes.emplace_back(attribute.key, picture(reader_.value(attribute)));
                changed = true;
            } else if (length <= maxAttribute) {
                attributes.emplace_back(attribute.key, reader_.value(attribute));
            }
        }
        if (!changed) {
            out_ += source;
            return;
        }
        out_ += u'<';
        out_ += tag.name;
        for (const auto& [key, value] : attributes)
            out_ += u' ' + key + QLatin1String("=\"") + escaped(value) + u'"';
        out_ += tag.selfClosed ? QLatin1String(" />") : QLatin1String(">");
    }

    QString picture(const QString& url) {
        QImage image = DataUrlPicture::decode(url, pixelsLeft_);
        if (!image.isNull())
            pixelsLeft_ -= qint64(image.width()) * image.height();
        pictures_.append(image);
        return pictureName(pictures_.size() - 1);
    }

    QStringView s_;
    HtmlTagReader reader_;
    QString out_;
    QList<QImage> pictures_;
    std::vector<Element> stack_;
    // Opening tags left out for their depth, by name: their closing tags go too.
    QHash<QString, int> dropped_;
    int flatTables_ = 0; // tables being read as text, nested
    int cells_ = 0;
    qint64 rulesLeft_ = 0;
    qint64 pixelsLeft_ = maxPicturePixels;
    bool styleText_ = false;
    bool noTables_ = false;
    bool breakPending_ = false;
    qsizetype textSinceBreak_ = 0;
    bool listsSplit_ = false;
};

const QString picturePrefix = QStringLiteral("pasted-picture:");

} // namespace

Bounded bound(QStringView html) {
    return Bounder(html).run();
}

QString pictureName(qsizetype index) {
    return picturePrefix + QString::number(index);
}

qsizetype pictureIndex(const QString& name) {
    if (!name.startsWith(picturePrefix))
        return -1;
    bool ok = false;
    const qsizetype index = QStringView(name).mid(picturePrefix.size()).toLongLong(&ok);
    return ok ? index : -1;
}

} // namespace PastedHtml
