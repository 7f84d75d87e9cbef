#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "model/Twips.h"
#include "pictures/RtfPicture.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

using rtftest::charFormatAt;
using rtftest::plainText;
using rtftest::readRtf;

namespace {

const QString dataFolder = QStringLiteral(QUILLET_TEST_DATA "/rtf");

} // namespace

TEST(RtfPeerFiles, EveryFileReadsAsItsExpectedTextAndKeepsItThroughSaveAndReopen) {
    const QStringList files = QDir(dataFolder).entryList({"*.rtf"}, QDir::Files);
    EXPECT_GE(files.size(), 3);
    for (const QString& name : files) {
        const QString expectedPath = dataFolder + "/" + QString(name).replace(".rtf", ".txt");
        ASSERT_TRUE(QFile::exists(expectedPath)) << qPrintable(name);
        auto document = readRtf(testfiles::read(dataFolder + "/" + name));
        EXPECT_EQ(plainText(*document), QString::fromUtf8(testfiles::read(expectedPath)))
            << qPrintable(name);
        const QByteArray saved = rtf::write(*document);
        auto reopened = readRtf(saved);
        EXPECT_EQ(plainText(*reopened), plainText(*document)) << qPrintable(name);
        EXPECT_EQ(rtf::write(*reopened), saved) << qPrintable(name);
    }
}

// What the synthetic reader tests cannot show: the formats as real files combine them.
TEST(RtfPeerFiles, KeyFormatsArePresent) {
    using Check = std::function<bool(const QTextCharFormat&, const QTextBlock&)>;
    const struct {
        const char* file;
        const char16_t* word;
        const char* what;
        Check check;
    } cases[] = {
        {"wordpad-bullets", u"Apples", "bulleted, its text at 720 twips after the bullet",
         [](auto&, auto& b) {
             return b.textList() && b.textList()->format().style() == QTextListFormat::ListDisc &&
                    Twips::fromLayout(b.blockFormat().leftMargin()) == 720 &&
                    b.blockFormat().textIndent() == 0;
         }},
        {"wordpad-bullets", u"Za\u017C\u00F3\u0142\u0107", "cp1250 font with its tab stops",
         [](auto& c, auto& b) {
             const auto tabs = b.blockFormat().tabPositions();
             return c.fontFamilies().toStringList() == QStringList{"Times New Roman CE"} &&
                    tabs.size() == 2 && tabs[1].type == QTextOption::RightTab &&
                    Twips::fromLayout(tabs[1].position) == 4320;
         }},
        {"abiword-letter", u"Centered", "centred bold",
         [](auto& c, auto& b) {
             return c.fontWeight() == 700 && b.blockFormat().alignment() == Qt::AlignHCenter;
         }},
        {"abiword-letter", u"Alpha", "in a bullet list",
         [](auto&, auto& b) { return b.textList(); }},
    };
    for (const auto& c : cases) {
        auto document = readRtf(testfiles::read(dataFolder + "/" + c.file + ".rtf"));
        const QString word = QString::fromUtf16(c.word);
        const int at = int(document->toPlainText().indexOf(word));
        ASSERT_GE(at, 0) << c.file << ": " << qPrintable(word);
        EXPECT_TRUE(c.check(charFormatAt(*document, at), document->findBlock(at)))
            << c.file << ": " << qPrintable(word) << " should be " << c.what;
    }
}

