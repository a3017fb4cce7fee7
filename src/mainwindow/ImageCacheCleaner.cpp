#include "ImageCacheCleaner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

QString ImageCacheCleaner::CacheDirectoryName()
{
    return QStringLiteral("pw_cache");
}

bool ImageCacheCleaner::IsCacheDirectory(const QString& directory)
{
    if (directory.isEmpty())
        return false;
    const QFileInfo info(directory);
    if (!info.isAbsolute() || info.fileName() != CacheDirectoryName())
        return false;
    if (info.isSymLink() || !info.isDir())
        return false;
#ifdef Q_OS_UNIX
    if (info.ownerId() != static_cast<uint>(::getuid()))
        return false;
#endif
    return true;
}

int ImageCacheCleaner::RemoveFiles(const QString& directory)
{
    if (!IsCacheDirectory(directory))
        return 0;
    const QDir cache(directory);
    const QFileInfoList entries
        = cache.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    int removed = 0;
    for (const QFileInfo& entry : entries) {
        if (QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}
