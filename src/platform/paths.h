// File names as scripts write them, mapped onto this file system.
#pragma once

#include <QString>

namespace tesmora {

// Backslashes become slashes.
QString normalizeSeparators(const QString &name);
// True for a name that names a folder path (contains "\" or "/").
bool isPathName(const QString &name);
// True for "/..." or a drive letter "X:".
bool isAbsoluteName(const QString &name);
// The name as an existing path: when it does not exist as written, each
// component is looked up case-insensitively. Returns the normalized name
// unchanged when no match exists.
QString resolveCaseInsensitive(const QString &path);
// A script's file name taken relative to `folder` (ending in "/") unless absolute.
QString resolveAgainst(const QString &folder, const QString &name);

// The program folder: TESMORA_HOME when set; else the executable's folder
// when writable; else a per-user folder seeded with the bundled files.
// Ends with "/".
QString defaultProgramFolder();
// The program folder of a program in `exeDir`: that folder when
// `exeWritable`, else `userDir`, which first receives every bundled file it
// lacks (Scripts/ with its sub-folders, pictures/, guide/, the settings
// file), writable by its owner. Ends with "/".
QString programFolderFor(const QString &exeDir, bool exeWritable, const QString &userDir);

} // namespace tesmora
