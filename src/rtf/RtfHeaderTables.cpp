#include "rtf/RtfHeaderTables.h"

#include "text/Windows1252.h"

#include <algorithm>
#include <cctype>

namespace rtf {

namespace {
constexpr int maxColorComponent = 255;
// Numbers beyond this are damage: no list is that long.
constexpr int maxLevelStart = 1000000;
// More lists than a document has paragraphs to show them only cost memory: the last one read is
// used again past this.
constexpr size_t maxLists = 4096;
// Longer level texts than their length says are damage.
constexpr size_t maxLevelTextBytes = 512;
// Real documents name a few hundred fonts at most. Each distinct font costs the document a
// format and the window a font to match, so text in fonts past these is in the default font.
constexpr size_t maxFonts = 32768;
} // namespace

void FontTable::word(Word id, int value) {
    switch (id) {
    case Word::Font:
        m_id = value;
        m_charset = -1;
        m_cpg = -1;
        m_name.clear();
        m_decoded.clear();
        break;
    case Word::FontCharset:
        m_charset = value;
        break;
    case Word::CodePage:
        m_cpg = value;
        break;
    default:
        break;
    }
}

void FontTable::text(QByteArrayView bytes, int ansiCodePage, TextDecoder& decoder) {
    while (!bytes.isEmpty()) {
        const qsizetype semicolon = bytes.indexOf(';');
        if (semicolon < 0) {
            m_name.append(bytes.data(), bytes.size());
            return;
        }
        m_name.append(bytes.data(), semicolon);
        commit(ansiCodePage, decoder);
        bytes = bytes.sliced(semicolon + 1);
    }
}

void FontTable::entryGroupEnd(int ansiCodePage, TextDecoder& decoder) {
    if (!m_name.trimmed().isEmpty() || !m_decoded.isEmpty())
        commit(ansiCodePage, decoder);
}

namespace {
// How many white-space bytes `bytes` starts (or ends) with, as QByteArray::trimmed counts them.
qsizetype whiteSpaceAt(const QByteArray& bytes, bool start) {
    qsizetype count = 0;
    while (count < bytes.size() && std::isspace(static_cast<unsigned char>(
                                       start ? bytes[count] : bytes[bytes.size() - 1 - count])))
        ++count;
    return count;
}
} // namespace

int FontTable::codePage(int ansiCodePage, QStringView name) const {
    return codePageOf(m_charset, m_cpg, ansiCodePage, name);
}

void FontTable::decodeName(int ansiCodePage, TextDecoder& decoder) {
    const int page = codePage(ansiCodePage, QString::fromLatin1(m_name));
    if (page == CodePage::symbol || page == CodePage::privateUse)
        m_decoded += QString::fromLatin1(m_name);
    else
        decoder.decode(page, m_name, m_decoded);
    m_name.clear();
}

void FontTable::unicode(char16_t c, int ansiCodePage, TextDecoder& decoder) {
    if (m_id < 0)
        return;
    if (m_decoded.isEmpty()) // a name's leading white space is not its own
        m_name.remove(0, whiteSpaceAt(m_name, true));
    decodeName(ansiCodePage, decoder);
    m_decoded += QChar(c);
}

void FontTable::commit(int ansiCodePage, TextDecoder& decoder) {
    if (m_id >= 0 && (m_fonts.size() < maxFonts || m_fonts.count(m_id))) {
        FontEntry entry;
        if (m_decoded.isEmpty()) {
            const QByteArray raw = m_name.trimmed();
            entry.codePage = codePage(ansiCodePage, QString::fromLatin1(raw));
            if (entry.codePage == CodePage::symbol || entry.codePage == CodePage::privateUse)
                entry.name = QString::fromLatin1(raw);
            else
                decoder.decode(entry.codePage, raw, entry.name);
        } else {
            m_name.chop(whiteSpaceAt(m_name, false));
            decodeName(ansiCodePage, decoder);
            entry.name = std::exchange(m_decoded, QString());
            entry.codePage = codePage(ansiCodePage, entry.name);
        }
        m_fonts.insert_or_assign(m_id, std::move(entry));
    }
    m_id = -1;
    m_name.clear();
    m_decoded.clear();
}

const FontEntry* FontTable::find(int id) const {
    const auto it = m_fonts.find(id);
    return it == m_fonts.end() ? nullptr : &it->second;
}

void ColorTable::word(Word id, int value) {
    const int component = std::clamp(value, 0, maxColorComponent);
    switch (id) {
    case Word::Red:
        m_rgb[0] = component;
        break;
    case Word::Green:
        m_rgb[1] = component;
        break;
    case Word::Blue:
        m_rgb[2] = component;
        break;
    default:
        return;
    }
    m_given = true;
}

void ColorTable::text(QByteArrayView bytes) {
    for (char c : bytes) {
        if (c != ';')
            continue;
        m_colors.push_back(m_given ? QColor(m_rgb[0], m_rgb[1], m_rgb[2]) : QColor());
        m_rgb[0] = m_rgb[1] = m_rgb[2] = 0;
        m_given = false;
    }
}

QColor ColorTable::at(int index) const {
    if (index < 0 || size_t(index) >= m_colors.size())
        return {};
    return m_colors[size_t(index)];
}

ListLevel* ListTables::currentLevel() {
    if (m_lists.empty() || m_lists.back().level < 0 || m_lists.back().level >= levels)
        return nullptr;
    return &m_lists.back().described[size_t(m_lists.back().level)];
}

void ListTables::listTableWord(Word id, int value) {
    switch (id) {
    case Word::List:
        if (m_lists.size() < maxLists)
            m_lists.emplace_back();
        else
            m_lists.back() = List();
        break;
    case Word::ListLevel:
        if (!m_lists.empty())
            ++m_lists.back().level;
        m_levelText.clear();
        break;
    case Word::LevelNfc:
        if (ListLevel* level = currentLevel())
            level->numberFormat = value;
        break;
    case Word::LevelStart:
        if (ListLevel* level = currentLevel())
            level->start = std::clamp(value, 0, maxLevelStart);
        break;
    case Word::ListId:
        if (!m_lists.empty()) {
            m_lists.back().id = value;
            if (m_listIndex.size() < maxLists || m_listIndex.count(value))
                m_listIndex[value] = m_lists.size() - 1;
        }
        break;
    default:
        break;
    }
}

namespace {

// The text of a level from its \leveltext (a length, then the characters) and the offsets of its
// placeholders in that (\levelnumbers, counting the length as 0); without offsets, the characters
// below 9 are the placeholders, as they are in every file.
QString levelTextOf(const std::vector<int>& raw, const std::vector<int>* offsets) {
    if (raw.empty())
        return {};
    size_t end = std::min(raw.size(), size_t(1 + (raw[0] & 0xFFFF)));
    if (end == raw.size() && end > 1 && raw.back() == ';')
        --end;
    QString text;
    for (size_t i = 1; i < end; ++i) {
        const int value = raw[i];
        const bool placeholder =
            offsets ? std::find(offsets->begin(), offsets->end(), int(i)) != offsets->end()
                    : value < ListTables::levels;
        if (placeholder && (value & 0xFFFF) < ListTables::levels) {
            text += QChar(char16_t(1 + (value & 0xFFFF)));
            continue;
        }
        const char16_t c = value >= 0x10000 ? char16_t(value - 0x10000)
                                            : Windows1252::toUnicode((unsigned char)value);
        if (c >= 0x20)
            text += QChar(c);
    }
    return text;
}

} // namespace

void ListTables::levelTextByte(unsigned char byte) {
    if (m_levelBytes.size() < maxLevelTextBytes)
        m_levelBytes.push_back(byte);
}

void ListTables::levelTextChar(char16_t c) {
    if (m_levelBytes.size() < maxLevelTextBytes)
        m_levelBytes.push_back(0x10000 + c);
}

void ListTables::levelTextEnd(Destination which) {
    ListLevel* level = currentLevel();
    if (which == Destination::ListLevelText) {
        m_levelText = std::exchange(m_levelBytes, {});
        if (level)
            level->text = levelTextOf(m_levelText, nullptr);
        return;
    }
    const std::vector<int> offsets = std::exchange(m_levelBytes, {});
    if (level && !m_levelText.empty())
        level->text = levelTextOf(m_levelText, &offsets);
}

void ListTables::overrideTableWord(Word id, int value) {
    switch (id) {
    case Word::ListOverride:
        m_override = Override();
        m_overrideLevel = -1;
        m_startAt = false;
        break;
    case Word::ListId:
        m_override.listId = value;
        break;
    case Word::OverrideLevel:
        ++m_overrideLevel;
        m_startAt = false;
        break;
    case Word::OverrideStartAt:
        m_startAt = true;
        break;
    case Word::LevelStart:
        if (m_startAt && m_overrideLevel >= 0 && m_overrideLevel < levels)
            m_override.starts[size_t(m_overrideLevel)] = std::clamp(value, 0, maxLevelStart);
        break;
    case Word::Ls:
        if (m_overrides.size() < maxLists || m_overrides.count(value))
            m_overrides[value] = m_override;
        break;
    default:
        break;
    }
}

std::optional<ListLevel> ListTables::level(int override, int level) const {
    const auto it = m_overrides.find(override);
    if (it == m_overrides.end())
        return std::nullopt;
    const auto list = m_listIndex.find(it->second.listId);
    if (list == m_listIndex.end())
        return std::nullopt;
    const size_t index = size_t(std::clamp(level, 0, levels - 1));
    ListLevel found = m_lists[list->second].described[index];
    if (it->second.starts[index] >= 0)
        found.start = it->second.starts[index];
    return found;
}

ListStyle ListTables::style(int override, int level) const {
    const std::optional<ListLevel> found = this->level(override, level);
    return !found || found->bullet() ? ListStyle::Bullet : ListStyle::Numbered;
}

} // namespace rtf
