#include "AmazonConnector.h"
#include "AutostartEntry.h"
#include "DatabaseManager.h"
#include "DialogAlert.h"
#include "Global.h"
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "PrivateSessionBus.h"
#include "SampleLoader.h"
#include "ScratchEnvironment.h"
#include "SimulatedStore.h"
#include "SoundPlayer.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>
#include <QTextBrowser>
#include <memory>

// Receives the pages the window opens, with the number of items the file
// still had watched at that moment.
class PageCatcher : public QObject
{
    Q_OBJECT

public:
    QStringList pages;
    QList<int> watchedInFile;

public slots:
    void Open(const QUrl& url)
    {
        pages << url.host() + url.path().section('/', 0, 2);
        const QVariantList items = DatabaseManager(DatabaseManager::DefaultFilePath()).GetItems({});
        watchedInFile << int(std::count_if(items.cbegin(), items.cend(),
            [](const QVariant& item) { return item.toMap().value("WatchCondition") != 0; }));
    }
};

// Counts the children a dialog lets go: each new alert sound replaces one.
class ChildRemovals : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        count += event->type() == QEvent::ChildRemoved;
        return QObject::eventFilter(watched, event);
    }
};

// The watch engine in the window, against the simulated store: starting and
// stopping, polls, alerts and their reactions, and what reaches the file.
class TestWatchEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    void init();
    void cleanup()
    {
        m_window.reset();
        // No alert sound may still be loading at exit.
        QVERIFY(SampleLoader::WaitUntilIdle());
    }
    void watchCycle_data();
    void watchCycle();
    void alertPass_data();
    void alertPass();
    void imagesAreFetchedOnceAndEditsStoreOneRow();
    void preferencesSetTheInterval();

private:
    void CreateWindow(const QVariantList& items, const QVariantMap& options = {});
    WatchListWidget* List() const { return m_window->findChild<WatchListWidget*>(); }
    QStringList LogLines() const;
    // "locale/ItemId" of the product API requests with this response group
    // or operation.
    QStringList Requests(const QString& kind) const;

    ScratchEnvironment m_scratch;
    SimulatedStore m_store;
    PrivateSessionBus m_bus;
    std::unique_ptr<FakeNotificationServer> m_notifications;
    PageCatcher m_pages;
    QStringList m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

namespace {

QVariant Watched(const char* asin, const char* locale, QVariantMap fields = {})
{
    QVariantMap record { { "ASIN", asin }, { "Locale", locale }, { "WatchCondition", 1 },
        { "ActionWebPage", false }, { "Quantity", 1 } };
    record.insert(fields);
    return record;
}

// A price line far below any price: a watch that never fires.
const QVariantMap NeverMet { { "WatchCondition", 2 }, { "PriceLine", 0.01 } };

int StoredCondition(const QString& asin)
{
    for (const QVariant& item : DatabaseManager(DatabaseManager::DefaultFilePath()).GetItems({})) {
        if (item.toMap().value("ASIN") == asin)
            return item.toMap().value("WatchCondition").toInt();
    }
    return -1;
}

bool HasPrices(const WatchListWidget* list)
{
    const QVariantList items = list->GetItems();
    return std::all_of(items.cbegin(), items.cend(),
        [](const QVariant& item) { return item.toMap().contains("Price"); });
}

} // namespace

void TestWatchEngine::initTestCase()
{
    // Before anything opens the session bus: notifications go to a server
    // of this test, never to the desktop of whoever runs it.
    QVERIFY2(m_bus.start(), "dbus-daemon (package dbus-daemon) is needed");
    m_bus.becomeSessionBus();
    m_notifications = std::make_unique<FakeNotificationServer>(m_bus.connection("notifications"));
    QVERIFY(Global::Initialize());
    Global::TempDir = m_scratch.filePath(QStringLiteral("pw_cache"));
    QVERIFY(QDir().mkpath(Global::TempDir));
    QVERIFY(m_store.listen());
    qputenv("http_proxy", m_store.proxyUrl().toUtf8());
    qunsetenv("no_proxy");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_pages, "Open");
    UserPrompt::SetAnswerer([this](const UserPrompt::Prompt& prompt) {
        m_prompts << prompt.title + ": " + prompt.text;
        return QMessageBox::Ok;
    });
}

void TestWatchEngine::init()
{
    QSettings().clear();
    for (const char* suffix : { "", "-wal", "-shm" })
        QFile::remove(DatabaseManager::DefaultFilePath() + suffix);
    for (const QFileInfo& file : QDir(Global::TempDir).entryInfoList(QDir::Files))
        QFile::remove(file.absoluteFilePath());
    m_store.resetCatalogue();
    m_store.clearRequestLog();
    m_store.clearMails();
    m_store.clearFaults();
    m_pages.pages.clear();
    m_pages.watchedInFile.clear();
    m_prompts.clear();
    m_notifications->shown.clear();
}