// A heading over two columns, a cell over two rows, shading, and a table in a cell, as the
// office suite and AbiWord write them.
TEST(RtfPeerFiles, TablesKeepTheirMergedCellsShadingAndNesting) {
    for (const char* name : {"libreoffice-tables", "abiword-tables"}) {
        auto document = readRtf(testfiles::read(dataFolder + "/" + name + ".rtf"));
        const QString text = document->toPlainText();
        const auto cursorAt = [&](const char* word) {
            QTextCursor cursor(document.get());
            cursor.setPosition(int(text.indexOf(QLatin1String(word))));
            return cursor;
        };
        const auto cellOf = [&](const char* word) {
            const QTextCursor cursor = cursorAt(word);
            const QTextTable* table = cursor.currentTable();
            return table ? table->cellAt(cursor) : QTextTableCell();
        };
        EXPECT_EQ(cellOf("Region").columnSpan(), 2) << name;
        EXPECT_EQ(cellOf("North").rowSpan(), 2) << name;
        EXPECT_EQ(cellOf("Bergen").column(), 1) << name;
        const QTextTable* inner = cursorAt("Signed").currentTable();
        ASSERT_TRUE(inner) << name;
        EXPECT_TRUE(qobject_cast<QTextTable*>(inner->parentFrame())) << name;
        EXPECT_EQ(inner->rows(), 2) << name;
        EXPECT_GT(cellOf("Total").format().toTableCellFormat().topBorder(), 0) << name;
    }
    auto office = readRtf(testfiles::read(dataFolder + "/libreoffice-tables.rtf"));
    QTextCursor region(office.get());
    region.setPosition(int(office->toPlainText().indexOf("Region")));
    EXPECT_EQ(region.currentTable()->cellAt(region).format().background().color(),
              QColor(0xd9, 0xe2, 0xf3));
}

namespace {

// The family names in an RTF font table.
QStringList fontTableNames(const QByteArray& rtf) {
    const QString table = QString::fromLatin1(rtf.mid(0, rtf.indexOf("}}") + 2));
    QStringList names;
    const QRegularExpression entry(R"(\{\\f\d+[^ ;{}]* ([^;{}]+);\})");
    for (auto it = entry.globalMatch(table); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

} // namespace

// Where the Symbol font is symbol-encoded, as on many systems, Qt shows no Unicode character in
// it and looks for none elsewhere: the characters read from it must be in a font that has them.
TEST(RtfPeerFiles, SymbolFontTextIsShownInAFontThatHasIt) {
    const int font =
        QFontDatabase::addApplicationFont(QUILLET_TEST_DATA "/fonts/symbol-encoded.ttf");
    ASSERT_GE(font, 0);
    ASSERT_TRUE(QFontDatabase::applicationFontFamilies(font).contains("Symbol"));
    const QByteArray source = testfiles::read(dataFolder + "/symbol-greek.rtf");
    auto document = readRtf(source);
    const QString text = document->toPlainText();
    for (const char16_t symbol : {u'\u2022', u'\u03B1', u'\u03B2', u'\u03B3', u'\u00B0'}) {
        const int at = int(text.indexOf(QChar(symbol)));
        ASSERT_GE(at, 0) << int(symbol);
        const QFont shown = charFormatAt(*document, at).font();
        EXPECT_TRUE(QFontMetrics(shown).inFontUcs4(symbol))
            << int(symbol) << " in " << qPrintable(shown.families().join(','));
    }
    // Saved as Unicode in the file's own text font: no font the system stood in with.
    const QByteArray saved = rtf::write(*document);
    const QStringList sourceNames = fontTableNames(source);
    for (const QString& name : fontTableNames(saved))
        EXPECT_TRUE(sourceNames.contains(name)) << qPrintable(name);
    EXPECT_EQ(readRtf(saved)->toPlainText(), text);
    QFontDatabase::removeApplicationFont(font);
}

namespace {

// The addresses the document's text links to, in order, each once.
QStringList linksOf(const QTextDocument& document) {
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !links.contains(format.anchorHref()))
                links << format.anchorHref();
        }
    }
    return links;
}

} // namespace

