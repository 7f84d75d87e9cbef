#include "files/DocumentSnapshot.h"

#include "pictures/RtfPicture.h"
#include "rtf/RtfKeptGroups.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>

namespace {
// A format as it goes into another document: the object it tied the paragraph to (a list) is
// that document's to give.
QTextBlockFormat withoutObject(QTextBlockFormat format) {
    format.clearProperty(QTextFormat::ObjectIndex);
    return format;
}
} // namespace

DocumentSnapshot::DocumentSnapshot(const QTextDocument& document)
    : document_(&document), paragraphs_(size_t(document.blockCount())) {}

DocumentSnapshot::~DocumentSnapshot() = default;

bool DocumentSnapshot::flat() const {
    return flat_;
}

bool DocumentSnapshot::step(int budgetMs) {
    if (complete_)
        return true;
    QElapsedTimer clock;
    clock.start();
    while (next_ < paragraphs_.size()) {
        // Checking the clock costs more than a short paragraph, so it is read every few.
        for (int i = 0; i < 16 && next_ < paragraphs_.size(); ++next_) {
            if (!paragraphs_[next_].described) {
                describe(int(next_));
                ++i;
            }
        }
        if (clock.elapsed() >= budgetMs)
            return false;
    }
    finish();
    return true;
}

void DocumentSnapshot::describe(int number) {
    const QTextBlock block = document_->findBlockByNumber(number);
    Paragraph paragraph;
    paragraph.described = true;
    paragraph.text = block.text();
    paragraph.format = withoutObject(block.blockFormat());
    paragraph.charFormat = block.charFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat())
            pictures_.append(format.toImageFormat().name());
        paragraph.runs.push_back({fragment.length(), format});
    }
    if (const QTextList* list = block.textList()) {
        auto found = listIndex_.constFind(list);
        if (found == listIndex_.cend()) {
            found = listIndex_.insert(list, int(lists_.size()));
            lists_.append(QTextListFormat());
        }
        paragraph.list = *found;
        // The list's own format as its last item described sees it: numbering it again after
        // a change reaches the items after the change.
        lists_[paragraph.list] = list->format();
    }
    paragraphs_[size_t(number)] = std::move(paragraph);
}

void DocumentSnapshot::changed(int position, int added) {
    if (complete_)
        return;
    const int count = document_->blockCount();
    const int delta = count - int(paragraphs_.size());
    // One paragraph back: joining two paragraphs changes the one before the position too.
    const int first = qMax(0, document_->findBlock(position).blockNumber() - 1);
    const QTextBlock end = document_->findBlock(position + added);
    const int last = end.isValid() ? end.blockNumber() : count - 1;
    // The paragraphs first..last are new; what stood there before, first..last - delta, goes.
    const auto from = paragraphs_.begin() + first;
    const int removed = qMax(0, last - delta - first + 1);
    paragraphs_.erase(from, from + qMin<qsizetype>(removed, qsizetype(paragraphs_.size()) - first));
    paragraphs_.insert(paragraphs_.begin() + first, size_t(qMax(0, last - first + 1)), Paragraph());
    paragraphs_.resize(size_t(count));
    next_ = qMin(next_, size_t(first));
}

void DocumentSnapshot::finish() {
    complete_ = true;
    flat_ = document_->rootFrame()->childFrames().isEmpty();
    defaultFont_ = document_->defaultFont();
    defaultOption_ = document_->defaultTextOption();
    resources_ = std::make_unique<QTextDocument>();
    rtf::KeptGroups::store(*resources_, rtf::KeptGroups::load(*document_));
    pictures_.removeDuplicates();
    for (const QString& name : std::as_const(pictures_))
        rtf::carryPicture(*document_, name, *resources_, name);
    // Built on another thread from here on.
    resources_->moveToThread(nullptr);
    document_ = nullptr;
}

std::unique_ptr<QTextDocument> DocumentSnapshot::build() const {
    auto document = std::make_unique<QTextDocument>();
    if (!complete_)
        return document;
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(defaultFont_);
    document->setDefaultTextOption(defaultOption_);
    rtf::KeptGroups::store(*document, rtf::KeptGroups::load(*resources_));
    for (const QString& name : pictures_)
        rtf::carryPicture(*resources_, name, *document, name);

    std::vector<QTextList*> lists(size_t(lists_.size()), nullptr);
    QTextCursor cursor(document.get());
    bool first = true;
    for (const Paragraph& paragraph : paragraphs_) {
        if (first) {
            cursor.setBlockFormat(paragraph.format);
            cursor.setBlockCharFormat(paragraph.charFormat);
            first = false;
        } else {
            cursor.insertBlock(paragraph.format, paragraph.charFormat);
        }
        qsizetype at = 0;
        for (const Run& run : paragraph.runs) {
            cursor.insertText(paragraph.text.mid(at, run.length), run.format);
            at += run.length;
        }
        if (paragraph.list >= 0) {
            QTextList*& list = lists[size_t(paragraph.list)];
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(lists_[paragraph.list]);
        }
    }
    return document;
}
