#include "ImageCacheCleaner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The image cache is emptied at close; nothing outside it may go.
class TestImageCacheCleaner : public QObject
{
    Q_OBJECT

private slots:
    void removesFilesAndKeepsDirectories();
    void refusesWhatIsNotTheCache_data();
    void refusesWhatIsNotTheCache();
    void refusesALinkedCacheDirectory();

private:
    static void Touch(const QString& path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
};

void TestImageCacheCleaner::removesFilesAndKeepsDirectories()
{
    QTemporaryDir root;
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("pw_cache/sub")));
    const QString cache = dir.filePath(QStringLiteral("pw_cache"));
    Touch(cache + QStringLiteral("/a.jpg"));
    Touch(cache + QStringLiteral("/.hidden"));
    Touch(cache + QStringLiteral("/sub/kept.jpg"));
    Touch(dir.filePath(QStringLiteral("outside.jpg")));
    QVERIFY(QFile::link(
        dir.filePath(QStringLiteral("outside.jpg")), cache + QStringLiteral("/link.jpg")));

    QCOMPARE(ImageCacheCleaner::RemoveFiles(cache), 3);
    QCOMPARE(QDir(cache).entryList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("sub") });
    QVERIFY(QFile::exists(cache + QStringLiteral("/sub/kept.jpg")));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("outside.jpg"))));
}

void TestImageCacheCleaner::refusesWhatIsNotTheCache_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("absolute");
    QTest::newRow("empty path (the working directory)") << "" << false;
    QTest::newRow("another name") << "other" << true;
    QTest::newRow("relative pw_cache") << "pw_cache" << false;
}

void TestImageCacheCleaner::refusesWhatIsNotTheCache()
{
    QFETCH(QString, relative);
    QFETCH(bool, absolute);
    QTemporaryDir root;
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("other")));
    QVERIFY(dir.mkpath(QStringLiteral("pw_cache")));
    Touch(dir.filePath(QStringLiteral("other/file")));
    Touch(dir.filePath(QStringLiteral("pw_cache/file")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(root.path());
    const QString path = absolute ? dir.filePath(relative) : relative;
    const int removed = ImageCacheCleaner::RemoveFiles(path);
    QDir::setCurrent(previous);
    QCOMPARE(removed, 0);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("other/file"))));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("pw_cache/file"))));
}

void TestImageCacheCleaner::refusesALinkedCacheDirectory()
{
    QTemporaryDir root;
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("victim")));
    Touch(dir.filePath(QStringLiteral("victim/precious")));
    QVERIFY(QFile::link(
        dir.filePath(QStringLiteral("victim")), dir.filePath(QStringLiteral("pw_cache"))));
    QCOMPARE(ImageCacheCleaner::RemoveFiles(dir.filePath(QStringLiteral("pw_cache"))), 0);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("victim/precious"))));
}

QTEST_GUILESS_MAIN(TestImageCacheCleaner)
#include "tst_imagecachecleaner.moc"
