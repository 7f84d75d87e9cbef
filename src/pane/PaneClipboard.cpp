#include "pane/PaneClipboard.h"
#include "storage/DocumentDefaults.h"

#include "model/DocumentProperties.h"
#include "pane/PastedHtml.h"
#include "pictures/RtfPicture.h"
#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QHash>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <memory>
#include <optional>

namespace {
const QString rtfTypes[] = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};
const QString htmlType = QStringLiteral("text/html");
const QString textType = QStringLiteral("text/plain");

// Gives every picture of `document` a name `target` does not use, with its resources, so that
// inserting the document's text there finds its pictures and overwrites none of its own.
void renamePicturesFor(QTextDocument& document, QTextDocument& target) {
    struct Placed {
        int position;
        int length;
        QTextImageFormat image;
    };
    QList<Placed> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures.append({fragment.position(), fragment.length(),
                                 fragment.charFormat().toImageFormat()});
        }
    }
    QHash<QString, QString> renamed;
    for (Placed& picture : pictures) {
        auto found = renamed.find(picture.image.name());
        if (found == renamed.end()) {
            const QString name = rtf::unusedPictureName(target);
            rtf::carryPicture(document, picture.image.name(), target, name);
            found = renamed.insert(picture.image.name(), name);
        }
        picture.image.setName(*found);
        QTextCursor at(&document);
        at.setPosition(picture.position);
        at.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        at.setCharFormat(picture.image);
    }
}

// Gives every picture of the pasted HTML `document` what it shows in `target`: the pictures the
// markup carried, under names `target` does not use, and for every other a box under the name it
// has, which it keeps; a name of `target`'s own pictures shows that picture.
void givePictures(QTextDocument& document, const QList<QImage>& carried, QTextDocument& target) {
    static const QImage box = rtf::placeholderImage(rtf::Picture{}, QSizeF(32, 32));
    struct Placed {
        int position;
        int length;
        QTextImageFormat image;
    };
    QList<Placed> renamed;
    QHash<qsizetype, QString> names;
    int next = 1;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QString name = image.name();
            const qsizetype index = PastedHtml::pictureIndex(name);
            if (index < 0 || index >= carried.size()) {
                const bool ownName = name.startsWith(rtf::pictureName(0).chopped(1));
                if (!ownName || target.resource(QTextDocument::ImageResource, QUrl(name)).isNull())
                    target.addResource(QTextDocument::ImageResource, QUrl(name), box);
                continue;
            }
            auto found = names.find(index);
            if (found == names.end()) {
                // Counting on from the last name given keeps many pictures linear.
                QString free;
                do
                    free = rtf::pictureName(next++);
                while (!target.resource(QTextDocument::ImageResource, QUrl(free)).isNull());
                const QImage& picture = carried[index];
                target.addResource(QTextDocument::ImageResource, QUrl(free),
                                   picture.isNull() ? box : picture);
                found = names.insert(index, free);
            }
            image.setName(*found);
            renamed.append({fragment.position(), fragment.length(), image});
        }
    }
    for (const Placed& picture : renamed) {
        QTextCursor at(&document);
        at.setPosition(picture.position);
        at.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        at.setCharFormat(picture.image);
    }
}

// Lists PastedHtml cut count on across the cuts: a list that starts right after an item of a list
// like it continues that one.
void joinSplitLists(QTextDocument& document) {
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        QTextList* list = block.textList();
        const QTextList* before = block.previous().textList();
        if (!list || !before || list == before || list->itemNumber(block) != 0)
            continue;
        QTextListFormat format = list->format();
        if (format.style() != before->format().style() ||
            format.indent() != before->format().indent())
            continue;
        format.setProperty(DocumentProperty::ListContinues, true);
        list->setFormat(format);
    }
}

// Qt merges the first paragraph of inserted text into the paragraph it is inserted in, which
// keeps its own format; a paragraph whose mark is copied or pasted keeps its format. What the
// first paragraph was: its format, its list, and how many paragraphs on the list's next item is.
struct FirstParagraph {
    QTextBlockFormat format;
    std::optional<QTextListFormat> list;
    int nextItem = 0; // 0 when no item of its list follows it
};

FirstParagraph firstParagraphOf(const QTextBlock& block) {
    FirstParagraph first{block.blockFormat(), std::nullopt, 0};
    first.format.setObjectIndex(-1);
    if (const QTextList* list = block.textList()) {
        first.list = list->format();
        if (const int next = list->itemNumber(block) + 1; next < list->count())
            first.nextItem = list->item(next).blockNumber() - block.blockNumber();
    }
    return first;
}

// Gives `to` the format `first` describes, in a list with the items that followed it and came
// along (`following` blocks of `to`'s document stand for those after it).
void giveParagraphFormat(const FirstParagraph& first, const QTextBlock& to, int following) {
    QTextCursor at(to);
    at.setBlockFormat(first.format);
    if (!first.list)
        return;
    if (first.nextItem > 0 && first.nextItem <= following) {
        const QTextBlock item = to.document()->findBlockByNumber(to.blockNumber() + first.nextItem);
        if (QTextList* joined = item.textList()) {
            joined->add(to);
            return;
        }
    }
    at.createList(*first.list);
}

