#include "platform/PaneClipboard.h"

#include "platform/RichTextBox.h"
#include "platform/rtf/RtfKeptGroups.h"
#include "platform/rtf/RtfPicture.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QHash>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <memory>

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

// The copied text as a document of its own, with the pictures it shows.
std::unique_ptr<QTextDocument> documentOf(const QTextDocumentFragment& fragment,
                                          const QTextDocument& source) {
    auto document = std::make_unique<QTextDocument>();
    RichTextBox::setUpDocument(*document);
    QTextCursor(document.get()).insertFragment(fragment);
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
        : fragment_(selection), source_(selection.document()) {}

    QStringList formats() const override { return {rtfTypes[0], rtfTypes[1], htmlType, textType}; }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (type == textType)
            return fragment_.toPlainText();
        if (type == htmlType)
            return fragment_.toHtml().toUtf8();
        if (type == rtfTypes[0] || type == rtfTypes[1]) {
            if (rtf_.isEmpty() && source_)
                rtf_ = rtf::write(*documentOf(fragment_, *source_));
            return rtf_;
        }
        return {};
    }

private:
    QTextDocumentFragment fragment_;
    // The pane's document, while it exists: the pictures' kept groups are read from it.
    QPointer<const QTextDocument> source_;
    mutable QByteArray rtf_;
};
} // namespace

namespace PaneClipboard {

QMimeData* copy(const QTextCursor& selection) {
    return new PaneMimeData(selection);
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
    RichTextBox::setUpDocument(pasted);
    if (!rtf::read(data, pasted).ok())
        return false;
    renamePicturesFor(pasted, *at.document());
    rtf::KeptGroups::adopt(pasted, rtf::KeptGroups::load(pasted), *at.document());
    at.beginEditBlock();
    at.insertFragment(QTextDocumentFragment(&pasted));
    at.endEditBlock();
    return true;
}

} // namespace PaneClipboard
