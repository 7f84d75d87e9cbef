#include "rtf/RtfFormatWords.h"

#include "model/DocumentProperties.h"
#include "model/Twips.h"
#include "rtf/RtfCharFormats.h"
#include "rtf/RtfStateWords.h"

#include <QTextBlockFormat>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace rtf {

namespace {

constexpr const char* underlineWords[] = {
    "ulnone",    "ul",         "uld",       "uldash",     "uldashd", "uldashdd",
    "uldb",      "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash",
    "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};
static_assert(std::size(underlineWords) == size_t(Underline::Wave) + 1);

constexpr const char* leaderWords[] = {"", "tldot", "tlmdot", "tlhyph", "tlul", "tlth", "tleq"};
static_assert(std::size(leaderWords) == size_t(TabLeader::Equals) + 1);

// Appends control words, remembering whether it did.
struct Words {
    explicit Words(std::string& out) : out(out) {}
    void operator()(const char* name) {
        out.append(1, '\\').append(name);
        wrote = true;
    }
    void operator()(const char* name, int value) {
        out.append(1, '\\').append(name).append(std::to_string(value));
        wrote = true;
    }
    std::string& out;
    bool wrote = false;
};

} // namespace

const char* underlineWord(Underline kind) {
    return underlineWords[size_t(kind)];
}

RunState describeRun(const QTextCharFormat& format) {
    RunState next;
    next.bold = format.fontWeight() >= QFont::DemiBold;
    next.italic = format.fontItalic();
    const QTextCharFormat::UnderlineStyle underline = format.underlineStyle();
    next.underline = underlineOf(underline);
    // The file's own kind of underline while the text is still drawn with its style.
    if (const QVariant kind = format.property(DocumentProperty::UnderlineKind);
        kind.isValid() && underline != QTextCharFormat::NoUnderline) {
        const auto given = Underline(std::clamp(kind.toInt(), 0, int(Underline::Wave)));
        if (underlineStyleOf(given) == underline)
            next.underline = given;
    }
    if (format.fontCapitalization() == QFont::AllUppercase)
        next.capitals = Capitals::All;
    else if (format.fontCapitalization() == QFont::SmallCaps)
        next.capitals = Capitals::Small;
    next.keptWords = format.stringProperty(DocumentProperty::KeptCharacterWords);
    next.strike = format.fontStrikeOut();
    const auto vertical = format.verticalAlignment();
    next.vertical = vertical == QTextCharFormat::AlignSuperScript ? 1
                    : vertical == QTextCharFormat::AlignSubScript ? 2
                                                                  : 0;
    // Raised or lowered by an amount, where the direction still agrees.
    if (const int raise = format.intProperty(DocumentProperty::RaisedBy);
        (raise > 0 && next.vertical == 1) || (raise < 0 && next.vertical == 2))
        next.raise = raise;
    return next;
}

bool writeRunChanges(std::string& out, RunState& s, const RunState& next) {
    Words word(out);
    // Kept words have no word that undoes them but \plain, after which the rest is said again.
    if (!s.keptWords.isEmpty() && next.keptWords != s.keptWords) {
        word("plain");
        s = RunState();
    }
    if (next.keptWords != s.keptWords) {
        out.append(next.keptWords.toLatin1().constData());
        word.wrote = true;
    }
    if (next.font != s.font)
        word("f", next.font);
    // Named as the double-byte font, and back to low-ANSI text, whose font the next \f names.
    if (next.asianFont != s.asianFont) {
        word("dbch");
        word("af", next.asianFont >= 0 ? next.asianFont : next.font);
        word("loch");
    }
    if (next.halfPoints != s.halfPoints)
        word("fs", next.halfPoints);
    if (next.bold != s.bold)
        word(next.bold ? "b" : "b0");
    if (next.italic != s.italic)
        word(next.italic ? "i" : "i0");
    if (next.underline != s.underline)
        word(underlineWords[size_t(next.underline)]);
    if (next.capitals != s.capitals) {
        if (s.capitals != Capitals::None)
            word(s.capitals == Capitals::All ? "caps0" : "scaps0");
        if (next.capitals != Capitals::None)
            word(next.capitals == Capitals::All ? "caps" : "scaps");
    }
    if (next.strike != s.strike)
        word(next.strike ? "strike" : "strike0");
    if (next.foreground != s.foreground)
        word("cf", next.foreground);
    if (next.background != s.background)
        word("highlight", next.background);
    if (next.vertical != s.vertical || next.raise != s.raise) {
        // Readers end a raise by its own word only, not by \nosupersub.
        int shown = s.vertical;
        if (s.raise != 0 && (next.raise == 0 || (next.raise > 0) != (s.raise > 0))) {
            word(s.raise > 0 ? "up" : "dn", 0);
            shown = 0;
        }
        if (next.raise > 0)
            word("up", next.raise);
        else if (next.raise < 0)
            word("dn", -next.raise);
        else if (next.vertical != shown)
            word(next.vertical == 1 ? "super" : next.vertical == 2 ? "sub" : "nosupersub");
    }
    s = next;
    return word.wrote;
}

bool writeLineHeight(std::string& out, const QTextBlockFormat& format) {
    Words word(out);
    const qreal height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (const int twips = std::clamp(int(std::lround(height * 2.4)), 1, maxIndentTwips))
            word("sl", twips), word("slmult", 1);
        break;
    case QTextBlockFormat::MinimumHeight:
        if (const int twips = std::clamp(Twips::fromLayout(height), 0, maxIndentTwips))
            word("sl", twips), word("slmult", 0);
        break;
    case QTextBlockFormat::FixedHeight:
        if (const int twips = std::clamp(Twips::fromLayout(height), 0, maxIndentTwips))
            word("sl", -twips), word("slmult", 0);
        break;
    default:
        break;
    }
    return word.wrote;
}

bool writeTabStops(std::string& out, const QTextBlockFormat& format) {
    Words word(out);
    const QList<int> leaders = format.property(DocumentProperty::TabLeaders).value<QList<int>>();
    // Readers take stops in the order given; some draw a stop written after a farther one as no
    // stop at all.
    QList<QTextOption::Tab> tabs = format.tabPositions();
    std::stable_sort(tabs.begin(), tabs.end(),
                     [](const QTextOption::Tab& a, const QTextOption::Tab& b) {
                         return a.position < b.position;
                     });
    for (const QTextOption::Tab& tab : tabs) {
        const int position = Twips::fromLayout(tab.position);
        for (qsizetype i = 0; i + 1 < leaders.size(); i += 2) {
            if (leaders[i] == position && leaders[i + 1] > 0 &&
                leaders[i + 1] < int(std::size(leaderWords))) {
                word(leaderWords[leaders[i + 1]]);
                break;
            }
        }
        if (tab.type == QTextOption::RightTab)
            word("tqr");
        else if (tab.type == QTextOption::CenterTab)
            word("tqc");
        else if (tab.type == QTextOption::DelimiterTab)
            word("tqdec");
        word("tx", position);
    }
    return word.wrote;
}

} // namespace rtf
