#include "AutostartEntry.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The login start entry on freedesktop systems.
class TestAutostartEntry : public QObject
{
    Q_OBJECT

private slots:
    void enableWritesAndDisableRemovesOnlyOurEntry();
    void execArgumentSurvivesAwkwardPaths_data();
    void execArgumentSurvivesAwkwardPaths();
    void defaultDirectoryIsTheConfigAutostartDirectory();
    void entryStartsTheInstalledProgramWhenThatRuns_data();
    void entryStartsTheInstalledProgramWhenThatRuns();
};

namespace {

// The executable named by an entry's Exec key, undoing both escaping layers:
// the desktop-entry string escapes, then the quoting of one argument.
QString ExecArgument(const QString& entryText)
{
    const int start = entryText.indexOf(QStringLiteral("\nExec=")) + 6;
    const QString value = entryText.mid(start, entryText.indexOf(QLatin1Char('\n'), start) - start);
    const QHash<QChar, QChar> named { { 'n', '\n' }, { 't', '\t' }, { 'r', '\r' } };
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        const bool escape = value.at(i) == QLatin1Char('\\') && i + 1 < value.size();
        const QChar c = escape ? value.at(++i) : value.at(i);
        unescaped += escape ? named.value(c, c) : c;
    }
    unescaped.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (unescaped.size() < 2 || !unescaped.startsWith('"') || !unescaped.endsWith('"'))
        return QStringLiteral("<not quoted>");
    QString argument;
    for (int i = 1; i + 1 < unescaped.size(); ++i) {
        if (unescaped.at(i) == QLatin1Char('"'))
            return QStringLiteral("<unescaped quote>");
        if (unescaped.at(i) == QLatin1Char('\\') && i + 2 < unescaped.size())
            ++i;
        argument += unescaped.at(i);
    }
    return argument;
}

QString ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

void TestAutostartEntry::enableWritesAndDisableRemovesOnlyOurEntry()
{
    QTemporaryDir dir;
    QVERIFY(AutostartEntry(dir.filePath(QStringLiteral("missing"))).Disable());
    const QString directory = dir.filePath(QStringLiteral("config/autostart"));
    const AutostartEntry entry(directory);
    QVERIFY(entry.Enable(QStringLiteral("/opt/pricewarden/bin/pricewarden")));
    QCOMPARE(entry.FilePath(), directory + QStringLiteral("/pricewarden.desktop"));
    QVERIFY(entry.IsEnabled());
    QSettings desktop(entry.FilePath(), QSettings::IniFormat);
    desktop.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(desktop.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    QCOMPARE(desktop.value(QStringLiteral("Name")).toString(), QStringLiteral("Pricewarden"));
    QCOMPARE(ExecArgument(ReadFile(entry.FilePath())),
        QStringLiteral("/opt/pricewarden/bin/pricewarden"));

    QFile other(directory + QStringLiteral("/other.desktop"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    QVERIFY(entry.Disable());
    QVERIFY(!entry.IsEnabled());
    QVERIFY(!QFile::exists(entry.FilePath()));
    QVERIFY(other.exists());
    QVERIFY(entry.Disable());
}

void TestAutostartEntry::execArgumentSurvivesAwkwardPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/usr/bin/pricewarden";
    QTest::newRow("blank") << "/home/a user/Price Warden/pricewarden";
    QTest::newRow("quote") << "/home/o\"brien/pricewarden";
    QTest::newRow("dollar and back quote") << "/tmp/$HOME/`id`/pricewarden";
    QTest::newRow("backslash") << "/tmp/back\\slash/pricewarden";
    QTest::newRow("percent") << "/tmp/100%u/pricewarden";
    QTest::newRow("line break") << "/tmp/two\nlines/pricewarden";
}

void TestAutostartEntry::execArgumentSurvivesAwkwardPaths()
{
    QFETCH(QString, path);
    const QString text = AutostartEntry::EntryText(path);
    QCOMPARE(text.count(QStringLiteral("\nExec=")), 1);
    QCOMPARE(ExecArgument(text), path);
}

void TestAutostartEntry::defaultDirectoryIsTheConfigAutostartDirectory()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    QCOMPARE(AutostartEntry::DefaultDirectory(), dir.filePath(QStringLiteral("autostart")));
}

void TestAutostartEntry::entryStartsTheInstalledProgramWhenThatRuns_data()
{
    QTest::addColumn<bool>("installed"); // whether the installed executable is there
    QTest::addColumn<QString>("running"); // "@": the installed executable
    QTest::addColumn<QString>("started"); // empty: no entry is written
    const auto row
        = [](const char* name, bool installed, const char* running, const char* started) {
              QTest::newRow(name) << installed << QString(running) << QString(started);
          };
    row("installed", true, "@", "@");
    row("installed, replaced by an upgrade", true, "", "@");
    row("build tree, rebuilt", true, "/b/pricewarden (deleted)", "/b/pricewarden");
    row("unknown, nothing installed", false, "", "");
}

void TestAutostartEntry::entryStartsTheInstalledProgramWhenThatRuns()
{
    QFETCH(bool, installed);
    QFETCH(QString, running);
    QFETCH(QString, started);
    QTemporaryDir dir;
    QFile program(dir.filePath(QStringLiteral("pricewarden")));
    QVERIFY(!installed
        || (program.open(QIODevice::WriteOnly) && program.setPermissions(QFile::ExeOwner)));
    running.replace(QLatin1Char('@'), program.fileName());
    started.replace(QLatin1Char('@'), program.fileName());
    const AutostartEntry entry(dir.filePath(QStringLiteral("autostart")), program.fileName());
    QCOMPARE(entry.Enable(running), !started.isEmpty());
    QCOMPARE(entry.IsEnabled(), !started.isEmpty());
    if (!started.isEmpty())
        QCOMPARE(ExecArgument(ReadFile(entry.FilePath())), started);
}

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "tst_autostartentry.moc"
