#include "AmazonConnector.h"
#include "DatabaseManager.h"
#include "DialogAlert.h"
#include "DownloadManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "PrivateSessionBus.h"
#include "ProcessWait.h"
#include "ScratchEnvironment.h"
#include "ServiceManager.h"
#include "SimulatedStore.h"
#include "SoundFile.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSoundEffect>
#include <QSpinBox>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <csignal>
#include <cstdio>
#include <memory>

// Receives the pages the window opens in the browser.
class PageCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }
};

// The watch engine in the window, against the simulated store: starting and
// stopping, polls, alerts and their reactions, and what reaches the file.
class TestWatchEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void startRefusesOrNotes_data();
    void startRefusesOrNotes();
    void checkNowWhileIdlePollsOnce();
    void firstPollAtOnceThenPerInterval();
    void intervalFromOptions_data();
    void intervalFromOptions();
    void alertsFireOnceWithTheirReactions();
    void soundOncePerPassAndPopUp_data();
    void soundOncePerPassAndPopUp();
    void failedMailIsLoggedInRed();
    void imagesAreFetchedOnce();
    void preferencesApplyTheInterval_data();
    void preferencesApplyTheInterval();
    void editStoresOnlyTheChangedItem();
    void alertIsNotRepeatedAfterAKill();

private:
    void CreateWindow();
    WatchListWidget* List() const
    {
        return m_window->findChild<WatchListWidget*>(QStringLiteral("treeWidgetWatchList"));
    }
    QStringList LogLines() const;
    // Product API requests of an operation ("OfferFull" for price polls).
    QList<SimulatedRequest> Requests(const QString& operation, const QString& group = {}) const;
    QString StartChild(const QString& home);
    // Until the look-up at start has brought every row its prices.
    void WaitForPrices();

    ScratchEnvironment m_scratch;
    SimulatedStore m_store;
    PrivateSessionBus m_bus;
    FakeNotificationServer m_notifications;
    PageCatcher m_pages;
    QList<UserPrompt::Prompt> m_prompts;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QProcess> m_child;
    QString m_childOutput;
};

namespace {

const char ChildFlag[] = "--watch-child";

QVariantMap Watched(const char* asin, const char* locale, QVariantMap fields = {})
{
    QVariantMap record { { "ASIN", asin }, { "Locale", locale }, { "WatchCondition", 1 },
        { "Title", QStringLiteral("Item ") + asin }, { "ActionWebPage", false },
        { "Quantity", 1 } };
    record.insert(fields);
    return record;
}

// The watch list a window starts from.
void StoreItems(const QString& file, const QVariantList& items)
{
    QDir().mkpath(QFileInfo(file).path());
    DatabaseManager(file).SaveItems(items);
}

QVariantMap StoredRecord(const QString& file, const QString& asin, const QString& locale)
{
    for (const QVariant& item : DatabaseManager(file).GetItems(locale)) {
        if (item.toMap().value("ASIN") == asin)
            return item.toMap();
    }
    return {};
}

// A price far below any item's price: a watch that never fires.
const QVariantMap NeverMet { { "WatchCondition", 2 }, { "PriceLine", 0.01 } };

// --- the child side ---------------------------------------------------------

void Reply(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Opens pages by reporting them; the first run dies at its first page, in
// the middle of an alert's reactions.
class ChildPages : public QObject
{
    Q_OBJECT

public:
    bool bKillAtFirstPage = false;

public slots:
    void Open(const QUrl& url)
    {
        Reply(QStringLiteral("PAGE ") + url.toString());
        if (bKillAtFirstPage)
            ::raise(SIGKILL);
    }
};

int ChildMain(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenTest"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    Global::Initialize();
    Global::TempDir = qEnvironmentVariable("PRICEWARDEN_TEST_CACHE");
    UserPrompt::SetAnswerer([](const UserPrompt::Prompt&) { return QMessageBox::Ok; });
    ChildPages pages;
    pages.bKillAtFirstPage = QCoreApplication::arguments().value(2) == QLatin1String("kill");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &pages, "Open");
    MainWindow window;
    window.findChild<AmazonConnector*>()->SetPause(0);
    // The refresh at start brings the prices, and with them the alerts.
    const auto& list = *window.findChild<WatchListWidget*>();
    if (!QTest::qWaitFor(
            [&list] { return list.GetItems().value(0).toMap().contains("Price"); }, 10000))
        Reply(QStringLiteral("NO PRICES"));
    QStringList rows;
    for (const QVariant& item : list.GetItems()) {
        rows << item.toMap().value("ASIN").toString() + "/"
                + item.toMap().value("WatchCondition").toString();
    }
    Reply(QStringLiteral("ROWS ") + rows.join(QLatin1Char(' ')));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    return 0;
}

} // namespace

