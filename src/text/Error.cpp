#include "text/Error.h"

Error Error::withNumber(int number) {
    switch (number) {
    case InvalidProcedureCall:
        return {InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument")};
    case Overflow:
        return overflow();
    case OutOfMemory:
        return {OutOfMemory, QStringLiteral("Out of memory")};
    case TypeMismatch:
        return {TypeMismatch, QStringLiteral("Type mismatch")};
    case BadFileName:
        return {BadFileName, QStringLiteral("Bad file name or number")};
    case FileNotFound:
        return fileNotFound();
    case DiskFull:
        return {DiskFull, QStringLiteral("Disk full")};
    case InputPastEnd:
        return {InputPastEnd, QStringLiteral("Input past end of file")};
    case PermissionDenied:
        return {PermissionDenied, QStringLiteral("Permission denied")};
    case PathFileAccess:
        return pathFileAccess();
    case PathNotFound:
        return {PathNotFound, QStringLiteral("Path not found")};
    case InvalidPropertyValue:
        return {InvalidPropertyValue, QStringLiteral("Invalid property value")};
    case InvalidFileFormat:
        return {InvalidFileFormat, QStringLiteral("Invalid file format")};
    case Cancel:
        return cancelled();
    default:
        return {number, QStringLiteral("Application-defined or object-defined error")};
    }
}
