#pragma once

#include <QTextBrowser>

// The help viewer's page: the program's manual, an HTML file of our own, shown as it is. It
// follows its own contents links and nothing else: no picture, style sheet or other page is read
// from the disk or the network, whatever the file names.
class HelpPage : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpPage(QWidget* parent = nullptr);

    // Shows the help file at `path`; false, with a line saying why on the page, when it cannot
    // be read.
    bool open(const QString& path);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    bool refuse(const QString& path, const QString& reason);
    void follow(const QUrl& link);
};
