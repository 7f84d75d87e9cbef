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

    // What becomes of a file already at the output's name.
    enum class Existing { Replace, Keep };

    // The output kinds the converter writes, by the name's ending.
    static bool knownOutput(const QString& path);
    // Why `input` was not converted when its output was already there and is kept.
    static QString kept(const QString& input, const QString& output);

    // Converts `input` into `output` (written all or nothing), never over `input` itself, by
    // whatever name. Returns why it failed, naming the file at fault, or an empty string when it
    // did not.
    QString run(const QString& input, const QString& output, Existing existing = Existing::Replace);

private:
    void startApplication();
    std::unique_ptr<QGuiApplication> application_;
};
