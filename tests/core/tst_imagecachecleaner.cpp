#include "ImageCacheCleaner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The image cache is emptied at close; nothing outside it may go.
class TestImageCacheCleaner : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void removesFilesAndKeepsDirectories();
    void refusesWhatIsNotTheCache_data();
    void refusesWhatIsNotTheCache();

private:
    void Touch(const QString& name) const
    {
        QFile file(m_root->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    bool Exists(const QString& name) const { return QFile::exists(m_root->filePath(name)); }

    std::unique_ptr<QTemporaryDir> m_root;
};

// other/, pw_cache/ and victim/ each hold a file; link/pw_cache leads to victim/.
void TestImageCacheCleaner::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QDir dir(m_root->path());
    for (const char* name : { "other", "pw_cache/sub", "victim", "link" })
        QVERIFY(dir.mkpath(QString::fromLatin1(name)));
    for (const char* name : { "other/file", "pw_cache/file", "victim/file" })
        Touch(QString::fromLatin1(name));
    QVERIFY(QFile::link(
        dir.filePath(QStringLiteral("victim")), dir.filePath(QStringLiteral("link/pw_cache"))));
}

void TestImageCacheCleaner::removesFilesAndKeepsDirectories()
{
    Touch(QStringLiteral("pw_cache/.hidden"));
    Touch(QStringLiteral("pw_cache/sub/kept.jpg"));
    QVERIFY(QFile::link(m_root->filePath(QStringLiteral("victim/file")),
        m_root->filePath(QStringLiteral("pw_cache/link.jpg"))));

    const QString cache = m_root->filePath(QStringLiteral("pw_cache"));
    QCOMPARE(ImageCacheCleaner::RemoveFiles(cache), 3);
    QCOMPARE(QDir(cache).entryList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("sub") });
    QVERIFY(Exists(QStringLiteral("pw_cache/sub/kept.jpg")));
    QVERIFY(Exists(QStringLiteral("victim/file")));
}

void TestImageCacheCleaner::refusesWhatIsNotTheCache_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("absolute");
    QTest::newRow("empty path (the working directory)") << "" << false;
    QTest::newRow("another name") << "other" << true;
    QTest::newRow("relative pw_cache") << "pw_cache" << false;
    QTest::newRow("pw_cache linking elsewhere") << "link/pw_cache" << true;
}

void TestImageCacheCleaner::refusesWhatIsNotTheCache()
{
    QFETCH(QString, relative);
    QFETCH(bool, absolute);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_root->path());
    const int removed
        = ImageCacheCleaner::RemoveFiles(absolute ? m_root->filePath(relative) : relative);
    QDir::setCurrent(previous);
    QCOMPARE(removed, 0);
    for (const char* name : { "other/file", "pw_cache/file", "victim/file" })
        QVERIFY(Exists(QString::fromLatin1(name)));
}

QTEST_GUILESS_MAIN(TestImageCacheCleaner)
#include "tst_imagecachecleaner.moc"