void TestWatchEngine::initTestCase()
{
    QVERIFY(QSettings().fileName().contains(QStringLiteral("qttest")));
    // Before anything opens the session bus: notifications go to a server
    // of this test, never to the desktop of whoever runs it.
    QVERIFY2(m_bus.start(), "dbus-daemon (package dbus-daemon) is needed");
    m_bus.becomeSessionBus();
    QVERIFY(m_notifications.serve(m_bus.connection(QStringLiteral("notification server"))));
    QVERIFY(Global::Initialize());
    Global::TempDir = m_scratch.filePath(QStringLiteral("pw_cache"));
    QVERIFY(QDir().mkpath(Global::TempDir));
    QVERIFY(m_store.listen());
    qputenv("http_proxy", m_store.proxyUrl().toUtf8());
    qunsetenv("no_proxy");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_pages, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_pages, "Open");
    UserPrompt::SetAnswerer([this](const UserPrompt::Prompt& prompt) {
        m_prompts << prompt;
        return QMessageBox::Ok;
    });
}

void TestWatchEngine::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestWatchEngine::init()
{
    QSettings().clear();
    const QString database = DatabaseManager::DefaultFilePath();
    for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        QFile::remove(database + suffix);
    // Pictures of earlier tests are not fetched again.
    for (const QFileInfo& file : QDir(Global::TempDir).entryInfoList(QDir::Files))
        QFile::remove(file.absoluteFilePath());
    m_store.resetCatalogue();
    m_store.clearFaults();
    m_store.clearRequestLog();
    m_pages.urls.clear();
    m_prompts.clear();
    m_notifications.calls.clear();
}

void TestWatchEngine::cleanup()
{
    m_window.reset();
    if (m_child && m_child->state() != QProcess::NotRunning) {
        m_child->kill();
        m_child->waitForFinished();
    }
    m_child.reset();
}

void TestWatchEngine::CreateWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->findChild<AmazonConnector*>()->SetPause(0);
}

void TestWatchEngine::WaitForPrices()
{
    const auto priced = [this] {
        const QVariantList items = List()->GetItems();
        return !items.isEmpty()
            && std::all_of(items.cbegin(), items.cend(),
                [](const QVariant& item) { return item.toMap().contains("Price"); });
    };
    QTRY_VERIFY_WITH_TIMEOUT(priced(), 10000);
}

