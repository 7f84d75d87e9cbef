#include "suite/CompanionLauncher.h"

#include "suite/FileLocator.h"
#include "system/ReportError.h"
#include "text/Error.h"

#include <QApplication>

namespace {
struct Companion {
    const char* titleKey;
    const char* argument;
};

// By menu entry; the separator at 3 has none. The arguments count the programs only.
constexpr Companion companions[8] = {{"Stavrel", " 0"},  {"Omblique", " 1"}, {"Lindrow", " 2"},
                                     {nullptr, nullptr}, {"Pimsey", " 3"},   {"Kordane", " 4"},
                                     {"Trellin", " 5"},  {"Quillet", " 6"}};

constexpr int captionLength = 255;

bool matches(const QString& upperCaseTitle, const QString& pattern) {
    // The pattern is "*KEY*": the key anywhere in the title.
    return upperCaseTitle.contains(pattern.mid(1, pattern.size() - 2));
}
} // namespace

namespace Common {

void startCompanion(int entry) {
    if (entry < 0 || entry > 7 || !companions[entry].titleKey)
        return;
    const Companion& companion = companions[entry];
    try {
        if (ActivateByTitle(QString::fromLatin1(companion.titleKey)))
            return;
        const QString launcher = LocateProgramFile(QStringLiteral("logo.exe"));
        // The argument is passed as one word, blank included, as the launcher always had it.
        if (!DesktopSeam::current().startProgram(launcher,
                                                 {QString::fromLatin1(companion.argument)}))
            throw Error::withNumber(Error::FileNotFound);
    } catch (const Error& error) {
        ReportError(error);
    }
}

bool ActivateByTitle(const QString& title) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QList<Desktop::WindowHandle> list;
    const int16_t found = FindWindowsByTitle(list, title);
    bool activated = false;
    // Each match is tried: a child window's title can match but only top-level windows can be
    // activated, and the last attempt decides.
    for (int i = 1; i <= found; ++i)
        activated = DesktopSeam::current().activateWindowTitled(GetWindowCaption(list[i]));
    QApplication::restoreOverrideCursor();
    return activated;
}

int16_t FindWindowsByTitle(QList<Desktop::WindowHandle>& list, const QString& title) {
    list = {0};
    const QString pattern = (QStringLiteral("*") + title + QStringLiteral("*")).toUpper();
    CollectWindows(list, DesktopSeam::current().desktopWindow(), pattern);
    return int16_t(std::min<qsizetype>(list.size() - 1, INT16_MAX));
}

void CollectWindows(QList<Desktop::WindowHandle>& list, Desktop::WindowHandle parent,
                    const QString& pattern) {
    for (Desktop::WindowHandle window : DesktopSeam::current().childWindows(parent)) {
        CollectWindows(list, window, pattern);
        if (matches(GetWindowCaption(window).toUpper(), pattern))
            list.append(window);
    }
}

QString GetWindowCaption(Desktop::WindowHandle window) {
    return DesktopSeam::current().windowTitle(window).value_or(QString()).left(captionLength);
}

} // namespace Common
