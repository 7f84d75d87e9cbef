#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>

// Where two names reach the same file: the whole path the system resolves a name to, links
// followed as a write through the name would follow them. A name not there yet resolves as far
// as its folders exist, so an output has the same path before and after it is written. The
// folders resolved are remembered (a few thousand at a time): a name in one of them costs one
// call.
class CanonicalPaths {
public:
    CanonicalPaths();
    QByteArray of(const QString& path);

private:
    QByteArray resolved(const QByteArray& name);
    QByteArray resolvedFolder(const QByteArray& folder);
    QByteArray current_; // the current folder
    QHash<QByteArray, QByteArray> folders_;
};
