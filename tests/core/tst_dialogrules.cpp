#include "AlertText.h"
#include "ItemRecordKeys.h"
#include "ScratchEnvironment.h"
#include "SoundFile.h"
#include "VersionNumber.h"

#include <QDir>
#include <QFile>
#include <QTest>

// The rules behind the alert window and the version check, as plain
// functions: the alert paragraph, where a sound is found, which release is
// newer.
class TestDialogRules : public QObject
{
    Q_OBJECT

private slots:
    void alertParagraph_data();
    void alertParagraph();
    void soundFile_data();
    void soundFile();
    void newerVersion_data();
    void newerVersion();

private:
    ScratchEnvironment m_scratch;
};

void TestDialogRules::alertParagraph_data()
{
    QTest::addColumn<QVariantMap>("item");
    QTest::addColumn<QString>("expected");
    const QString page = "https://www.amazon.de/dp/B0PW000001";
    const QString stock = "<p>On 2011-05-01 01:34:56 pm:<br />%1: Item is <b><font "
                          "color=\"#00aa00\">in stock</font></b>!</p>";
    const QString drop = "<p>On 2011-05-01 01:34:56 pm:<br />%1: Item price has dropped to <font "
                         "color=\"#00aa00\"><b>%2</b></font>!</p>";
    const QString linked = "<b><a href=\"" + page + "\">%1</a></b>";
    const auto row = [](const char* name, const QVariant& condition, const QString& title,
                         const QString& link, const QString& price, const QString& expected) {
        QVariantMap item { { ItemKey::Title, title }, { ItemKey::DetailPageUrl, link },
            { ItemKey::FormattedAlertPrice, price } };
        if (condition.isValid())
            item.insert(ItemKey::WatchCondition, condition);
        QTest::newRow(name) << item << expected;
    };
    row("in stock", 1, "Mug", page, "$1", stock.arg(linked.arg("Mug")));
    row("price drop", 2, "Mug", page, "$1", drop.arg(linked.arg("Mug"), "$1"));
    row("condition 0", 0, "Mug", page, "$1", drop.arg(linked.arg("Mug"), "$1"));
    row("no condition, no price", {}, "Mug", page, "", drop.arg(linked.arg("Mug"), ""));
    row("markup escaped", 2, "<i>Mug</i> & Co", page, "<b>1</b>",
        drop.arg(linked.arg("&lt;i&gt;Mug&lt;/i&gt; &amp; Co"), "&lt;b&gt;1&lt;/b&gt;"));
    row("placeholders stay text", 2, "50%3 off %1", page, "$1",
        drop.arg(linked.arg("50%3 off %1"), "$1"));
    row("no link to a local file", 1, "Mug", "file:///etc/passwd", "", stock.arg("<b>Mug</b>"));
}

void TestDialogRules::alertParagraph()
{
    QFETCH(QVariantMap, item);
    QFETCH(QString, expected);
    QCOMPARE(AlertText::Paragraph(item, QDateTime(QDate(2011, 5, 1), QTime(13, 34, 56))), expected);
}

void TestDialogRules::soundFile_data()
{
    // "beside" stands for the program's directory, "installed" for the
    // shared one; a directory named like a sound is no sound.
    QDir scratch(m_scratch.path());
    QVERIFY(scratch.mkpath("beside/folder.wav") && scratch.mkpath("installed"));
    for (const char* path :
        { "beside/alert.wav", "beside/both.wav", "installed/both.wav", "installed/drum.wav" })
        QVERIFY(QFile(scratch.filePath(path)).open(QIODevice::WriteOnly));
    // Beside the program first, then where the install puts the sounds.
    QCOMPARE(SoundFile::SearchDirectories(),
        QStringList(
            { QCoreApplication::applicationDirPath() + "/sound", PRICEWARDEN_SOUND_INSTALL_DIR }));
    // The built-in sounds are placed beside the program, and so this test.
    QCOMPARE(SoundFile::BuiltInNames().size(), 5);
    for (const QString& name : SoundFile::BuiltInNames())
        QVERIFY(QFileInfo(SoundFile::Resolve(name)).isFile());

    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // relative to the scratch directory
    const auto row = [](const char* name, const char* sound, const char* expected) {
        QTest::newRow(name) << QString(sound) << QString(expected);
    };
    row("beside the program", "alert.wav", "beside/alert.wav");
    row("in both, first wins", "both.wav", "beside/both.wav");
    row("only installed", "drum.wav", "installed/drum.wav");
    row("nowhere: where it would be", "ringin.wav", "beside/ringin.wav");
    row("a directory is no sound", "folder.wav", "beside/folder.wav");
    row("blanks are part of the name", " drum.wav ", "beside/ drum.wav ");
    row("blank", "  ", "");
    row("absolute stays, even missing", "/no/such.wav", "/no/such.wav");
}

void TestDialogRules::soundFile()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    if (!expected.isEmpty() && QDir::isRelativePath(expected))
        expected = m_scratch.filePath(expected);
    const QStringList directories { m_scratch.filePath("beside"), m_scratch.filePath("installed") };
    QCOMPARE(SoundFile::Resolve(name, directories), expected);
}

void TestDialogRules::newerVersion_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("running");
    QTest::addColumn<bool>("newer");
    const auto row = [](const char* name, const char* latest, const char* running, bool newer) {
        QTest::newRow(name) << QString(latest) << QString(running) << newer;
    };
    row("newer", "1.4", "1.3", true);
    row("same", "1.3", "1.3", false);
    row("two digits", "1.10", "1.3", true);
    row("trailing zero", "1.3.0", "1.3", false);
    row("patch", "1.3.1", "1.3", true);
    row("beyond 64 bits", "1.99999999999999999999", "1.3", true);
    row("blanks around", " 1.4\n", "1.3", true);
    row("empty", "", "1.3", false);
    row("suffix", "1.4-beta", "1.3", false);
    row("running unreadable", "1.4", "dev", false);
}

void TestDialogRules::newerVersion()
{
    QFETCH(QString, latest);
    QFETCH(QString, running);
    QFETCH(bool, newer);
    QCOMPARE(VersionNumber::IsNewerVersion(latest, running), newer);
}

QTEST_GUILESS_MAIN(TestDialogRules)
#include "tst_dialogrules.moc"
