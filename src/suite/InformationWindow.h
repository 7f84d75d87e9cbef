#pragma once

#include "text/Flags.h"

#include <QDialog>

class QLabel;

class QPushButton;

// The information window: tells the user a file is being read or looked for. While it is
// loaded the pointer is busy and ReadingFile is true; its button unloads it.
class InformationWindow : public QDialog {
    Q_OBJECT

public:
    // Loads the window on first use (without showing it).
    static InformationWindow& instance();
    static bool isLoaded();
    static void unload();

    // True while the window is loaded.
    static int16_t ReadingFile;

    // What the window tells, always as plain text: names come from outside.
    void tell(const QString& text);
    void addLine(const QString& line);

    // Labels are set to Qt::PlainText where they are made: no text is read as markup.
    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;
    QWidget* FXBack = nullptr;

public slots:
    // The stop button's command: unloads the window.
    void stop();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    InformationWindow();
    ~InformationWindow() override;
    void Form_Load();
    void Form_Unload();
};
