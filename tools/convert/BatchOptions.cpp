#include "BatchOptions.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QStringList formats = {QStringLiteral("rtf"), QStringLiteral("txt"), QStringLiteral("htm"),
                             QStringLiteral("html"), QStringLiteral("pdf")};

bool isOption(const QString& argument, const char* name) {
    return argument == QLatin1String(name) || argument.startsWith(QLatin1String(name) + u'=');
}

} // namespace

bool BatchOptions::wanted(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (isOption(argument, "--to"))
            return true;
    }
    return false;
}

std::optional<BatchOptions> BatchOptions::parse(const QStringList& arguments, QString* problem) {
    BatchOptions options;
    bool onlyInputs = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (onlyInputs || !argument.startsWith(u'-') || argument == QLatin1String("-")) {
            options.inputs << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            onlyInputs = true;
            continue;
        }
        if (argument == QLatin1String("--quiet") || argument == QLatin1String("-q")) {
            options.quiet = true;
            continue;
        }
        if (argument == QLatin1String("--keep-tree")) {
            options.keepTree = true;
            continue;
        }
        if (argument == QLatin1String("--overwrite")) {
            options.overwrite = true;
            continue;
        }
        // --name VALUE or --name=VALUE
        QString name = argument, value;
        const qsizetype equals = argument.indexOf(u'=');
        if (equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        } else if (name == QLatin1String("--to") || name == QLatin1String("--out-dir") ||
                   name == QLatin1String("--jobs") || name == QLatin1String("-j")) {
            if (i + 1 == arguments.size()) {
                *problem = QStringLiteral("%1 needs a value (see --help)").arg(name);
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (name == QLatin1String("--to")) {
            options.format = value.toLower();
            if (!formats.contains(options.format)) {
                *problem = QStringLiteral("unknown format: %1 (use %2)")
                               .arg(value, formats.join(QStringLiteral(", ")));
                return std::nullopt;
            }
        } else if (name == QLatin1String("--out-dir")) {
            options.outDir = value;
            if (value.isEmpty()) {
                *problem = QStringLiteral("--out-dir needs a folder (see --help)");
                return std::nullopt;
            }
        } else if (name == QLatin1String("--jobs") || name == QLatin1String("-j")) {
            bool number = false;
            options.jobs = value.toInt(&number);
            if (!number || options.jobs < 1) {
                *problem = QStringLiteral("--jobs needs a number of 1 or more, not %1").arg(value);
                return std::nullopt;
            }
        } else {
            *problem = QStringLiteral("unknown option: %1 (see --help)").arg(argument);
            return std::nullopt;
        }
    }
    if (options.inputs.isEmpty()) {
        *problem = QStringLiteral("no INPUT given (see --help)");
        return std::nullopt;
    }
    if (options.keepTree && options.outDir.isEmpty()) {
        *problem = QStringLiteral("--keep-tree needs --out-dir (see --help)");
        return std::nullopt;
    }
    return options;
}

QString BatchOptions::outputFor(const QString& input, QString* problem) const {
    const QFileInfo info(input);
    // "archive.2024.rtf" becomes "archive.2024.txt"; a name with no base keeps its whole name.
    QString base = info.completeBaseName();
    if (base.isEmpty())
        base = info.fileName();
    const QString name = base + u'.' + format;
    if (keepTree) {
        // "a/source.rtf" goes to "OUT/a/source.txt"; a whole path keeps all its folders, as
        // cp --parents and tar keep them: "/srv/a/source.rtf" goes to "OUT/srv/a/source.txt".
        QString folder = QFileInfo(QDir::cleanPath(input)).path();
        if (folder.startsWith(u'/'))
            folder = QDir::cleanPath(folder.mid(1));
        else if (folder == QLatin1String("..") || folder.startsWith(QLatin1String("../"))) {
            *problem = QStringLiteral("cannot convert %1: with --keep-tree its output would be "
                                      "outside %2 (name it from a folder above it, or by its "
                                      "whole path)")
                           .arg(input, outDir);
            return {};
        }
        if (!folder.isEmpty() && folder != QLatin1String("."))
            return QDir(outDir).filePath(folder + u'/' + name);
    }
    if (!outDir.isEmpty())
        return QDir(outDir).filePath(name);
    // Beside the input, named as the input was: "letter.rtf" gives "letter.txt", not
    // "./letter.txt".
    if (info.path() == QLatin1String(".") && !input.startsWith(QLatin1String("./")))
        return name;
    return info.path() + u'/' + name;
}
