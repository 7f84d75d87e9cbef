#include "text/Runtime.h"

#include <vector>

// Date/time pictures. A picture is read into tokens first, because two rules need context:
// "m" means minutes right after an hour field, and any AM/PM marker turns every hour field of
// the picture to the 12-hour clock.

namespace Runtime {

namespace {

struct Token {
    enum class Kind { Literal, Field, DateSeparator, TimeSeparator, Marker } kind;
    QChar letter;  // Field: d, m, y, h, n, s, w or q, lower case
    int count = 0; // Field: how many times the letter was repeated
    QString text;  // Literal: the text; Marker: the morning text
    QString other; // Marker: the afternoon text
};

bool startsWith(const QString& picture, qsizetype at, QLatin1StringView what) {
    return QStringView(picture).mid(at).startsWith(what, Qt::CaseInsensitive);
}

std::vector<Token> tokenize(const QString& picture, const QLocale& locale) {
    static const QString fieldLetters = QStringLiteral("dmyhnswq");
    std::vector<Token> tokens;
    auto literal = [&](const QString& text) {
        if (!tokens.empty() && tokens.back().kind == Token::Kind::Literal)
            tokens.back().text += text;
        else
            tokens.push_back({Token::Kind::Literal, {}, 0, text, {}});
    };
    const qsizetype size = picture.size();
    for (qsizetype i = 0; i < size;) {
        const QChar c = picture[i];
        if (c == u'"') {
            const qsizetype close = picture.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? size : close;
            literal(picture.mid(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == u'\\') {
            if (i + 1 < size)
                literal(picture.mid(i + 1, 1));
            i += 2;
        } else if (startsWith(picture, i, QLatin1StringView("AM/PM"))) {
            tokens.push_back(
                {Token::Kind::Marker, {}, 0, picture.mid(i, 2), picture.mid(i + 3, 2)});
            i += 5;
        } else if (startsWith(picture, i, QLatin1StringView("A/P"))) {
            tokens.push_back(
                {Token::Kind::Marker, {}, 0, picture.mid(i, 1), picture.mid(i + 2, 1)});
            i += 3;
        } else if (startsWith(picture, i, QLatin1StringView("AMPM"))) {
            tokens.push_back({Token::Kind::Marker, {}, 0, locale.amText(), locale.pmText()});
            i += 4;
        } else if (fieldLetters.contains(c.toLower())) {
            const QChar letter = c.toLower();
            qsizetype end = i + 1;
            while (end < size && picture[end].toLower() == letter)
                ++end;
            tokens.push_back({Token::Kind::Field, letter, int(end - i), {}, {}});
            i = end;
        } else if (c == u'/') {
            tokens.push_back({Token::Kind::DateSeparator, {}, 0, {}, {}});
            ++i;
        } else if (c == u':') {
            tokens.push_back({Token::Kind::TimeSeparator, {}, 0, {}, {}});
            ++i;
        } else {
            literal(QString(c));
            ++i;
        }
    }
    return tokens;
}

// The first character of a locale format that is neither a letter, a blank nor quoted text.
QString separatorOf(const QString& localeFormat, const QString& fallback) {
    bool quoted = false;
    for (QChar c : localeFormat) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return fallback;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The week that holds January 1 is week 1, and weeks start on Sunday.
int weekOfYear(const QDate& date) {
    const int januaryFirstWeekday = QDate(date.year(), 1, 1).dayOfWeek() % 7;
    return (date.dayOfYear() - 1 + januaryFirstWeekday) / 7 + 1;
}

QString field(const Token& token, bool minutes, bool twelveHour, const QDateTime& when,
              const QLocale& locale) {
    const QDate date = when.date();
    const QTime time = when.time();
    const int n = token.count;
    switch (token.letter.unicode()) {
    case u'd':
        if (n <= 2)
            return n == 1 ? QString::number(date.day()) : twoDigits(date.day());
        if (n <= 4)
            return locale.dayName(date.dayOfWeek(),
                                  n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        return locale.toString(date, n == 5 ? QLocale::ShortFormat : QLocale::LongFormat);
    case u'm':
        if (n <= 2) {
            const int value = minutes ? time.minute() : date.month();
            return n == 1 ? QString::number(value) : twoDigits(value);
        }
        return locale.monthName(date.month(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
    case u'y':
        if (n == 1)
            return QString::number(date.dayOfYear());
        if (n < 4)
            return twoDigits(date.year() % 100);
        return QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    case u'h': {
        int hour = time.hour();
        if (twelveHour)
            hour = hour % 12 == 0 ? 12 : hour % 12;
        return n == 1 ? QString::number(hour) : twoDigits(hour);
    }
    case u'n':
        return n == 1 ? QString::number(time.minute()) : twoDigits(time.minute());
    case u's':
        return n == 1 ? QString::number(time.second()) : twoDigits(time.second());
    case u'w':
        return QString::number(n == 1 ? date.dayOfWeek() % 7 + 1 : weekOfYear(date));
    case u'q':
        return QString::number((date.month() - 1) / 3 + 1);
    }
    return {};
}

QString applyPicture(const QDateTime& when, const QString& picture, const QLocale& locale) {
    const std::vector<Token> tokens = tokenize(picture, locale);
    bool twelveHour = false;
    for (const Token& token : tokens)
        twelveHour = twelveHour || token.kind == Token::Kind::Marker;
    const QString dateSeparator =
        separatorOf(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
    const QString timeSeparator =
        separatorOf(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
    const bool afternoon = when.time().hour() >= 12;

    QString out;
    QChar previousField;
    for (const Token& token : tokens) {
        switch (token.kind) {
        case Token::Kind::Literal:
            out += token.text;
            break;
        case Token::Kind::DateSeparator:
            out += dateSeparator;
            break;
        case Token::Kind::TimeSeparator:
            out += timeSeparator;
            break;
        case Token::Kind::Marker:
            out += afternoon ? token.other : token.text;
            break;
        case Token::Kind::Field:
            out += field(token, previousField == u'h', twelveHour, when, locale);
            previousField = token.letter;
            break;
        }
    }
    return out;
}

// Qt's long time format names the time zone; the long time shown in the date box is the
// clock time alone, so the zone and the blanks before it are dropped.
QString longTime(const QTime& time, const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (withoutZone.endsWith(u' '))
                withoutZone.chop(1);
            continue;
        }
        withoutZone += c;
    }
    return locale.toString(time, withoutZone.trimmed());
}

} // namespace

QString Format(const QDateTime& when, const QString& picture, const QLocale& locale) {
    const QString name = picture.trimmed().toLower();
    if (name == u"long date")
        return locale.toString(when.date(), QLocale::LongFormat);
    if (name == u"short date")
        return locale.toString(when.date(), QLocale::ShortFormat);
    if (name == u"long time")
        return longTime(when.time(), locale);
    if (name == u"short time")
        return applyPicture(when, QStringLiteral("hh:nn"), locale);
    if (name == u"general date")
        return locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
               longTime(when.time(), locale);
    return applyPicture(when, picture, locale);
}

QStringList dateStampEntries(const QDateTime& now, const QLocale& locale) {
    static const char* const pictures[] = {
        "long time", "long date", "dddd,mmmm dd,yyyy", "m/d/yy",      "dddd,mmmm dd,yyyy",
        "d-mmm",     "mmmm-yy",   "hh:mm AM/PM",       "h:mm:ss a/p", "d-mmmm h:mm"};
    QStringList entries;
    for (const char* picture : pictures)
        entries << Format(now, QString::fromLatin1(picture), locale);
    return entries;
}

} // namespace Runtime
