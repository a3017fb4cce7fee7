#pragma once

#include <QString>

// Empties the image cache at close. The cache directory lies in the shared
// temporary directory, so the clean-up refuses anything that is not plainly
// our own cache: an empty path (which would mean the working directory), a
// directory of another name, a symbolic link, or a directory of another user.
class ImageCacheCleaner
{
public:
    // The directory name the cache always has.
    static QString CacheDirectoryName();

    // Whether directory may be emptied by RemoveFiles().
    static bool IsCacheDirectory(const QString& directory);

    // Removes every file (links included, never their targets) directly
    // inside the cache directory; sub-directories and the directory itself
    // stay. Returns the number of files removed.
    static int RemoveFiles(const QString& directory);
};