QStringList TestWatchEngine::LogLines() const
{
    return m_window->findChild<QTextBrowser*>(QStringLiteral("textBrowserLog"))
        ->toPlainText()
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QList<SimulatedRequest> TestWatchEngine::Requests(
    const QString& operation, const QString& group) const
{
    QList<SimulatedRequest> found;
    for (const SimulatedRequest& request : m_store.requestLog()) {
        if (request.operation == operation
            && (group.isEmpty() || request.parameter(QStringLiteral("ResponseGroup")) == group))
            found << request;
    }
    return found;
}

// ---------------------------------------------------------------------------
// Starting, stopping, polling

void TestWatchEngine::startRefusesOrNotes_data()
{
    QTest::addColumn<QVariantList>("items");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("polled");
    QVariantMap mails = NeverMet;
    mails.insert("ActionEmail", true);
    QVariantMap unwatchedMails = mails;
    unwatchedMails.insert("WatchCondition", 0);
    QTest::newRow("the second watched item mails, no address")
        << QVariantList { Watched("B0PW000001", "us", NeverMet),
               Watched("B0PW000002", "de", mails) }
        << ""
        << "Error"
        << "";
    QTest::newRow("an unwatched item that would mail does not count")
        << QVariantList { Watched("B0PW000001", "us", unwatchedMails),
               Watched("B0PW000002", "de", NeverMet) }
        << ""
        << ""
        << "B0PW000002";
    QTest::newRow("mails with an address")
        << QVariantList { Watched("B0PW000002", "de", mails) } << "me@example.org"
        << ""
        << "B0PW000002";
    QTest::newRow("nothing watched: a notice, then watching")
        << QVariantList { Watched("B0PW000001", "us", { { "WatchCondition", 0 } }) } << ""
        << "Notice"
        << "";
}

void TestWatchEngine::startRefusesOrNotes()
{
    QFETCH(QVariantList, items);
    QFETCH(QString, email);
    QFETCH(QString, prompt);
    QFETCH(QString, polled);
    StoreItems(DatabaseManager::DefaultFilePath(), items);
    QSettings().setValue("MainWindow/Options", QVariantMap { { "Email", email } });
    CreateWindow();
    WaitForPrices();

    m_window->findChild<QAction*>(QStringLiteral("actionStart"))->trigger();
    const bool started = prompt != QLatin1String("Error");
    QCOMPARE(m_prompts.size(), prompt.isEmpty() ? 0 : 1);
    if (!prompt.isEmpty()) {
        QCOMPARE(m_prompts.first().title, prompt);
        QCOMPARE(m_prompts.first().text,
            started ? QStringLiteral("No items were set as to be watched. You can still set it "
                                     "after watch starts.")
                    : QStringLiteral("You have set to receive email for alert but you did not "
                                     "provide an email address. Please go to preferences and set "
                                     "up your email address."));
    }
    QCOMPARE(m_window->WatchTimer().isActive(), started);
    const QString state = started ? QStringLiteral("Watching") : QStringLiteral("Idle");
    QCOMPARE(m_window->windowTitle(), QCoreApplication::applicationName() + " [" + state + "]");
    QCOMPARE(m_window->findChild<QSystemTrayIcon*>()->toolTip(), m_window->windowTitle());
    QCOMPARE(m_window->findChild<QAction*>(QStringLiteral("actionStop"))->isEnabled(), started);
    QCOMPARE(m_window->findChild<QAction*>(QStringLiteral("actionStart"))->isEnabled(), !started);
    // The first poll leaves at once, for the watched items only.
    if (!polled.isEmpty())
        QTRY_COMPARE(Requests("ItemLookup", "OfferFull").size(), 1);
    QTest::qWait(50);
    const QList<SimulatedRequest> polls = Requests("ItemLookup", "OfferFull");
    QCOMPARE(polls.isEmpty() ? QString() : polls.first().parameter("ItemId"), polled);
    if (!started) {
        QVERIFY(LogLines().isEmpty());
        return;
    }
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Watching"));
    m_window->findChild<QAction*>(QStringLiteral("actionStop"))->trigger();
    QVERIFY(!m_window->WatchTimer().isActive());
    QCOMPARE(m_window->windowTitle(), QCoreApplication::applicationName() + " [Idle]");
    QCOMPARE(LogLines().size(), 2);
    QVERIFY(LogLines().at(0).endsWith(": Start watching."));
    QVERIFY(LogLines().at(1).endsWith(": Stop watching."));
}

void TestWatchEngine::checkNowWhileIdlePollsOnce()
{
    StoreItems(DatabaseManager::DefaultFilePath(),
        { Watched("B0PW000001", "us", NeverMet),
            Watched("B0PW000002", "us", { { "WatchCondition", 0 } }),
            Watched("B0PW000003", "jp", NeverMet) });
    CreateWindow();
    WaitForPrices();
    m_window->findChild<QAction*>(QStringLiteral("actionCheckNow"))->trigger();
    QTRY_COMPARE(Requests("ItemLookup", "OfferFull").size(), 2);
    QTest::qWait(50);
    const QList<SimulatedRequest> polls = Requests("ItemLookup", "OfferFull");
    QCOMPARE(polls.size(), 2);
    QCOMPARE(polls.at(0).locale + "/" + polls.at(0).parameter("ItemId"), "us/B0PW000001");
    QCOMPARE(polls.at(1).locale + "/" + polls.at(1).parameter("ItemId"), "jp/B0PW000003");
    QVERIFY(!m_window->WatchTimer().isActive());
    QVERIFY(LogLines().isEmpty());
}

void TestWatchEngine::firstPollAtOnceThenPerInterval()
{
    StoreItems(DatabaseManager::DefaultFilePath(), { Watched("B0PW000001", "uk", NeverMet) });
    CreateWindow();
    WaitForPrices();
    m_window->OnStart();
    QTRY_COMPARE(Requests("ItemLookup", "OfferFull").size(), 1);
    // The shortest period the options allow is a minute; the timer itself
    // takes any.
    const int interval = 300;
    m_window->WatchTimer().setInterval(interval);
    QTRY_COMPARE_WITH_TIMEOUT(Requests("ItemLookup", "OfferFull").size(), 3, 5000);
    const QList<SimulatedRequest> polls = Requests("ItemLookup", "OfferFull");
    // Arrival times carry some delivery jitter.
    QVERIFY(polls.at(2).arrival.toMSecsSinceEpoch() - polls.at(1).arrival.toMSecsSinceEpoch()
        > interval - 50);
    m_window->OnStop();
    const int count = Requests("ItemLookup", "OfferFull").size();
    QTest::qWait(2 * interval);
    QCOMPARE(Requests("ItemLookup", "OfferFull").size(), count);
}

void TestWatchEngine::intervalFromOptions_data()
{
    QTest::addColumn<QVariant>("seconds");
    QTest::addColumn<qint64>("milliseconds");
    QTest::newRow("first run") << QVariant() << qint64(1800000);
    QTest::newRow("a minute") << QVariant(60) << qint64(60000);
    QTest::newRow("1000 hours") << QVariant(3600000) << qint64(3600000000);
    QTest::newRow("0 would poll without pause") << QVariant(0) << qint64(60000);
    QTest::newRow("negative") << QVariant(-30) << qint64(60000);
}

void TestWatchEngine::intervalFromOptions()
{
    QFETCH(QVariant, seconds);
    QFETCH(qint64, milliseconds);
    if (seconds.isValid())
        QSettings().setValue(
            "MainWindow/Options", QVariantMap { { "WatchIntervalSeconds", seconds } });
    CreateWindow();
    QCOMPARE(m_window->WatchTimer().interval(), milliseconds);
    m_window->OnStart();
    QVERIFY(m_window->WatchTimer().remainingTime() > milliseconds - 1000);
}

// ---------------------------------------------------------------------------
// Alerts

void TestWatchEngine::alertsFireOnceWithTheirReactions()
{
    const QVariantMap cartAndPage { { "ActionCreateCart", true }, { "ActionWebPage", true },
        { "Quantity", 2 } };
    QVariantMap drop = cartAndPage;
    drop.insert({ { "WatchCondition", 2 }, { "PriceLine", 1.0 } });
    StoreItems(DatabaseManager::DefaultFilePath(),
        { Watched("B0PW000001", "us", cartAndPage), Watched("B0PW000002", "de", drop),
            Watched("B0PW000006", "us", cartAndPage), Watched("B0PW000009", "us", NeverMet) });
    // Nothing is met at first: two items are sold out, the line is low.
    QVERIFY(m_store.setStock("us", "B0PW000001", 0));
    QVERIFY(m_store.setStock("us", "B0PW000006", 0));
    CreateWindow();
    WaitForPrices();
    QVERIFY(LogLines().isEmpty());

    // Back in stock, and the line raised above the price shown.
    QVERIFY(m_store.setStock("us", "B0PW000001", 5));
    QVERIFY(m_store.setStock("us", "B0PW000006", 5));
    QVERIFY(List()->SetCurrentItem("B0PW000002", "de"));
    QVariantMap raised = List()->GetCurrentItemData();
    const QString priceShown = raised.value("FormattedPrice").toString();
    const QString title = raised.value("Title").toString();
    raised.insert("PriceLine", 10000.0);
    List()->UpdateItem(raised, false);
    m_store.clearRequestLog();
    m_window->DoCheckNow();
    QTRY_COMPARE(Requests("CartCreate").size(), 2);

    // One cart per store, the US cart holding both US offers, each opened.
    const QList<SimulatedRequest> carts = Requests("CartCreate");
    QCOMPARE(carts.at(0).locale, QStringLiteral("us"));
    QVERIFY(carts.at(0).hasParameter("Item.1.OfferListingId"));
    QCOMPARE(carts.at(0).parameter("Item.0.Quantity"), QStringLiteral("2"));
    QCOMPARE(carts.at(1).locale, QStringLiteral("de"));
    QVERIFY(!carts.at(1).hasParameter("Item.1.OfferListingId"));
    QTRY_COMPARE(m_pages.urls.size(), 5);
    QStringList pages;
    for (const QUrl& url : std::as_const(m_pages.urls))
        pages << url.host() + url.path().section('/', 0, 2);
    QCOMPARE(pages,
        QStringList({ "www.amazon.com/gp/product", "www.amazon.de/gp/product",
            "www.amazon.com/gp/product", "www.amazon.com/gp/cart", "www.amazon.de/gp/cart" }));

    const QStringList log = LogLines();
    QCOMPARE(log.size(), 3);
    QVERIFY(log.at(0).endsWith(": Item is in stock!"));
    QVERIFY(log.at(1).endsWith(title + ": Item price has dropped to " + priceShown + "!"));
    QVERIFY(log.at(2).endsWith(": Item is in stock!"));
    QTRY_COMPARE(m_notifications.calls.size(), 3);
    QCOMPARE(m_notifications.calls.at(1).summary, title);
    QCOMPARE(m_notifications.calls.at(1).body,
        "Price dropped to " + priceShown + " (was " + priceShown + ")");

    // Switched off in the list and in the file, and never again.
    for (const auto& [asin, locale] :
        { std::pair { "B0PW000001", "us" }, { "B0PW000002", "de" }, { "B0PW000006", "us" } }) {
        QVERIFY(List()->SetCurrentItem(asin, locale));
        QCOMPARE(List()->GetCurrentItemData().value("WatchCondition").toInt(), 0);
        QCOMPARE(StoredRecord(DatabaseManager::DefaultFilePath(), asin, locale)
                     .value("WatchCondition")
                     .toInt(),
            0);
    }
    m_window->CheckItems();
    m_window->DoCheckNow();
    QTRY_COMPARE(Requests("ItemLookup", "OfferFull").size(), 3);
    QTest::qWait(100);
    QCOMPARE(LogLines().size(), 3);
    QCOMPARE(Requests("CartCreate").size(), 2);
}

// Counts the sounds a dialog lets go: each new alert sound replaces one.
class SoundSwaps : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        count += event->type() == QEvent::ChildRemoved;
        return QObject::eventFilter(watched, event);
    }
};

