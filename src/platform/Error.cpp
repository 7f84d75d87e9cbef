#include "platform/Error.h"

Error Error::withNumber(int number) {
    switch (number) {
    case 5:
        return {5, QStringLiteral("Invalid procedure call or argument")};
    case Overflow:
        return overflow();
    case 7:
        return {7, QStringLiteral("Out of memory")};
    case 13:
        return {13, QStringLiteral("Type mismatch")};
    case 52:
        return {52, QStringLiteral("Bad file name or number")};
    case FileNotFound:
        return fileNotFound();
    case 61:
        return {61, QStringLiteral("Disk full")};
    case 62:
        return {62, QStringLiteral("Input past end of file")};
    case 70:
        return {70, QStringLiteral("Permission denied")};
    case PathFileAccess:
        return pathFileAccess();
    case 76:
        return {76, QStringLiteral("Path not found")};
    case 380:
        return {380, QStringLiteral("Invalid property value")};
    case Cancel:
        return cancelled();
    default:
        return {number, QStringLiteral("Application-defined or object-defined error")};
    }
}
