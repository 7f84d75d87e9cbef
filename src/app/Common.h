#pragma once

#include <QString>

// Utility routines shared by the program's forms and modules.
namespace Common {

// The value under key in section of the profile file at file, at most 254 characters; empty
// when the file, the section or the key is absent.
QString GetIniValue(const QString& section, const QString& key, const QString& file);

// Stores value under key in section of the profile file, keeping the rest of the file. Like
// the profile call it stands for, it does not raise; false tells that nothing was stored.
bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& file);

// Replaces every occurrence of find in text, ignoring letter case; the search resumes after
// each inserted replacement. An empty find changes nothing.
void ReplaceText(QString& text, const QString& find, const QString& replacement);

} // namespace Common