void TestWatchEngine::soundOncePerPassAndPopUp_data()
{
    QTest::addColumn<bool>("playSound");
    QTest::addColumn<bool>("noPopup");
    QTest::newRow("sound and pop-up") << true << false;
    QTest::newRow("no pop-up") << true << true;
    QTest::newRow("no sound") << false << false;
}

void TestWatchEngine::soundOncePerPassAndPopUp()
{
    QFETCH(bool, playSound);
    QFETCH(bool, noPopup);
    QSettings().setValue("MainWindow/Options",
        QVariantMap { { "PlaySound", playSound }, { "NoPopup", noPopup },
            { "SoundFile", "drum.wav" }, { "SoundLoops", 3 } });
    StoreItems(DatabaseManager::DefaultFilePath(),
        { Watched("B0PW000001", "us", NeverMet), Watched("B0PW000002", "us", NeverMet) });
    CreateWindow();
    WaitForPrices();
    auto* alerts = m_window->findChild<DialogAlert*>();
    SoundSwaps swaps;
    alerts->installEventFilter(&swaps);
    for (const char* asin : { "B0PW000001", "B0PW000002" }) {
        QVERIFY(List()->SetCurrentItem(asin, "us"));
        QVariantMap record = List()->GetCurrentItemData();
        record.insert("WatchCondition", 1);
        List()->UpdateItem(record, false);
    }
    m_window->CheckItems();

    QCOMPARE(swaps.count, playSound ? 1 : 0);
    const QUrl sound = alerts->findChild<QSoundEffect*>()->source();
    QCOMPARE(sound, playSound ? QUrl::fromLocalFile(SoundFile::Resolve("drum.wav")) : QUrl());
    QCOMPARE(alerts->isVisible(), !noPopup);
    QCOMPARE(m_window->isVisible(), !noPopup);
    // Both alerts are in the window and the log either way.
    const QString shown = alerts->findChild<QTextBrowser*>()->toPlainText();
    QCOMPARE(shown.count("Item is in stock!"), 2);
    QCOMPARE(LogLines().size(), 2);
}