// What the peers' files hold beyond their text: headers, footers and footnotes are saved back,
// links show as links, pictures are drawn.
TEST(RtfPeerFiles, HeadersFootnotesLinksAndPicturesSurviveASave) {
    const struct {
        const char* file;
        QStringList links;
        int pictures; // drawn, none stood in for
        // Groups saved: headers, footers, footnotes, fields with a result.
        int headers, footers, footnotes, fields;
    } cases[] = {
        {"pandoc-notes", {"https://example.org/river", "https://example.org/data"}, 0, 0, 0, 2, 3},
        {"abiword-minutes", {"https://example.org/harbour"}, 1, 1, 1, 1, 1},
        // The office suite writes its pictures as shapes in fields, and its page styles' headers
        // once more in a table of its own that other readers pass over.
        {"office-report", {"https://example.org/berth"}, 2, 1, 1, 1, 4},
        {"headers-footers", {}, 0, 3, 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray source = testfiles::read(dataFolder + "/" + c.file + ".rtf");
        auto document = readRtf(source);
        EXPECT_EQ(linksOf(*document), c.links);
        const auto shown = rtftest::pictures(*document);
        EXPECT_EQ(shown.size(), c.pictures);
        for (const auto& picture : shown)
            EXPECT_FALSE(rtf::isPlaceholder(picture.image));
        const QByteArray saved = rtf::write(*document);
        EXPECT_EQ(saved.count("{\\header"), c.headers);
        EXPECT_EQ(saved.count("{\\footer"), c.footers);
        EXPECT_EQ(saved.count("\\footnote"), c.footnotes);
        EXPECT_EQ(saved.count("{\\fldrslt"), c.fields);
        auto reopened = readRtf(saved);
        EXPECT_EQ(linksOf(*reopened), c.links);
        EXPECT_EQ(rtf::write(*reopened), saved);
    }
}

namespace {

// The words a peer reads in an RTF file, or nullopt when the peer is not installed.
std::optional<QStringList> peerWords(const QString& peer, const QString& rtfFile) {
    const QString program = QStandardPaths::findExecutable(peer);
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    const QString text = rtfFile + ".txt";
    if (peer == "pandoc")
        process.start(program, {"-f", "rtf", "-t", "plain", "-o", text, rtfFile});
    else
        process.start(program, {"--to=txt", "-o", text, rtfFile});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringList{"(" + peer + " failed)"};
    // Words without punctuation: peers differ from each other in where they break paragraphs.
    return QString::fromUtf8(testfiles::read(text))
        .split(QRegularExpression("[^\\w]+"), Qt::SkipEmptyParts);
}

QString squeezed(QString text) {
    return text.replace(QChar::Nbsp, u' ').simplified();
}

// Every table of the document, nested ones after the one holding them: the texts of its cells,
// row by row, each cell's own paragraphs without the tables in it.
QStringList tablesOf(const QTextFrame& frame) {
    QStringList tables;
    for (QTextFrame* child : frame.childFrames()) {
        const auto* table = qobject_cast<const QTextTable*>(child);
        if (!table)
            continue;
        QStringList rows;
        QStringList nested;
        for (int row = 0; row < table->rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (cell.row() != row || cell.column() != column)
                    continue;
                QStringList text;
                for (auto it = cell.begin(); !it.atEnd() && it != cell.end(); ++it) {
                    if (!it.currentFrame())
                        text << it.currentBlock().text();
                }
                cells << squeezed(text.join(u' '));
            }
            rows << cells.join(u'|');
        }
        tables << rows.join(u'/');
        tables += tablesOf(*child);
    }
    return tables;
}

// The same from HTML, as the peers write it.
QStringList tablesOf(const QString& html) {
    struct Table {
        QStringList rows;
        QStringList cells;
        QString text;
        int depthInCell = 0;
    };
    QStringList done;
    std::vector<std::pair<qsizetype, Table>> open; // with the place of its entry in `done`
    const QRegularExpression token(R"(<(/?)(table|tr|td|th)\b[^>]*>|<[^>]*>|[^<]+)",
                                   QRegularExpression::CaseInsensitiveOption);
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString tag = match.captured(2).toLower();
        const bool closing = !match.captured(1).isEmpty();
        if (tag.isEmpty()) {
            if (!open.empty() && !match.captured(0).startsWith(u'<')) {
                QString text = match.captured(0);
                text.replace("&nbsp;", " ").replace("&lt;", "<").replace("&gt;", ">");
                open.back().second.text += text.replace("&amp;", "&") + u' ';
            } else if (!open.empty() && match.captured(0).startsWith(QLatin1String("<br"))) {
                open.back().second.text += u' ';
            }
            continue;
        }
        if (tag == "table" && !closing) {
            done << QString();
            open.push_back({done.size() - 1, Table()});
        } else if (tag == "table" && !open.empty()) {
            done[open.back().first] = open.back().second.rows.join(u'/');
            open.pop_back();
        } else if (open.empty()) {
            continue;
        } else if (tag == "tr" && closing) {
            Table& table = open.back().second;
            table.rows << table.cells.join(u'|');
            table.cells.clear();
        } else if ((tag == "td" || tag == "th") && closing) {
            Table& table = open.back().second;
            table.cells << squeezed(table.text);
            table.text.clear();
        }
    }
    return done;
}

