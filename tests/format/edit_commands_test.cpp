#include "format/EditCommands.h"

#include "pane/RichTextBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <gtest/gtest.h>

using EditCommands::EditMenuState;

namespace {
enum class Clipboard { Text, Picture, Empty };

void fillClipboard(Clipboard content) {
    auto* data = new QMimeData;
    if (content == Clipboard::Text)
        data->setText(QStringLiteral("clip"));
    if (content == Clipboard::Picture)
        data->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace

TEST(EditMenuState, FollowsSelectionClipboardAndUndo) {
    struct Row {
        const char* name;
        int selLength;
        Clipboard clipboard;
        bool edited; // an edit the pane can undo
        EditMenuState expected;
    };
    using enum Clipboard;
    const Row rows[] = {
        {"nothing selected, text to paste",
         0,
         Text,
         false,
         {false, false, false, true, false, true, true}},
        {"one character selected", 1, Text, false, {false, true, true, true, true, true, true}},
        {"only a picture to paste",
         1,
         Picture,
         false,
         {false, true, true, false, true, true, true}},
        {"nothing to paste", 0, Empty, false, {false, false, false, false, false, true, true}},
        {"an edit to undo", 0, Text, true, {true, false, false, true, false, true, true}},
        {"an edit to undo, text selected",
         2,
         Empty,
         true,
         {true, true, true, false, true, true, true}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RichTextBox pane;
        pane.setText(QStringLiteral("abc"));
        pane.document()->clearUndoRedoStacks();
        if (row.edited) {
            pane.setSelStart(3);
            pane.setSelText(QStringLiteral("d"));
        }
        pane.setSelStart(1);
        pane.setSelLength(row.selLength);
        fillClipboard(row.clipboard);
        EXPECT_EQ(EditCommands::editMenuState(&pane), row.expected);
    }
    EXPECT_EQ(EditCommands::editMenuState(nullptr), EditMenuState{});
}

TEST(EditCommands, DeleteLeavesTheClipboardAlone) {
    fillClipboard(Clipboard::Text);
    RichTextBox pane;
    pane.setText(QStringLiteral("one\ntwo\nthree"));
    pane.setSelStart(4);
    pane.setSelLength(3);
    EditCommands::Delete(&pane);
    EXPECT_EQ(pane.Text(), QStringLiteral("one\n\nthree"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("clip"));

    // Without a document nothing happens.
    EditCommands::Delete(nullptr);
    EditCommands::SelectAll(nullptr);
    EditCommands::Copy(nullptr);
}
