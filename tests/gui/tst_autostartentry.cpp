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
    void enableWritesAnEntryThatStartsTheExecutable();
    void disableRemovesOnlyOurEntry();
    void disableWithoutEntrySucceeds();
    void enableCreatesTheDirectory();
    void execArgumentSurvivesAwkwardPaths_data();
    void execArgumentSurvivesAwkwardPaths();
    void defaultDirectoryIsTheConfigAutostartDirectory();
};

namespace {

QString ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Undoes the two escaping layers of an Exec value: the desktop-entry string
// escapes, then the quoting of one argument.
QString UnquoteExec(const QString& value)
{
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            if (next == QLatin1Char('n'))
                unescaped += QLatin1Char('\n');
            else if (next == QLatin1Char('t'))
                unescaped += QLatin1Char('\t');
            else if (next == QLatin1Char('r'))
                unescaped += QLatin1Char('\r');
            else
                unescaped += next;
        } else {
            unescaped += value.at(i);
        }
    }
    unescaped.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (!unescaped.startsWith(QLatin1Char('"')) || !unescaped.endsWith(QLatin1Char('"')))
        return QStringLiteral("<not quoted>");
    const QString inner = unescaped.mid(1, unescaped.size() - 2);
    QString argument;
    for (int i = 0; i < inner.size(); ++i) {
        if (inner.at(i) == QLatin1Char('\\') && i + 1 < inner.size())
            argument += inner.at(++i);
        else if (inner.at(i) == QLatin1Char('"'))
            return QStringLiteral("<unescaped quote>");
        else
            argument += inner.at(i);
    }
    return argument;
}

QString ExecValue(const QString& entryText)
{
    for (const QString& line : entryText.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec=")))
            return line.mid(5);
    }
    return {};
}

} // namespace

void TestAutostartEntry::enableWritesAnEntryThatStartsTheExecutable()
{
    QTemporaryDir dir;
    const AutostartEntry entry(dir.path());
    QVERIFY(entry.Enable(QStringLiteral("/opt/pricewarden/bin/pricewarden")));
    QCOMPARE(entry.FilePath(), dir.filePath(QStringLiteral("pricewarden.desktop")));
    QVERIFY(entry.IsEnabled());

    QSettings desktop(entry.FilePath(), QSettings::IniFormat);
    desktop.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(desktop.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    QCOMPARE(desktop.value(QStringLiteral("Name")).toString(), QStringLiteral("Pricewarden"));
    QCOMPARE(UnquoteExec(ExecValue(ReadFile(entry.FilePath()))),
        QStringLiteral("/opt/pricewarden/bin/pricewarden"));
}

void TestAutostartEntry::disableRemovesOnlyOurEntry()
{
    QTemporaryDir dir;
    QFile other(dir.filePath(QStringLiteral("other.desktop")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    const AutostartEntry entry(dir.path());
    QVERIFY(entry.Enable(QStringLiteral("/usr/bin/pricewarden")));

    QVERIFY(entry.Disable());
    QVERIFY(!entry.IsEnabled());
    QVERIFY(!QFile::exists(entry.FilePath()));
    QVERIFY(QFile::exists(other.fileName()));
}

void TestAutostartEntry::disableWithoutEntrySucceeds()
{
    QTemporaryDir dir;
    QVERIFY(AutostartEntry(dir.path()).Disable());
    QVERIFY(AutostartEntry(dir.filePath(QStringLiteral("missing"))).Disable());
}

void TestAutostartEntry::enableCreatesTheDirectory()
{
    QTemporaryDir dir;
    const AutostartEntry entry(dir.filePath(QStringLiteral("config/autostart")));
    QVERIFY(entry.Enable(QStringLiteral("/usr/bin/pricewarden")));
    QVERIFY(QFile::exists(entry.FilePath()));
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
    QCOMPARE(UnquoteExec(ExecValue(text)), path);
}

void TestAutostartEntry::defaultDirectoryIsTheConfigAutostartDirectory()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    QCOMPARE(AutostartEntry::DefaultDirectory(), dir.filePath(QStringLiteral("autostart")));
}

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "tst_autostartentry.moc"
