// The peers read what we write as they read the files we opened: the office suite, AbiWord and
// pandoc, where installed. Opt-in (-DQUILLET_PEER_CHECKS=ON builds quillet_peer_checks): the
// test setup installs none of them, so in the default run these would always skip.
// QUILLET_REQUIRE_PEERS=1 makes a missing peer a failure.
#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "rtf/RtfWriter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

using rtftest::readRtf;

namespace {

const QString dataFolder = QStringLiteral(QUILLET_TEST_DATA "/rtf");

} // namespace

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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
