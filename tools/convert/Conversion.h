#pragma once
#include <QString>

#include <memory>

class QGuiApplication;

// Files converted the way the Open command reads them and the Save command writes them. The Qt
// application that documents need is started with the first document and ends with this object,
// before the program's own statics.
class Conversion {
public:
    Conversion();
    ~Conversion();

    // The output kinds the converter writes, by the name's ending.
    static bool knownOutput(const QString& path);

    // Converts `input` into `output` (written all or nothing). Returns why it failed, naming the
    // file at fault, or an empty string when it did not.
    QString run(const QString& input, const QString& output);

private:
    void startApplication();
    std::unique_ptr<QGuiApplication> application_;
};