// Converts each file to HTML with a peer; empty when the peer is not installed.
QStringList convertedByOfficeSuite(const QStringList& files, const QString& folder) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        return {};
    QProcess process;
    process.start(soffice,
                  QStringList{"--headless", "-env:UserInstallation=file://" + folder + "/profile",
                              "--convert-to", "html", "--outdir", folder + "/office"} +
                      files);
    process.waitForFinished(180'000);
    QStringList html;
    for (const QString& file : files)
        html << QString::fromUtf8(
            testfiles::read(folder + "/office/" + QFileInfo(file).completeBaseName() + ".html"));
    return html;
}

QStringList convertedByAbiWord(const QStringList& files, const QString& folder) {
    const QString abiword = QStandardPaths::findExecutable("abiword");
    if (abiword.isEmpty())
        return {};
    QStringList html;
    for (const QString& file : files) {
        const QString out = folder + "/" + QFileInfo(file).completeBaseName() + "-abiword.html";
        QProcess process;
        process.start(abiword, {"--to=html", "-o", out, file});
        process.waitForFinished(60'000);
        html << QString::fromUtf8(testfiles::read(out));
    }
    return html;
}

} // namespace

// Other word processors read what we save as they read the file we opened: nothing kept for
// saving shows up in the text, and nothing they show goes missing.
TEST(RtfPeerFiles, OtherReadersReadOurSavedFilesAsTheOriginals) {
    QTemporaryDir dir;
    int peersRun = 0;
    for (const QString peer : {"pandoc", "abiword"}) {
        for (const char* file :
             {"pandoc-notes", "abiword-minutes", "office-report", "headers-footers"}) {
            SCOPED_TRACE(qPrintable(peer + ": " + file));
            const QString original = dir.filePath(QString(file) + ".rtf");
            const QString ours = dir.filePath(QString(file) + "-saved.rtf");
            const QByteArray source = testfiles::read(dataFolder + "/" + file + ".rtf");
            ASSERT_TRUE(testfiles::write(original, source));
            ASSERT_TRUE(testfiles::write(ours, rtf::write(*readRtf(source))));
            const auto expected = peerWords(peer, original);
            if (!expected)
                break;
            ++peersRun;
            EXPECT_EQ(peerWords(peer, ours), expected);
        }
    }
    if (peersRun == 0)
        GTEST_SKIP() << "neither pandoc nor abiword is installed";
}

// Tables written by us read in the office suite and in AbiWord as tables with the cells they
// had here. Runs the peers where they are installed; QUILLET_REQUIRE_PEERS=1 (the benchmark
// script's) makes a missing one a failure.
TEST(RtfPeerFiles, TablesWeWriteReadAsTheSameTablesInPeers) {
    QTemporaryDir folder;
    QStringList files;
    std::vector<QStringList> expected;
    for (const QString& name : QDir(dataFolder).entryList({"*.rtf"}, QDir::Files)) {
        auto document = readRtf(testfiles::read(dataFolder + "/" + name));
        if (document->rootFrame()->childFrames().isEmpty())
            continue;
        files << folder.filePath(name);
        ASSERT_TRUE(testfiles::write(files.back(), rtf::write(*document)));
        expected.push_back(tablesOf(*document->rootFrame()));
    }
    EXPECT_GE(files.size(), 4);
    const bool required = qEnvironmentVariableIntValue("QUILLET_REQUIRE_PEERS") == 1;
    int peers = 0;
    const struct {
        const char* name;
        QStringList (*convert)(const QStringList&, const QString&);
    } readers[] = {{"office suite", convertedByOfficeSuite}, {"AbiWord", convertedByAbiWord}};
    for (const auto& reader : readers) {
        const QStringList html = reader.convert(files, folder.path());
        if (html.isEmpty()) {
            EXPECT_FALSE(required) << reader.name << " is not installed";
            continue;
        }
        ++peers;
        for (qsizetype i = 0; i < files.size(); ++i)
            EXPECT_EQ(tablesOf(html[i]), expected[size_t(i)])
                << reader.name << " reading " << qPrintable(files[i]);
    }
    if (peers == 0)
        GTEST_SKIP() << "neither the office suite nor AbiWord is installed";
}
