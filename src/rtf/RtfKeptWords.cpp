#include "rtf/RtfKeptWords.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

namespace rtf {

namespace {

// Sorted, for a binary search.
constexpr std::string_view paragraphWords[] = {
    "adjustright", "aspalpha", "aspnum",         "contextualspace", "faauto",  "facenter",
    "fafixed",     "fahang",   "faroman",        "favar",           "hyphpar", "keep",
    "keepn",       "noline",   "nosnaplinegrid", "nowidctlpar",     "nowwrap", "outlinelevel",
    "saauto",      "sbauto",   "widctlpar",      "wrapdefault",
};
constexpr std::string_view characterWords[] = {
    "acccomma", "accdot", "accnone", "charscalex", "embo",   "expnd",   "expndtw", "impr",
    "kerning",  "lang",   "langfe",  "langfenp",   "langnp", "noproof", "outl",    "shad",
};

bool listed(const std::string_view* first, const std::string_view* last, QByteArrayView name) {
    const std::string_view word(name.data(), size_t(name.size()));
    return std::binary_search(first, last, word);
}

static_assert(std::is_sorted(std::begin(paragraphWords), std::end(paragraphWords)));
static_assert(std::is_sorted(std::begin(characterWords), std::end(characterWords)));

constexpr size_t maxKeptBytes = 256;

} // namespace

KeptWordKind keptWordKind(QByteArrayView name) {
    if (listed(std::begin(paragraphWords), std::end(paragraphWords), name))
        return KeptWordKind::Paragraph;
    if (listed(std::begin(characterWords), std::end(characterWords), name))
        return KeptWordKind::Character;
    return KeptWordKind::None;
}

void keepWord(QByteArray& words, QByteArrayView name, bool hasParam, int param) {
    QByteArray word = '\\' + name.toByteArray();
    if (hasParam)
        word += QByteArray::number(param);
    // An earlier word of the same name: its name then a digit, a '-' or the next word.
    for (qsizetype at = 0; (at = words.indexOf('\\' + name.toByteArray(), at)) >= 0;) {
        qsizetype end = at + 1 + name.size();
        if (end < words.size() && std::isalpha(static_cast<unsigned char>(words[end]))) {
            at = end;
            continue;
        }
        while (end < words.size() && words[end] != '\\')
            ++end;
        words.remove(at, end - at);
        break;
    }
    if (size_t(words.size() + word.size()) <= maxKeptBytes)
        words += word;
}

} // namespace rtf
