#include "ScratchEnvironment.h"
#include "SoundFile.h"

#include <QDir>
#include <QFile>
#include <QTest>

// Where a sound name from the options is looked for.
class TestSoundFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resolve_data();
    void resolve();
    void builtInSoundsSitBesideTheProgram();

private:
    ScratchEnvironment m_scratch;
};

void TestSoundFile::initTestCase()
{
    // "beside" stands for the program's own directory, "installed" for the
    // shared one; a directory named like a sound is no sound.
    for (const char* path : { "beside/alert.wav", "beside/both.wav", "installed/both.wav",
             "installed/drum.wav", "my own.wav" }) {
        QVERIFY(QDir(m_scratch.path()).mkpath(QFileInfo(m_scratch.filePath(path)).path()));
        QFile file(m_scratch.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(m_scratch.path()).mkpath(QStringLiteral("beside/folder.wav")));
}

void TestSoundFile::resolve_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected"); // relative to the scratch directory
    QTest::newRow("beside the program") << "alert.wav"
                                        << "beside/alert.wav";
    QTest::newRow("in both, first wins") << "both.wav"
                                         << "beside/both.wav";
    QTest::newRow("only installed") << "drum.wav"
                                    << "installed/drum.wav";
    QTest::newRow("nowhere: where it would be") << "ringin.wav"
                                                << "beside/ringin.wav";
    QTest::newRow("a directory is no sound") << "folder.wav"
                                             << "beside/folder.wav";
    QTest::newRow("blanks are part of the name") << " drum.wav "
                                                 << "beside/ drum.wav ";
    QTest::newRow("blank") << "  " << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("absolute stays, even when missing") << "/no/such/file.wav"
                                                       << "/no/such/file.wav";
}

void TestSoundFile::resolve()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    if (!expected.isEmpty() && QDir::isRelativePath(expected))
        expected = m_scratch.filePath(expected);
    const QStringList directories { m_scratch.filePath(QStringLiteral("beside")),
        m_scratch.filePath(QStringLiteral("installed")) };
    QCOMPARE(SoundFile::Resolve(name, directories), expected);
}

void TestSoundFile::builtInSoundsSitBesideTheProgram()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/sound/");
    QCOMPARE(SoundFile::SearchDirectories().value(0), beside.chopped(1));
    QCOMPARE(SoundFile::BuiltInNames().size(), 5);
    for (const QString& name : SoundFile::BuiltInNames())
        QCOMPARE(SoundFile::Resolve(name), beside + name);
    // Typed with a full path, the user's own file stays where it is.
    const QString own = m_scratch.filePath(QStringLiteral("my own.wav"));
    QCOMPARE(SoundFile::Resolve(own), own);
}

QTEST_GUILESS_MAIN(TestSoundFile)
#include "tst_soundfile.moc"
