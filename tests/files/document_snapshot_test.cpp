#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "files/DocumentSnapshot.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <gtest/gtest.h>

#include <functional>

namespace {
// Takes the snapshot in the smallest slices there are, running `between` after each.
std::unique_ptr<QTextDocument> copyInSlices(QTextDocument& document,
                                            const std::function<void(int slice)>& between = {}) {
    DocumentSnapshot snapshot(document);
    // Qt tells of changes only to a document with a layout, as the pane's always has.
    (void)document.documentLayout();
    // As the window that takes copies follows its document.
    const QMetaObject::Connection following = QObject::connect(
        &document, &QTextDocument::contentsChange,
        [&snapshot](int position, int, int added) { snapshot.changed(position, added); });
    int slice = 0;
    while (!snapshot.step(0)) {
        if (between)
            between(slice);
        ++slice;
    }
    QObject::disconnect(following);
    EXPECT_TRUE(snapshot.flat());
    return snapshot.build();
}

QStringList flatCorpusFiles() {
    QStringList files;
    const QDir folder(QStringLiteral(QUILLET_TEST_DATA "/rtf"));
    for (const QString& name : folder.entryList({QStringLiteral("*.rtf")}, QDir::Files))
        files << folder.filePath(name);
    return files;
}
} // namespace

// Every file of the corpus without tables saves the same from the copy as from the document:
// lists, pictures, fields, footnotes, headers and footers included.
TEST(DocumentSnapshotTest, CopyWritesTheSameRtfAsTheDocument) {
    int compared = 0;
    for (const QString& path : flatCorpusFiles()) {
        SCOPED_TRACE(path.toStdString());
        auto document = rtftest::readRtf(testfiles::read(path));
        if (!document->rootFrame()->childFrames().isEmpty())
            continue;
        const auto copy = copyInSlices(*document);
        EXPECT_EQ(rtf::write(*copy), rtf::write(*document));
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

// Edits made while the copy is being taken, before and after the part already described,
// are in the copy.
TEST(DocumentSnapshotTest, EditsDuringTheCopyAreInIt) {
    const struct {
        const char* name;
        std::function<void(QTextCursor&)> edit;
    } cases[] = {
        {"typed at the start", [](QTextCursor& c) { c.movePosition(QTextCursor::Start); }},
        {"typed at the end", [](QTextCursor& c) { c.movePosition(QTextCursor::End); }},
        {"paragraph broken",
         [](QTextCursor& c) {
             c.setPosition(c.document()->findBlockByNumber(2).position() + 3);
             c.insertBlock();
         }},
        {"paragraphs joined",
         [](QTextCursor& c) {
             c.setPosition(c.document()->findBlockByNumber(3).position());
             c.deletePreviousChar();
         }},
        {"paragraphs deleted",
         [](QTextCursor& c) {
             c.setPosition(c.document()->findBlockByNumber(5).position());
             c.setPosition(c.document()->findBlockByNumber(60).position(), QTextCursor::KeepAnchor);
             c.removeSelectedText();
         }},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        QTextDocument document;
        QTextCursor cursor(&document);
        for (int i = 0; i < 200; ++i) {
            QTextCharFormat format;
            format.setFontWeight(i % 3 ? QFont::Normal : QFont::Bold);
            cursor.insertText(QStringLiteral("paragraph %1 ").arg(i), format);
            cursor.insertText(QStringLiteral("plain"), QTextCharFormat());
            cursor.insertBlock();
        }
        const auto copy = copyInSlices(document, [&](int slice) {
            if (slice != 5)
                return;
            QTextCursor editing(&document);
            test.edit(editing);
            editing.insertText(QStringLiteral("EDITED"));
        });
        EXPECT_EQ(rtf::write(*copy), rtf::write(document));
        EXPECT_TRUE(copy->toPlainText().contains(QStringLiteral("EDITED")));
    }
}

TEST(DocumentSnapshotTest, DocumentWithTablesIsNotFlat) {
    QTextDocument document;
    QTextCursor(&document).insertTable(2, 2);
    DocumentSnapshot snapshot(document);
    while (!snapshot.step(5)) {
    }
    EXPECT_FALSE(snapshot.flat());
}
