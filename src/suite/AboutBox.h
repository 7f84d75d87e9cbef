#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

// The about box: the suite's picture, a button that starts the system information tool and one
// that closes the box (Esc too). Shown application-modal; it deletes itself when closed.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

    // Labels are set to Qt::PlainText where they are made: no text is read as markup.
    QLabel* FxOrder = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* OK = nullptr;

    // The value `SubKeyRef` of key `KeyName` under `KeyRoot` into KeyVal: text as stored (less a
    // terminating zero), a 32-bit number as "&h" and its hexadecimal digits. False, with KeyVal
    // emptied, when the key or the value is missing.
    static bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                            QString& KeyVal);

public slots:
    // Command1's command: starts the system information tool the registry names, or says it is
    // unavailable. OK closes the box.
    void StartSysInfo();
};
