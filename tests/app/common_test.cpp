#include "app/Common.h"
#include "platform/Error.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The step rule as written: rebuild the text after every match and search again one
// character after where the match began.
QString replacedStepByStep(QString text, const QString& find, const QString& replacement) {
    qsizetype pos = 0;
    for (;;) {
        const qsizetype at = text.indexOf(find, pos, Qt::CaseInsensitive);
        if (at < 0)
            return text;
        text = text.left(at) + replacement + text.mid(at + find.size());
        pos = at + 1;
    }
}

TEST(CommonReplaceText, Cases) {
    const struct {
        const char* text;
        const char* find;
        const char* replacement;
        const char* result;
    } cases[] = {
        {"\"/home/me/a b.rtf\"", "\"", "", "/home/me/a b.rtf"},
        {"\"\"", "\"", "", "\""},
        {"Hello HELLO hello", "hello", "bye", "bye bye bye"},
        {"aaa", "a", "ab", "ababab"},
        {"AXa", "xa", "ax", "Aax"},
        {"text", "", "x", "text"},
    };
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.text);
        Common::ReplaceText(text, QString::fromLatin1(c.find), QString::fromLatin1(c.replacement));
        EXPECT_EQ(text, QString::fromLatin1(c.result)) << c.text << " / " << c.find;
    }
}

TEST(CommonReplaceText, AgreesWithTheStepRule) {
    // Small alphabets make matches that start inside a replacement and run on into the text.
    const QString finds[] = {"a", "A", "ab", "aba", "bA", "\""};
    const QString replacements[] = {"", "b", "ba", "bba", "xyz", "AB", "b\""};
    QRandomGenerator random(20261206);
    for (int round = 0; round < 400; ++round) {
        QString text;
        for (int i = int(random.bounded(12)); i > 0; --i)
            text += QStringLiteral("aAb\"")[random.bounded(4)];
        for (const QString& find : finds)
            for (const QString& replacement : replacements) {
                if (replacement.mid(1).contains(find, Qt::CaseInsensitive))
                    continue;
                QString fast = text;
                Common::ReplaceText(fast, find, replacement);
                ASSERT_EQ(fast, replacedStepByStep(text, find, replacement))
                    << text.toStdString() << " / " << find.toStdString() << " / "
                    << replacement.toStdString();
            }
    }
}

TEST(CommonReplaceText, EndlessReplacementIsAnError) {
    QString text = QStringLiteral("a");
    try {
        Common::ReplaceText(text, "a", "aa");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number, 14);
    }
    QString without = QStringLiteral("b");
    Common::ReplaceText(without, "a", "aa");
    EXPECT_EQ(without, "b");
}

TEST(CommonReplaceText, LongQuotedTextIsLinear) {
    QString text;
    text.fill(u'"', 2'000'000);
    Common::ReplaceText(text, "\"", "");
    EXPECT_EQ(text.size(), 1'000'000);
}

TEST(CommonIni, ValuesAreCappedAndWritesNeverThrow) {
    QTemporaryDir folder;
    const QString path = folder.filePath("multi.ini");
    const QString longValue(300, u'7');
    EXPECT_TRUE(Common::WriteIniValue("SIZE", "qlet_Width", longValue, path));
    EXPECT_EQ(Common::GetIniValue("SIZE", "qlet_Width", path), longValue.left(254));
    EXPECT_EQ(Common::GetIniValue("SIZE", "qlet_Left", path), "");
    EXPECT_EQ(Common::GetIniValue("SIZE", "qlet_Left", folder.filePath("absent.ini")), "");
    EXPECT_FALSE(Common::WriteIniValue("SIZE", "qlet_Top", "1", folder.filePath("x/multi.ini")));
}

} // namespace