void TestWatchEngine::CreateWindow(const QVariantList& items, const QVariantMap& options)
{
    QDir().mkpath(QFileInfo(DatabaseManager::DefaultFilePath()).path());
    DatabaseManager(DatabaseManager::DefaultFilePath()).SaveItems(items);
    QSettings().setValue("MainWindow/Options", options);
    m_window = std::make_unique<MainWindow>();
    m_window->findChild<AmazonConnector*>()->SetPause(0);
    QTRY_VERIFY_WITH_TIMEOUT(HasPrices(List()), 10000);
    // The version check at start is past the store, so a fault injected for
    // the vendor service meets the alert e-mail.
    QTRY_VERIFY(!Requests("Version").isEmpty());
}

QStringList TestWatchEngine::LogLines() const
{
    return m_window->findChild<QTextBrowser*>(QStringLiteral("textBrowserLog"))
        ->toPlainText()
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList TestWatchEngine::Requests(const QString& kind) const
{
    QStringList found;
    for (const SimulatedRequest& request : m_store.requestLog()) {
        if (request.operation != kind && request.parameter("ResponseGroup") != kind)
            continue;
        // A cart is named by its store and its number of offers.
        const int offers = std::count_if(request.parameters.cbegin(), request.parameters.cend(),
            [](const auto& pair) { return pair.first.endsWith(".OfferListingId"); });
        found << request.locale + "/"
                + (offers ? QString::number(offers) : request.parameter("ItemId"));
    }
    return found;
}

void TestWatchEngine::watchCycle_data()
{
    QTest::addColumn<QVariantList>("items");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QStringList>("polled");
    QTest::addColumn<qint64>("interval");
    QVariantMap mails = NeverMet;
    mails.insert("ActionEmail", true);
    QVariantMap unwatchedMails = mails;
    unwatchedMails.insert("WatchCondition", 0);
    // One item per store: the stores are polled in the order of the table.
    const QVariantList mixed { Watched("B0PW000001", "jp", NeverMet), Watched("B0PW000003", "us"),
        Watched("B0PW000002", "de", NeverMet), Watched("B0PW000004", "jp", unwatchedMails) };
    const QStringList polls { "us/B0PW000003", "de/B0PW000002", "jp/B0PW000001" };
    QTest::newRow("refused: the second watched item mails to no address")
        << QVariantList { Watched("B0PW000001", "us", NeverMet),
               Watched("B0PW000002", "de", mails) }
        << QVariantMap() << "start"
        << "Error: You have set to receive email for alert but you did not provide an email "
           "address. Please go to preferences and set up your email address."
        << QStringList() << qint64(1800000);
    QTest::newRow("started; an unwatched item that would mail does not count")
        << mixed << QVariantMap { { "WatchIntervalSeconds", 60 } } << "start"
        << "" << polls << qint64(60000);
    QTest::newRow("nothing watched: a notice, then watching for 1000 hours")
        << QVariantList { Watched("B0PW000001", "us", { { "WatchCondition", 0 } }) }
        << QVariantMap { { "WatchIntervalSeconds", 3600000 } } << "start"
        << "Notice: No items were set as to be watched. You can still set it after watch starts."
        << QStringList() << qint64(3600000000);
    QTest::newRow("check now while idle; 0 s would poll without pause")
        << mixed << QVariantMap { { "WatchIntervalSeconds", 0 } } << "check"
        << "" << polls << qint64(60000);
}

void TestWatchEngine::watchCycle()
{
    QFETCH(QVariantList, items);
    QFETCH(QVariantMap, options);
    QFETCH(QString, action);
    QFETCH(QString, prompt);
    QFETCH(QStringList, polled);
    QFETCH(qint64, interval);
    CreateWindow(items, options);
    QCOMPARE(m_window->WatchTimer().interval(), interval);
    m_window->findChild<QAction*>(action == "start" ? "actionStart" : "actionCheckNow")->trigger();
    QCOMPARE(m_prompts.join(""), prompt);
    const bool started = action == "start" && !prompt.startsWith("Error");
    QCOMPARE(m_window->WatchTimer().isActive(), started);
    QCOMPARE(m_window->windowTitle(),
        QCoreApplication::applicationName() + (started ? " [Watching]" : " [Idle]"));
    QCOMPARE(m_window->findChild<QSystemTrayIcon*>()->toolTip(), m_window->windowTitle());
    QVERIFY(!started || m_window->WatchTimer().remainingTime() > interval - 1000);
    // The first poll leaves at once, for the watched items only.
    QTRY_COMPARE(Requests("OfferFull"), polled);
    QTest::qWait(50);
    QCOMPARE(Requests("OfferFull"), polled);
    QCOMPARE(LogLines().size(), started ? 1 : 0);
    if (!started || polled.isEmpty())
        return;
    // Then one per interval (the options allow a minute at least).
    m_window->WatchTimer().setInterval(300);
    QTRY_COMPARE_WITH_TIMEOUT(Requests("OfferFull").size(), 3 * polled.size(), 5000);
    const QList<SimulatedRequest> log = m_store.requestLog();
    const qint64 period = log.last().arrival.toMSecsSinceEpoch()
        - log.at(log.size() - 1 - polled.size()).arrival.toMSecsSinceEpoch();
    QVERIFY2(period > 250, qPrintable(QString::number(period)));
    m_window->findChild<QAction*>("actionStop")->trigger();
    QVERIFY(!m_window->WatchTimer().isActive());
    QVERIFY(LogLines().last().endsWith(": Stop watching."));
}

void TestWatchEngine::alertPass_data()
{
    QTest::addColumn<bool>("noPopup");
    QTest::addColumn<QString>("mailFailure");
    QTest::newRow("pop-up, mail sent") << false << "";
    QTest::newRow("no pop-up, mail refused") << true << "Mailbox <full>";
}

// Three alerts in one pass, in two stores: each reacts once.
void TestWatchEngine::alertPass()
{
    QFETCH(bool, noPopup);
    QFETCH(QString, mailFailure);
    const QVariantMap reactions { { "ActionCreateCart", true }, { "ActionWebPage", true },
        { "Quantity", 2 } };
    QVariantMap drop = reactions;
    drop.insert({ { "WatchCondition", 2 }, { "PriceLine", 1.0 } });
    QVariantMap mails = reactions;
    mails.insert("ActionEmail", true);
    // Not met at first: two items sold out, the line low. Titles come from
    // the network, markup and all.
    SimulatedItem mailed = *m_store.item("us", "B0PW000001");
    mailed.title = QString::fromUtf8("Zo\u00eb <b>&</b> Caf\u00e9");
    mailed.stock = 0;
    QVERIFY(m_store.addItem("us", mailed) && m_store.setStock("us", "B0PW000006", 0));
    CreateWindow(
        { Watched("B0PW000001", "us", mails), Watched("B0PW000002", "de", drop),
            Watched("B0PW000006", "us", reactions), Watched("B0PW000009", "us", NeverMet) },
        { { "NoPopup", noPopup }, { "SoundFile", "drum.wav" }, { "Email", "me@example.org" } });
    auto* alerts = m_window->findChild<DialogAlert*>();
    ChildRemovals soundsReplaced;
    alerts->findChild<SoundPlayer*>()->installEventFilter(&soundsReplaced);
    QVERIFY(m_store.setStock("us", "B0PW000001", 5) && m_store.setStock("us", "B0PW000006", 5));
    QVERIFY(List()->SetCurrentItem("B0PW000002", "de"));
    QVariantMap raised = List()->GetCurrentItemData();
    raised.insert("PriceLine", 10000.0);
    List()->UpdateItem(raised, false);
    const QString price = raised.value("FormattedPrice").toString();
    const QString title = raised.value("Title").toString();
    if (!mailFailure.isEmpty()) {
        SimulatedFault refusal { SimulatedFault::Kind::ErrorReply,
            SimulatedFault::Target::VendorService };
        refusal.message = mailFailure;
        m_store.injectFault(refusal);
    }
    m_window->DoCheckNow();
    QTRY_COMPARE(Requests("CartCreate").size(), 2);

    // One cart per store (an offer id is valid only in its own store).
    QCOMPARE(Requests("CartCreate"), QStringList({ "us/2", "de/1" }));
    QTRY_COMPARE(m_pages.pages,
        QStringList({ "www.amazon.com/gp/product", "www.amazon.de/gp/product",
            "www.amazon.com/gp/product", "www.amazon.com/gp/cart", "www.amazon.de/gp/cart" }));
    // An alert is switched off in the file before anything reacts, so a
    // window that dies during the reactions does not react again at start.
    QCOMPARE(m_pages.watchedInFile, QList<int>(5, 1));
    QCOMPARE(soundsReplaced.count, 1);
    QCOMPARE(alerts->isVisible(), !noPopup);
    QCOMPARE(m_window->isVisible(), !noPopup);
    const QString zoe = QString::fromUtf8("Zoë <b>&</b> Café");
    QVERIFY(
        alerts->findChild<QTextBrowser*>()->toPlainText().contains(zoe + ": Item is in stock!"));
    QTRY_COMPARE(LogLines().size(), mailFailure.isEmpty() ? 3 : 4);
    QVERIFY(LogLines().at(1).endsWith(title + ": Item price has dropped to " + price + "!"));
    QVERIFY(LogLines().at(2).endsWith(zoe + ": Item is in stock!"));
    QTRY_COMPARE(m_notifications->shown.size(), 3);
    QCOMPARE(m_notifications->shown.at(1),
        title + "|Price dropped to " + price + " (was " + price + ")|default,Open product page");
    if (!mailFailure.isEmpty()) {
        QVERIFY(LogLines().at(3).endsWith(": The alert e-mail could not be sent: " + mailFailure));
    } else {
        QTRY_COMPARE(m_store.mails().size(), 1);
        QVERIFY(List()->SetCurrentItem("B0PW000001", "us"));
        const QVariantMap item = List()->GetCurrentItemData();
        QCOMPARE(m_store.mails().first().subject, "The item you are watching is available!");
        QCOMPARE(m_store.mails().first().body,
            "Dear me@example.org,\n\nThe following item you are watching with Pricewarden is "
            "available right now!\n\n* "
                + zoe + " \n\n  Price: " + item.value("FormattedPrice").toString()
                + "\n\nYou may follow this link to view the detailed information.\n"
                + item.value("DetailPageURL").toString() + "\n\nSincerely,\n\nPricewarden");
    }

    // Switched off in the list, the file and the edit controls, and never
    // again.
    QVERIFY(List()->SetCurrentItem("B0PW000009", "us"));
    QVariantMap shown = List()->GetCurrentItemData();
    shown.insert("WatchCondition", 1);
    List()->UpdateItem(shown, false);
    m_window->OnItemInfoAvailable(shown);
    m_window->CheckItems();
    QVERIFY(m_window->findChild<QRadioButton*>("radioButtonDoNotWatch")->isChecked());
    for (const char* asin : { "B0PW000001", "B0PW000002", "B0PW000006", "B0PW000009" })
        QCOMPARE(StoredCondition(asin), 0);
    const int lines = LogLines().size();
    m_window->CheckItems();
    m_window->DoCheckNow();
    QTRY_COMPARE(Requests("OfferFull").size(), 2);
    QTest::qWait(100);
    QCOMPARE(LogLines().size(), lines);
    QCOMPARE(Requests("CartCreate").size(), 2);
}

void TestWatchEngine::imagesAreFetchedOnceAndEditsStoreOneRow()
{
    CreateWindow({ Watched("B0PW000001", "ca", NeverMet), Watched("B0PW000007", "ca", NeverMet),
        Watched("B0PW000002", "ca", NeverMet) });
    const QUrl image(SimulatedStore::imageUrl("B0PW000001", "medium"));
    const QString cached = Global::TempDir + "/" + image.host() + "." + image.fileName();
    QTRY_VERIFY(QFile::exists(cached));
    // Every row the window writes from now on is counted.
    QSqlQuery sql(
        QSqlDatabase::database(m_window->findChild<DatabaseManager*>()->ConnectionName()));
    QVERIFY(sql.exec("CREATE TEMP TABLE writes (ASIN text)"));
    QVERIFY(sql.exec("CREATE TEMP TRIGGER counted AFTER UPDATE ON watchlist BEGIN "
                     "INSERT INTO writes VALUES (NEW.ASIN); END"));
    QVERIFY(List()->SetCurrentItem("B0PW000007", "ca"));
    m_window->findChild<QRadioButton*>(QStringLiteral("radioButtonDoNotWatch"))->click();
    m_window->RefreshList();
    QTRY_COMPARE(Requests("ItemAttributes,OfferFull,Images").size(), 2);
    QTRY_VERIFY(HasPrices(List()));
    QTest::qWait(200);
    QStringList images;
    for (const SimulatedRequest& request : m_store.requestLog()) {
        if (request.target == SimulatedRequest::Target::Image)
            images << request.path;
    }
    images.sort();
    QCOMPARE(images,
        QStringList(
            { image.path(), QUrl(SimulatedStore::imageUrl("B0PW000002", "medium")).path() }));
    QVERIFY(sql.exec("SELECT group_concat(ASIN) FROM writes") && sql.next());
    QCOMPARE(sql.value(0).toString(), QStringLiteral("B0PW000007"));
}

void TestWatchEngine::preferencesSetTheInterval()
{
    CreateWindow({});
    WhenModalShown(this, [](QDialog* dialog) {
        dialog->findChild<QSpinBox*>("spinBoxWatchInterval")->setValue(2);
        dialog->findChild<QCheckBox*>("checkBoxAutoLaunch")->setChecked(true);
        dialog->accept();
    });
    m_window->findChild<QAction*>(QStringLiteral("actionPreferences"))->trigger();
    QCOMPARE(m_window->WatchTimer().interval(), qint64(120000));
    QVERIFY(!m_window->WatchTimer().isActive());
    const AutostartEntry loginEntry(AutostartEntry::DefaultDirectory());
    QVERIFY(loginEntry.IsEnabled());
    QVERIFY(loginEntry.Disable());
}

QTEST_MAIN(TestWatchEngine)
#include "tst_watchengine.moc"
