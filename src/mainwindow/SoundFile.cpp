#include "SoundFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace SoundFile {

QStringList BuiltInNames()
{
    return { QStringLiteral("alert.wav"), QStringLiteral("attention.wav"),
        QStringLiteral("buzzer.wav"), QStringLiteral("drum.wav"), QStringLiteral("ringin.wav") };
}

QStringList SearchDirectories()
{
    QStringList directories { QCoreApplication::applicationDirPath() + QDir::separator()
        + QStringLiteral("sound") };
#ifdef PRICEWARDEN_SOUND_INSTALL_DIR
    directories << QStringLiteral(PRICEWARDEN_SOUND_INSTALL_DIR);
#endif
    return directories;
}

QString Resolve(const QString& name, const QStringList& directories)
{
    // Only blanks would resolve to the directory itself, which exists but is
    // no sound. Other names are taken as typed: a file name may well begin
    // or end with a blank.
    if (name.trimmed().isEmpty())
        return QString();
    if (QFileInfo(name).isAbsolute())
        return name;
    for (const QString& directory : directories) {
        const QFileInfo candidate(QDir(directory), name);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    if (directories.isEmpty())
        return QFileInfo(name).absoluteFilePath();
    return QFileInfo(QDir(directories.first()), name).absoluteFilePath();
}

QString Resolve(const QString& name)
{
    return Resolve(name, SearchDirectories());
}

} // namespace SoundFile
