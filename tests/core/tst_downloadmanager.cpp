// The image downloads against the simulated store's image host, reached as
// this process's HTTP proxy.
#include "DownloadManager.h"
#include "Global.h"
#include "ScratchEnvironment.h"
#include "SimulatedStoreSession.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

class TestDownloadManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void savedFileName_data();
    void savedFileName();
    void listIsFetchedOneAtATime();
    void emptyListFinishesOnce();

private:
    ScratchEnvironment m_scratch;
    std::unique_ptr<SimulatedStoreSession> m_session;
};

void TestDownloadManager::initTestCase()
{
    Global::InitializeSettings();
    m_session = std::make_unique<SimulatedStoreSession>();
    QVERIFY(m_session->isReady());
    Global::TempDir = m_scratch.filePath("pw_cache");
    QVERIFY(QDir().mkpath(Global::TempDir));
}

void TestDownloadManager::init()
{
    m_session->store().clearRequestLog();
    for (const QString& name :
        QDir(Global::TempDir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        QVERIFY(QFile::remove(Global::TempDir + "/" + name));
}

void TestDownloadManager::savedFileName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::newRow("last component") << "http://img.example/images/P/a.jpg?x=1"
                                    << "img.example.a.jpg";
    QTest::newRow("path ending in /") << "http://img.example/images/"
                                      << "img.example.download";
    QTest::newRow("no path") << "https://img.example"
                             << "img.example.download";
}

void TestDownloadManager::savedFileName()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QCOMPARE(DownloadManager::GetSaveFileName(QUrl(url)), Global::TempDir + "/" + name);
}

// A duplicate waits only once; a failure (404, a refused scheme, an endless
// body) leaves no file and the next download still starts; a link planted
// under a target name is replaced, its target left alone.
void TestDownloadManager::listIsFetchedOneAtATime()
{
    const QString first = SimulatedStore::imageUrl("B0PW000001", "medium");
    const QString missing = "http://" + SimulatedStore::imageHost() + "/images/P/missing.png";
    const QString second = SimulatedStore::imageUrl("B0PW000002", "small");
    const QString endless = SimulatedStore::imageUrl("B0PW000003", "large");
    SimulatedFault fault;
    fault.target = SimulatedFault::Target::Image;
    fault.count = 2; // an undelayed delay for the first two requests
    m_session->store().injectFault(fault);
    fault.kind = SimulatedFault::Kind::HugeBody;
    fault.bytes = qint64(1) << 40; // only the client's bound can end it
    fault.count = 1;
    m_session->store().injectFault(fault);
    const QString victim = m_scratch.filePath("victim");
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("mine") == 4);
    file.close();
    QVERIFY(QFile::link(victim, DownloadManager::GetSaveFileName(QUrl(second))));

    DownloadManager manager;
    QSignalSpy finished(&manager, &DownloadManager::Finished);
    QSignalSpy errors(&manager, &DownloadManager::Error);
    QSignalSpy progress(&manager, &DownloadManager::Progress);
    QList<QDateTime> ended;
    for (auto signal : { &DownloadManager::FileDownloaded, &DownloadManager::Error })
        connect(&manager, signal, this, [&ended] { ended << QDateTime::currentDateTimeUtc(); });
    QSignalSpy downloaded(&manager, &DownloadManager::FileDownloaded);
    manager.Append(QStringList { first, missing, first, "file:///etc/passwd", endless, second });
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);

    const QList<SimulatedRequest> log = m_session->store().requestLog();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log[1].path, QString("/images/P/missing.png"));
    // Each request leaves after the one before has ended (ended[2] is the
    // file URL, refused without a request).
    QVERIFY(ended[0] <= log[1].arrival && ended[1] <= log[2].arrival && ended[3] <= log[3].arrival);
    QCOMPARE(downloaded.size(), 2);
    QCOMPARE(downloaded[0][0].toString(), DownloadManager::GetSaveFileName(QUrl(first)));
    QCOMPARE(errors.size(), 3);
    QVERIFY(errors[2][0].toString().contains("larger than 16 MiB"));
    QCOMPARE(progress.last().first().toInt(), 100);
    const QString stored = downloaded[1][0].toString();
    QVERIFY(!QFileInfo(stored).isSymLink());
    QFile image(stored);
    QVERIFY(image.open(QIODevice::ReadOnly) && image.readAll().startsWith("\x89PNG"));
    QFile kept(victim);
    QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == "mine");
    QCOMPARE(QDir(Global::TempDir).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestDownloadManager::emptyListFinishesOnce()
{
    DownloadManager manager;
    QSignalSpy finished(&manager, &DownloadManager::Finished);
    manager.Append(QStringList());
    QVERIFY(finished.wait(1000));
    QTest::qWait(100);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(m_session->store().requestCount(), 0);
}

QTEST_GUILESS_MAIN(TestDownloadManager)
#include "tst_downloadmanager.moc"