void TestWatchEngine::failedMailIsLoggedInRed()
{
    StoreItems(DatabaseManager::DefaultFilePath(),
        { Watched("B0PW000001", "uk", { { "ActionEmail", true } }) });
    // No vendor service answers there.
    const QString serviceUrl = std::exchange(
        Global::ServiceUrl, QStringLiteral("http://nowhere.pricewarden-test.example/services/"));
    CreateWindow();
    // A failed version check stays quiet.
    m_window->findChild<ServiceManager*>()->QueryVersion();
    QTRY_COMPARE_WITH_TIMEOUT(LogLines().size(), 2, 10000);
    QTest::qWait(300);
    Global::ServiceUrl = serviceUrl;
    QCOMPARE(LogLines().size(), 2);
    QVERIFY(LogLines().at(1).contains(": The alert e-mail could not be sent: "));
    QVERIFY(m_window->findChild<QTextBrowser*>(QStringLiteral("textBrowserLog"))
                ->toHtml()
                .contains("color:#ff0000;"));
}

void TestWatchEngine::imagesAreFetchedOnce()
{
    StoreItems(DatabaseManager::DefaultFilePath(),
        { Watched("B0PW000001", "ca", NeverMet), Watched("B0PW000007", "ca", NeverMet) });
    CreateWindow();
    QSignalSpy fetched(m_window->findChild<DownloadManager*>(), &DownloadManager::FileDownloaded);
    QVERIFY(fetched.wait(10000));
    const QUrl image(SimulatedStore::imageUrl("B0PW000001", "medium"));
    QCOMPARE(fetched.first().first().toString(), DownloadManager::GetSaveFileName(image));
    QCOMPARE(QFileInfo(DownloadManager::GetSaveFileName(image)).fileName(),
        image.host() + "." + image.fileName());
    QVERIFY(QFile::exists(DownloadManager::GetSaveFileName(image)));

    m_window->RefreshList();
    QTRY_COMPARE(Requests("ItemLookup").size(), 2);
    WaitForPrices();
    QTest::qWait(200);
    int images = 0;
    for (const SimulatedRequest& request : m_store.requestLog())
        images += request.target == SimulatedRequest::Target::Image;
    QCOMPARE(images, 1);
}

