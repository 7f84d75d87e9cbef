#include "suite/FileLocator.h"

#include "suite/InformationWindow.h"
#include "system/Desktop.h"

#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>

namespace {
// Hidden files count as absent, as they do in a listing with normal attributes.
bool fileExists(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

int lastSeparator(const QString& path) {
    return int(std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')));
}

// Folders the search never enters: the kernel's and the runtime's pseudo file systems, which
// hold no program files and can be endless.
bool isPseudoFileSystem(const QString& folder) {
    static const QStringList skipped{QStringLiteral("/proc/"), QStringLiteral("/sys/"),
                                     QStringLiteral("/dev/"), QStringLiteral("/run/")};
    return skipped.contains(folder);
}

class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};
} // namespace

namespace Common {

QString LocateFile(const QString& path) {
    if (fileExists(path))
        return path;
    const int separator = lastSeparator(path);
    if (separator < 0)
        return {};
    return FindFile(path.mid(separator + 1), DesktopSeam::current().programDirectory());
}

QString LocateProgramFile(const QString& relative) {
    Desktop& desktop = DesktopSeam::current();
    const QString beside = desktop.programDirectory() + u'/' + relative;
    if (fileExists(beside))
        return beside;
    const QString data = desktop.installedDataDirectory();
    if (!data.isEmpty() && fileExists(data + u'/' + relative))
        return data + u'/' + relative;
    return LocateFile(beside);
}

QString FindFile(const QString& name, const QString& startDir) {
    BusyPointer busy;
    InformationWindow& progress = InformationWindow::instance();
    progress.tell(QStringLiteral("Start to find file"));
    progress.show();
    struct Unload {
        ~Unload() { InformationWindow::unload(); }
    } unloadOnEveryWayOut;

    // Folders end in "/". The parent of the start folder comes first, then the root, so a
    // folder both reach is searched twice, as a search from two places is.
    QStringList queue;
    if (!startDir.isEmpty()) {
        const int separator = lastSeparator(startDir);
        queue << (separator >= 0 ? startDir.left(separator + 1) : QStringLiteral("/"));
    }
    queue << QStringLiteral("/");
    for (qsizetype head = 0; head < queue.size(); ++head) {
        if (!InformationWindow::isLoaded())
            break;
        const QString folder = queue[head];
        if (fileExists(folder + name))
            return folder + name;
        InformationWindow::instance().tell(QStringLiteral("File find : ") + name +
                                           QStringLiteral(" ? ") + folder);
        // Only real, visible folders are entered: a symbolic link can lead back up the tree
        // and a hidden folder is not where a program is installed.
        QDirIterator entries(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
        while (entries.hasNext() && InformationWindow::isLoaded()) {
            const QFileInfo entry = entries.nextFileInfo();
            const QString child = entry.absoluteFilePath() + u'/';
            if (queue.size() < searchedFolderLimit && !entry.isHidden() &&
                !isPseudoFileSystem(child))
                queue << child;
        }
        // Lets the window repaint and its button stop the search.
        QCoreApplication::processEvents();
    }
    return {};
}

} // namespace Common
