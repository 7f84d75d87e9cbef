#include "suite/HelpPage.h"

#include "os/RegularFile.h"
#include "text/Error.h"

#include <QFile>

namespace {
// A manual is a few dozen kilobytes; anything far larger is not ours.
constexpr qint64 largestHelpFile = 4 * 1024 * 1024;
} // namespace

HelpPage::HelpPage(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("helpPage"));
    setAccessibleName(QStringLiteral("Help"));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpPage::follow);
}

bool HelpPage::open(const QString& path) {
    QFile file;
    QString reason;
    try {
        RegularFile::open(file, path, &reason);
    } catch (const Error& error) {
        return refuse(path, reason.isEmpty() ? error.description : reason);
    }
    if (file.size() > largestHelpFile)
        return refuse(path, QStringLiteral("it is too large to be a manual"));
    setHtml(QString::fromUtf8(file.readAll()));
    const QString title = documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Help") : title);
    return true;
}

bool HelpPage::refuse(const QString& path, const QString& reason) {
    setPlainText(QStringLiteral("The help file %1 cannot be shown: %2.").arg(path, reason));
    setWindowTitle(QStringLiteral("Help"));
    return false;
}

QVariant HelpPage::loadResource(int /*type*/, const QUrl& /*name*/) {
    // Empty, not null: given nothing, the document would read the named file itself.
    return QByteArray();
}

void HelpPage::follow(const QUrl& link) {
    // Only the manual's own sections: a link elsewhere is shown, never followed.
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment())
        scrollToAnchor(link.fragment());
}
