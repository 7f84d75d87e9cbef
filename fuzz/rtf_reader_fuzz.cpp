// Feeds arbitrary bytes to the RTF reader, checks that reading them as text alone gives the
// document's text, then writes the document back and reads that again.
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QTextDocument document;
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!rtf::read(input, document).ok())
        return 0;
    if (rtf::readText(input) != document.toPlainText())
        abort(); // the text alone must be the document's text
    const QByteArray written = rtf::write(document);
    QTextDocument again;
    if (!rtf::read(written, again).ok())
        abort(); // our own output must always read as RTF
    return 0;
}
