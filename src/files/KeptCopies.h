#pragma once

#include "files/CopyDescription.h"
#include "os/PrivateFolder.h"

#include <QList>
#include <QString>
#include <map>
#include <memory>

class RunLock;

// Unsaved work kept aside while the program runs, so a crash or a killed session loses nothing
// the next start cannot offer back. Each run keeps its copies in a folder of its own, which it
// holds by a RunLock; a folder nobody holds was left by a run that ended without cleaning up.
//
//   ROOT/run-PID-MSECS/lock        the run's lock
//   ROOT/run-PID-MSECS/N.copy      document N: its description, an empty line, then its RTF
//   ROOT/discarded/                copies the user discarded, removed after a week
//   ROOT/damaged/                  copies that could not be read, kept for the user to look at
//
// Description and text are one file, replaced whole, so a run killed while writing leaves the
// last pair that went together. Runs before that kept them apart (N.info beside N.rtf); such
// copies are still offered back.
//
// Folders are 0700 and files 0600: a copy holds the user's text. Everything is reached through
// descriptors of folders checked to be the user's own and private (os/PrivateFolder), so a link
// or another user's file put among the copies is never followed, written or removed through. A
// ROOT that is not such a folder is refused, and then nothing is kept.
class KeptCopies {
public:
    using About = CopyDescription::About;

    // A copy a run that is gone left behind.
    struct LeftBehind {
        QString run;  // its run's folder, in ROOT
        QString name; // N
        About about;
        bool damaged = false;
        bool apart = false; // text and description in two files, as older runs kept them
    };

    explicit KeptCopies(QString root);
    ~KeptCopies();

    // Claims this run's folder; false (and keeping does nothing) when it cannot be made or
    // ROOT is refused, and refusal() says why.
    bool start();
    // Why start() failed, in words for the user naming the folder; empty once it succeeded.
    QString refusal() const { return refusal_; }
    // Writes document `id`'s copy over its last one, all or nothing. Throws Error 61 or 75.
    void keep(int id, const About& about, const QByteArray& rtf);
    // The document was saved or given up: its copy goes.
    void forget(int id);
    // A clean end: this run's folder goes with every copy in it.
    void finish();

    // The copies of runs no longer alive, oldest first, read no further than their
    // descriptions. Their folders are claimed by this object until it is destroyed, so a second
    // program started meanwhile offers none of them. At most claimedAtOnce runs are claimed; the
    // others wait for a later start.
    QList<LeftBehind> leftBehind();
    static constexpr int claimedAtOnce = 256;
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

    QString root() const { return rootPath_; }
    QString runFolder() const;

private:
    void listRun(const QString& run, const PrivateFolder& folder, QList<LeftBehind>& copies);
    void moveTo(const LeftBehind& copy, const QString& folder, const QString& prefix);
    void dropRunIfEmpty(const QString& run);

    QString rootPath_;
    PrivateFolder root_;
    PrivateFolder run_;
    QString runName_;
    QString refusal_;
    std::unique_ptr<RunLock> lock_;
    std::map<QString, std::unique_ptr<RunLock>> claimed_;
};
