#pragma once
#include <QString>
#include <QStringList>

#include <optional>

// What `quillet-convert --to FORMAT [--out-dir DIR [--keep-tree]] [--overwrite] [--jobs N]
// [--quiet] INPUT...` asks for.
struct BatchOptions {
    QString format; // rtf, txt, htm, html
    QString outDir; // empty: each output beside its input
    // With outDir: each output in the folders its input's name gives, under outDir.
    bool keepTree = false;
    // Beside the inputs, replace a file already at an output's name (else it is kept).
    bool overwrite = false;
    int jobs = 0; // 0: one a core
    bool quiet = false;
    // The inputs in the order given; "-" stands for the list of paths on standard input.
    QStringList inputs;

    // Whether the command line asks for a batch rather than one INPUT and OUTPUT.
    static bool wanted(const QStringList& arguments);
    // The options, or why they are wrong in `problem`.
    static std::optional<BatchOptions> parse(const QStringList& arguments, QString* problem);

    // The output for `input`: its name with the format's extension, in outDir when given. Empty,
    // with the reason in `problem`, when it would be outside outDir.
    QString outputFor(const QString& input, QString* problem) const;
};
