#pragma once

#include <QString>

// Finds the suite's outside programs and files: where they are expected, else by a search of the
// disk that shows its progress in the information window and stops when the user closes it.
// An empty result means nothing was found.
namespace Common {

// `path` when a file is there, else the first file of the same name FindFile finds from the
// program's folder; empty for a path without a folder.
QString LocateFile(const QString& path);

// One of the program's own files, `relative` to its folder: there when it is there, else in the
// installed data folder, else what LocateFile finds for it.
QString LocateProgramFile(const QString& relative);

// Breadth-first from the parent of `startDir` and from the root; the first file called `name`.
QString FindFile(const QString& name, const QString& startDir);

// Folders the search queues at most, so that it ends on any disk.
constexpr int searchedFolderLimit = 1000;

} // namespace Common