// The copied text as a document of its own, with the pictures it shows.
std::unique_ptr<QTextDocument> copiedDocument(const QTextDocumentFragment& fragment, int start,
                                              const QTextDocument& source) {
    auto document = std::make_unique<QTextDocument>();
    DocumentDefaults::setUp(*document);
    document->setDefaultFont(source.defaultFont());
    document->setDefaultTextOption(source.defaultTextOption());
    QTextCursor(document.get()).insertFragment(fragment);
    if (document->blockCount() > 1) {
        giveParagraphFormat(firstParagraphOf(source.findBlock(start)), document->firstBlock(),
                            document->blockCount() - 1);
    }
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QString name = format.toImageFormat().name();
                rtf::carryPicture(source, name, *document, name);
            }
        }
    }
    rtf::KeptGroups::adopt(*document, rtf::KeptGroups::load(source), *document);
    return document;
}

// Makes each kind of data only when a program asks for it: copying a long selection must not
// wait for an RTF nobody pastes.
class PaneMimeData : public QMimeData {
public:
    PaneMimeData(const QTextCursor& selection)
        : fragment_(selection), start_(selection.selectionStart()), source_(selection.document()) {}

    QStringList formats() const override { return {rtfTypes[0], rtfTypes[1], htmlType, textType}; }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (type == textType)
            return fragment_.toPlainText();
        if (!source_)
            return {};
        if (type == htmlType)
            // A whole document: Qt's reader gives the first paragraph of a marked fragment the
            // format of the paragraph it is pasted in.
            return copied().toHtml().toUtf8();
        if (type == rtfTypes[0] || type == rtfTypes[1]) {
            if (rtf_.isEmpty())
                rtf_ = rtf::write(copied(), rtf::Extent::Selection);
            return rtf_;
        }
        return {};
    }

private:
    const QTextDocument& copied() const {
        if (!copied_)
            copied_ = copiedDocument(fragment_, start_, *source_);
        return *copied_;
    }

    QTextDocumentFragment fragment_;
    int start_;
    mutable std::unique_ptr<QTextDocument> copied_;
    // The pane's document, while it exists: the pictures' kept groups are read from it.
    QPointer<const QTextDocument> source_;
    mutable QByteArray rtf_;
};
} // namespace

namespace {
// The paste itself, inside the edit block that makes it one undo step.
void insertInBlock(QTextCursor& at, QTextDocument& pasted) {
    at.removeSelectedText();
    const QTextBlock target = at.block();
    const QTextBlockFormat targetFormat = at.blockFormat();
    const bool atParagraphStart = at.atBlockStart();
    // Qt starts a paragraph of its own for a first paragraph that is a list item: its text
    // joins the paragraph it lands in, like any other.
    const FirstParagraph first = firstParagraphOf(pasted.firstBlock());
    if (QTextList* list = pasted.firstBlock().textList())
        list->remove(pasted.firstBlock());
    at.insertFragment(QTextDocumentFragment(&pasted));
    // Pasted at a paragraph's start, whole paragraphs come with their format; pasted inside one,
    // the text joins it.
    if (atParagraphStart && pasted.blockCount() > 1)
        giveParagraphFormat(first, target, pasted.blockCount() - 1);
    // Pasted text that ends with a paragraph mark leaves the text after it in its own paragraph,
    // in that paragraph's format.
    if (pasted.blockCount() > 1 && pasted.lastBlock().length() == 1)
        QTextCursor(at.block()).setBlockFormat(targetFormat);
}
} // namespace

namespace PaneClipboard {

QMimeData* copy(const QTextCursor& selection) {
    return new PaneMimeData(selection);
}

std::unique_ptr<QTextDocument> documentOf(const QTextCursor& selection) {
    return copiedDocument(selection.selection(), selection.selectionStart(), *selection.document());
}

void insertDocument(QTextCursor& at, QTextDocument& pasted) {
    QTextDocument& target = *at.document();
    const int stepsBefore = target.availableUndoSteps();
    at.beginEditBlock();
    try {
        insertInBlock(at, pasted);
    } catch (...) {
        // Out of memory half way: the pane goes back to what it was.
        at.endEditBlock();
        if (target.availableUndoSteps() > stepsBefore)
            target.undo(&at);
        throw;
    }
    at.endEditBlock();
}

bool pasteRtf(QTextCursor& at, const QMimeData& source) {
    QByteArray data;
    for (const QString& type : rtfTypes) {
        if (source.hasFormat(type)) {
            data = source.data(type);
            break;
        }
    }
    if (data.isEmpty())
        return false;
    QTextDocument pasted;
    DocumentDefaults::setUp(pasted);
    if (!rtf::read(data, pasted, rtf::Extent::Selection).ok())
        return false;
    renamePicturesFor(pasted, *at.document());
    rtf::KeptGroups::adopt(pasted, rtf::KeptGroups::load(pasted), *at.document());
    insertDocument(at, pasted);
    return true;
}

void pasteHtml(QTextCursor& at, const QString& html) {
    const PastedHtml::Bounded bounded = PastedHtml::bound(html);
    QTextDocument pasted;
    DocumentDefaults::setUp(pasted);
    pasted.setHtml(bounded.html);
    if (bounded.listsSplit)
        joinSplitLists(pasted);
    givePictures(pasted, bounded.pictures, *at.document());
    insertDocument(at, pasted);
}

bool pasteRich(QTextCursor& at, const QMimeData& source) {
    if (pasteRtf(at, source))
        return true;
    if (source.hasHtml()) {
        pasteHtml(at, source.html());
        return true;
    }
    // Qt's own rich text, as other Qt programs copy it.
    const QString qtRichText = QStringLiteral("application/x-qrichtext");
    if (source.hasFormat(qtRichText)) {
        pasteHtml(at, QStringLiteral("<meta name=\"qrichtext\" content=\"1\" />") +
                          QString::fromUtf8(source.data(qtRichText)));
        return true;
    }
    return false;
}

} // namespace PaneClipboard
