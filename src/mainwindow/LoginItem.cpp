#include "LoginItem.h"

#include "AutostartEntry.h"

#include <QCoreApplication>
#include <QProcess>
#include <QString>

void LoginItem::Set(bool enable, QObject* owner)
{
#ifdef Q_OS_MACOS
    QString script;
    if (enable) {
        QString path = QCoreApplication::applicationDirPath();
        const int bundleEnd = path.lastIndexOf(QStringLiteral("/Contents/MacOS"));
        if (bundleEnd > 0)
            path.truncate(bundleEnd);
        script = QStringLiteral("tell application \"System Events\"\n"
                                "    make login item at end with properties {path:\"%1\", "
                                "kind:application}\nend tell\n")
                     .arg(path);
    } else {
        script = QStringLiteral("tell application \"System Events\"\n"
                                "    get the name of every login item\n"
                                "    if login item \"Pricewarden\" exists then\n"
                                "        delete login item \"Pricewarden\"\n"
                                "    end if\nend tell\n");
    }
    auto* process = new QProcess(owner);
    process->start(QStringLiteral("/usr/bin/osascript"),
        { QStringLiteral("-l"), QStringLiteral("AppleScript") }, QIODevice::ReadWrite);
    process->write(script.toUtf8());
    process->closeWriteChannel();
#else
    Q_UNUSED(owner);
    const AutostartEntry entry(AutostartEntry::DefaultDirectory());
    if (enable)
        entry.Enable(QCoreApplication::applicationFilePath());
    else
        entry.Disable();
#endif
}
