#pragma once

#include <QBuffer>
#include <QFile>

// Where a large output is made before it takes its place: a file without a name in the
// temporary folder, which nothing else sees and which goes when the process ends, however it
// ends. Where the system makes no such file, memory.
class ScratchFile {
public:
    ScratchFile();
    QIODevice& device();

private:
    QFile file_;
    QBuffer memory_;
};
