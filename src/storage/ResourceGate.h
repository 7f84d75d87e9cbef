#pragma once

#include <QObject>
#include <QVariant>

class QTextDocument;
class QUrl;

// What a document shows comes with it: its own pictures, or what a clipboard or a file carried.
// Qt's text engine fetches whatever a document names that it does not hold (a picture's file, a
// style sheet's, an @import, a background's url(), a data: URL) from the disk, and for a picture
// it cannot find reads the named file itself. A document behind the gate asks the gate instead,
// which answers every such name with something empty, so nothing named in pasted or opened text
// is ever read: a FIFO or /dev/zero named in a paste neither blocks nor fills the memory.
class ResourceGate : public QObject {
    Q_OBJECT

public:
    // Puts `document` behind the gate, unless something else owns it: a pane answers for its
    // own documents with `answer`.
    static void close(QTextDocument& document);

    // What a document behind the gate gets for a resource it does not hold. Null for names that
    // mean nothing on the disk (the document's own picture names, so that a free one can be
    // found); for any other, an empty value of the kind asked for: a picture is a transparent
    // point, so Qt never goes on to read the named file.
    static QVariant answer(int type, const QUrl& name);

    // Qt's text engine calls this on a document's parent.
    Q_INVOKABLE QVariant loadResource(int type, const QUrl& name) const;

private:
    ResourceGate() = default;
};
