// `cmake --install` into a scratch root: exactly the app's files land where
// a freedesktop.org desktop looks for them, and both validators accept them.

#include "BuildConfig.h"
#include "ProgramRun.h"

#include <QDir>
#include <QDirIterator>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestInstallTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void treeHoldsExactlyTheAppsFiles();
    void validatorAccepts_data();
    void validatorAccepts();
    void entryAndMetadataLeadToTheInstalledApp();

private:
    // A path below the installed prefix, inside the scratch root.
    QString Installed(const QString& relative) const
    {
        return m_root.path() + QStringLiteral(PRICEWARDEN_TEST_PREFIX "/") + relative;
    }
    QString DesktopFile() const
    {
        return Installed(QStringLiteral(
            PRICEWARDEN_TEST_DATADIR "/applications/" PRICEWARDEN_DESKTOP_ID ".desktop"));
    }
    QString MetainfoFile() const
    {
        return Installed(QStringLiteral(
            PRICEWARDEN_TEST_DATADIR "/metainfo/" PRICEWARDEN_DESKTOP_ID ".metainfo.xml"));
    }

    QTemporaryDir m_root;
};

namespace {

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString DesktopValue(const QString& entry, const QString& key)
{
    const QRegularExpression line(
        QStringLiteral("^%1=(.*)$").arg(key), QRegularExpression::MultilineOption);
    return line.match(entry).captured(1);
}

} // namespace

void TestInstallTree::initTestCase()
{
    QVERIFY(m_root.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_root.path());
    const ProgramRun install = RunProgram(QStringLiteral(PRICEWARDEN_TEST_CMAKE),
        { QStringLiteral("--install"), QStringLiteral(PRICEWARDEN_TEST_BUILD_DIR) }, environment);
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
}

void TestInstallTree::treeHoldsExactlyTheAppsFiles()
{
    const QString data = QStringLiteral(PRICEWARDEN_TEST_DATADIR);
    const QString id = QStringLiteral(PRICEWARDEN_DESKTOP_ID);
    QStringList expected { QStringLiteral(PRICEWARDEN_TEST_BINDIR "/pricewarden"),
        data + "/applications/" + id + ".desktop", data + "/metainfo/" + id + ".metainfo.xml",
        data + "/icons/hicolor/scalable/apps/" + id + ".svg",
        data + "/doc/pricewarden/pricewarden.example.ini" };
    for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
        expected
            << QStringLiteral("%1/icons/hicolor/%2x%2/apps/%3.png").arg(data).arg(size).arg(id);
    // Every sound the project ships, the default one among them.
    const QStringList sounds = QDir(QStringLiteral(PRICEWARDEN_TEST_SOURCE_DIR "/sound"))
                                   .entryList({ QStringLiteral("*.wav") }, QDir::Files);
    QVERIFY(sounds.contains(QStringLiteral("alert.wav")));
    for (const QString& sound : sounds)
        expected << data + "/pricewarden/sound/" + sound;
    expected.sort();

    const QDir prefix(Installed(QString()));
    QStringList installed;
    QDirIterator it(
        m_root.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        installed << prefix.relativeFilePath(it.next());
    installed.sort();
    QCOMPARE(installed, expected);
    QVERIFY(QFileInfo(Installed(expected.first())).isExecutable());
}

void TestInstallTree::validatorAccepts_data()
{
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("target");
    QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList() << "desktop";
    QTest::newRow("AppStream metadata")
        << "appstreamcli" << QStringList { "validate", "--no-net" } << "metainfo";
    QTest::newRow("AppStream tree")
        << "appstreamcli" << QStringList { "validate-tree", "--no-net" } << "prefix";
}

void TestInstallTree::validatorAccepts()
{
    QFETCH(QString, validator);
    QFETCH(QStringList, arguments);
    QFETCH(QString, target);
    const QString program = QStandardPaths::findExecutable(validator);
    QVERIFY2(!program.isEmpty(), qPrintable(validator + " is missing: run scripts/install-deps"));
    arguments << (target == QLatin1String("desktop") ? DesktopFile()
            : target == QLatin1String("metainfo")    ? MetainfoFile()
                                                     : Installed(QString()));
    const ProgramRun run = RunProgram(program, arguments);
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    // desktop-file-validate passes a file with warnings; they count here.
    if (target == QLatin1String("desktop"))
        QVERIFY2(run.output.trimmed().isEmpty(), qPrintable(run.output));
}

// The menu entry starts the installed executable with the installed icon;
// the metadata describes this version and names this entry.
void TestInstallTree::entryAndMetadataLeadToTheInstalledApp()
{
    const QString entry = ReadText(DesktopFile());
    QCOMPARE(DesktopValue(entry, QStringLiteral("Exec")),
        QStringLiteral(PRICEWARDEN_INSTALLED_EXECUTABLE));
    QCOMPARE(DesktopValue(entry, QStringLiteral("Icon")), QStringLiteral(PRICEWARDEN_DESKTOP_ID));
    const ProgramRun version
        = RunProgram(m_root.path() + DesktopValue(entry, QStringLiteral("Exec")),
            { QStringLiteral("--version") });
    QCOMPARE(version.output, QStringLiteral("Pricewarden " PRICEWARDEN_VERSION "\n"));

    QDomDocument metainfo;
    QVERIFY(metainfo.setContent(ReadText(MetainfoFile())));
    const QDomElement component = metainfo.documentElement();
    QCOMPARE(component.firstChildElement("id").text(), QStringLiteral(PRICEWARDEN_DESKTOP_ID));
    QCOMPARE(component.firstChildElement("launchable").text(), QFileInfo(DesktopFile()).fileName());
    QCOMPARE(
        component.firstChildElement("releases").firstChildElement("release").attribute("version"),
        QStringLiteral(PRICEWARDEN_VERSION));
    QVERIFY(component.firstChildElement("screenshots")
                .firstChildElement("screenshot")
                .firstChildElement("image")
                .text()
                .endsWith(QLatin1String("/mainwindow.png")));
}

QTEST_GUILESS_MAIN(TestInstallTree)
#include "tst_installtree.moc"
