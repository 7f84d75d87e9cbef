#pragma once

#include "system/Desktop.h"

#include <optional>

// The registry on Linux: a profile file whose sections are full key names and whose lines are
// the values, by default at ~/.config/vormelin/registry.ini:
//
//     [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//     PATH=/usr/bin/hardinfo
//
// A plain value is text, kept as the registry keeps text: UTF-8 with its terminating zero.
// "hex(1):41,42" gives text of exactly those bytes (with or without a zero), "dword:0000002a"
// a 32-bit number. Key and value names match without regard to letter case; an empty value
// counts as absent.
namespace RegistryFile {

QString defaultPath();
std::optional<RegistryValue> value(const QString& path, quint32 root, const QString& key,
                                   const QString& name);

} // namespace RegistryFile
