#pragma once

#include "storage/DocumentFile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class RunLock;

// Unsaved work kept aside while the program runs, so a crash or a killed session loses nothing
// the next start cannot offer back. Each run keeps its copies in a folder of its own, which it
// holds by a RunLock; a folder nobody holds was left by a run that ended without cleaning up.
//
//   ROOT/run-PID-MSECS/lock        the run's lock
//   ROOT/run-PID-MSECS/N.rtf       document N's content as RTF
//   ROOT/run-PID-MSECS/N.info      what it is: path, caption, kind, when, size and checksum
//   ROOT/discarded/                copies the user discarded, removed after a week
//   ROOT/damaged/                  copies that could not be read, kept for the user to look at
//
// Folders are 0700 and files 0600: a copy holds the user's text.
class KeptCopies {
public:
    struct About {
        QString path; // the document's own file, empty for a new document
        QString caption;
        DocumentFile::Kind kind = DocumentFile::Kind::RichText;
        QDateTime keptAt;
        // How the document's plain-text file was written, so a save after recovery writes it
        // back alike.
        std::optional<PlainText::Encoding> encoding;
    };

    // A copy a run that is gone left behind.
    struct LeftBehind {
        QString runFolder;
        QString name; // N
        About about;
        bool damaged = false;
    };

    explicit KeptCopies(QString root);
    ~KeptCopies();

    // Claims this run's folder; false (and keeping does nothing) when it cannot be made.
    bool start();
    // Writes document `id`'s copy over its last one, all or nothing. Throws Error 61, 70, 75 or
    // 76 as a save does.
    void keep(int id, const About& about, const QByteArray& rtf);
    // The document was saved or given up: its copy goes.
    void forget(int id);
    // A clean end: this run's folder goes with every copy in it.
    void finish();

    // The copies of runs no longer alive, oldest first. Their folders are claimed by this
    // object until it is destroyed, so a second program started meanwhile offers none of them.
    QList<LeftBehind> leftBehind();
    // The copy's RTF, empty for one that is damaged (its size or checksum no longer match).
    QByteArray content(const LeftBehind& copy) const;
    // Moves the copy to discarded/ (dated `now`), or to damaged/, and drops its run's folder
    // once no copy is left in it.
    void discard(const LeftBehind& copy, const QDateTime& now);
    void setAside(const LeftBehind& copy);
    // The copy was opened again: it goes, as a copy kept by this run has taken its place.
    void recovered(const LeftBehind& copy);
    // Removes discarded copies older than a week.
    void dropDiscardedBefore(const QDateTime& limit);

    QString root() const { return root_; }
    QString runFolder() const { return runFolder_; }

private:
    void moveTo(const LeftBehind& copy, const QString& folder, const QString& prefix);
    void dropRunIfEmpty(const QString& runFolder);

    QString root_;
    QString runFolder_;
    std::unique_ptr<RunLock> lock_;
    std::vector<std::unique_ptr<RunLock>> claimed_;
};