void TestWatchEngine::preferencesApplyTheInterval_data()
{
    QTest::addColumn<bool>("watching");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<qint64>("interval");
    QTest::newRow("idle, 60 minutes") << false << 60 << true << qint64(3600000);
    QTest::newRow("watching, 2 minutes") << true << 2 << true << qint64(120000);
    QTest::newRow("cancelled") << false << 60 << false << qint64(1800000);
}

void TestWatchEngine::preferencesApplyTheInterval()
{
    QFETCH(bool, watching);
    QFETCH(int, minutes);
    QFETCH(bool, accept);
    QFETCH(qint64, interval);
    CreateWindow();
    if (watching)
        m_window->OnStart();
    WhenModalShown(this, [minutes, accept](QDialog* dialog) {
        dialog->findChild<QSpinBox*>("spinBoxWatchInterval")->setValue(minutes);
        dialog->findChild<QComboBox*>("comboBoxTimeUnit")->setCurrentIndex(0);
        dialog->findChild<QCheckBox*>("checkBoxAutoLaunch")->setChecked(true);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    m_window->findChild<QAction*>(QStringLiteral("actionPreferences"))->trigger();
    QCOMPARE(m_window->WatchTimer().interval(), interval);
    QCOMPARE(m_window->WatchTimer().isActive(), watching);
    if (watching)
        QVERIFY(m_window->WatchTimer().remainingTime() > interval - 1000);
    QCOMPARE(m_window->Options().value("AutoLaunch").toBool(), accept);
    QCOMPARE(QFile::exists(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                 + "/autostart/pricewarden.desktop"),
        accept);
    if (accept)
        m_window->SetAutoLaunch(false);
}

void TestWatchEngine::editStoresOnlyTheChangedItem()
{
    const QString file = DatabaseManager::DefaultFilePath();
    StoreItems(file,
        { Watched("B0PW000001", "us", NeverMet), Watched("B0PW000002", "us", NeverMet),
            Watched("B0PW000003", "us", NeverMet) });
    QSettings().setValue("MainWindow/Options", QVariantMap { { "CloseToMinimize", false } });
    CreateWindow();
    WaitForPrices();
    // Every row the window writes from now on is counted.
    QSqlQuery sql(
        QSqlDatabase::database(m_window->findChild<DatabaseManager*>()->ConnectionName()));
    QVERIFY(sql.exec("CREATE TEMP TABLE writes (ASIN text)"));
    QVERIFY(sql.exec("CREATE TEMP TRIGGER counted AFTER UPDATE ON watchlist BEGIN "
                     "INSERT INTO writes VALUES (NEW.ASIN); END"));
    const auto writes = [&sql] {
        QStringList asins;
        sql.exec("SELECT ASIN FROM writes");
        while (sql.next())
            asins << sql.value(0).toString();
        return asins;
    };

    QVERIFY(List()->SetCurrentItem("B0PW000002", "us"));
    m_window->findChild<QRadioButton*>(QStringLiteral("radioButtonItemInStock"))->click();
    QCOMPARE(writes(), QStringList { "B0PW000002" });
    QCOMPARE(StoredRecord(file, "B0PW000002", "us").value("WatchCondition").toInt(), 1);
    // Closing still writes the whole list.
    QVERIFY(m_window->close());
    QCOMPARE(writes().size(), 4);
}

// A window killed in the middle of an alert's reactions: after a restart
// the alert is over, nothing is opened, mailed or put into a cart again.
void TestWatchEngine::alertIsNotRepeatedAfterAKill()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVariantMap reactions { { "ActionWebPage", true }, { "ActionCreateCart", true },
        { "ActionEmail", true } };
    StoreItems(home.filePath("data/PricewardenTest/Pricewarden/userdata.dat"),
        { Watched("B0PW000001", "fr", reactions) });

    QCOMPARE(StartChild(home.path() + " kill"), QString("PAGE"));
    QVERIFY(WaitForExit(*m_child, 10000));
    QCOMPARE(m_child->exitStatus(), QProcess::CrashExit);
    QVERIFY(Requests("CartCreate").isEmpty());

    QCOMPARE(StartChild(home.path()), QString("ROWS B0PW000001/0"));
    QVERIFY(WaitForExit(*m_child, 10000));
    QVERIFY(!m_childOutput.contains("PAGE"));
    QVERIFY(Requests("CartCreate").isEmpty());
    for (const SimulatedRequest& request : m_store.requestLog())
        QVERIFY(request.target != SimulatedRequest::Target::VendorService);
}

// "home" optionally followed by " kill"; returns the first word the child
// reports.
QString TestWatchEngine::StartChild(const QString& home)
{
    const QString directory = home.section(' ', 0, 0);
    m_childOutput.clear();
    m_child = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QList<std::pair<const char*, QString>> variables { { "QT_QPA_PLATFORM", "offscreen" },
        { "HOME", directory }, { "XDG_CONFIG_HOME", directory + "/config" },
        { "XDG_DATA_HOME", directory + "/data" }, { "XDG_CACHE_HOME", directory + "/cache" },
        { "XDG_RUNTIME_DIR", directory + "/run" }, { "DBUS_SESSION_BUS_ADDRESS", "" },
        { "http_proxy", m_store.proxyUrl() }, { "PRICEWARDEN_TEST_CACHE", directory } };
    for (const auto& [name, value] : variables)
        environment.insert(QString::fromLatin1(name), value);
    environment.remove(QStringLiteral("no_proxy"));
    m_child->setProcessEnvironment(environment);
    connect(m_child.get(), &QProcess::readyReadStandardOutput, this,
        [this] { m_childOutput += QString::fromUtf8(m_child->readAllStandardOutput()); });
    m_child->start(QCoreApplication::applicationFilePath(),
        { QString::fromLatin1(ChildFlag), home.section(' ', 1, 1) });
    if (!QTest::qWaitFor([this] { return m_childOutput.contains('\n'); }, 15000))
        return QStringLiteral("no answer");
    const QString line = m_childOutput.section('\n', 0, 0);
    return line.startsWith("PAGE") ? QStringLiteral("PAGE") : line;
}

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], ChildFlag) == 0)
        return ChildMain(argc, argv);
    QApplication app(argc, argv);
    TestWatchEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_watchengine.moc"
