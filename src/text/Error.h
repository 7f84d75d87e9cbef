#pragma once

#include <QString>

// A run-time failure carrying the program's error number and description, so that handlers
// can show the same texts and tell a cancelled dialog (32755) from a real failure.
struct Error {
    int number = 0;
    QString description;

    static constexpr int InvalidProcedureCall = 5;
    static constexpr int Overflow = 6;
    static constexpr int OutOfMemory = 7;
    static constexpr int TypeMismatch = 13;
    static constexpr int BadFileName = 52;
    static constexpr int FileNotFound = 53;
    static constexpr int DiskFull = 61;
    static constexpr int InputPastEnd = 62;
    static constexpr int PermissionDenied = 70;
    static constexpr int PathFileAccess = 75;
    static constexpr int PathNotFound = 76;
    static constexpr int InvalidFileFormat = 321;
    static constexpr int InvalidPropertyValue = 380;
    static constexpr int Cancel = 32755;

    static Error overflow() { return {Overflow, QStringLiteral("Overflow")}; }
    static Error fileNotFound() { return {FileNotFound, QStringLiteral("File not found")}; }
    static Error pathFileAccess() {
        return {PathFileAccess, QStringLiteral("Path/File access error")};
    }
    static Error cancelled() { return {Cancel, QStringLiteral("Cancel was selected.")}; }
    static Error withNumber(int number);
};
