#include "AmazonConnector.h"
#include "DatabaseManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "ScratchEnvironment.h"
#include "SimulatedStore.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

// Receives the pages the window opens in the browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }
};

// The main window against the simulated store: adding, editing and removing
// items, the shell's behaviour and the settings that outlive the window.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstRunHasTheDefaults();
    void storedOptionsKeepTheirValuesAndGainDefaults();
    void layoutAndStoreSurviveRestarts();
    void unknownStoredStoreKeepsTheFirstStore();
    void launchAtLoginFollowsTheOption_data();
    void launchAtLoginFollowsTheOption();
    void unreadableDatabaseIsReportedOnce();

    void typingDetectsTheStore_data();
    void typingDetectsTheStore();
    void addingLooksTheItemUpAndStoresIt_data();
    void addingLooksTheItemUpAndStoresIt();
    void addingAListedItemOnlySelectsIt();
    void pasteAndGoAddsFromTheClipboard_data();
    void pasteAndGoAddsFromTheClipboard();
    void storeButtonOpensTheStoreHomePage();
    void editingRewritesAllWatchKeysAndStoresThem();
    void removal_data();
    void removal();
    void listComesBackFromTheDatabaseAndIsLookedUp();

    void contextMenuPlacesPasteAndGoAfterPaste_data();
    void contextMenuPlacesPasteAndGoAfterPaste();
    void contextMenuIsShownOnRequest();
    void trayActivation_data();
    void trayActivation();
    void closingMinimisesFirstAndClosesWhenMinimised();
    void closingWithoutTheMinimiseOptionCloses();
    void closingEmptiesTheImageCacheOnly();
    void errorBoxShowsTheLatestError();
    void productClientErrorsReachTheErrorBox();
    void logLinesCarryTimeStampAndKeepOrder();
    void logLinesEscapeNetworkTexts_data();
    void logLinesEscapeNetworkTexts();
    void clickingARowLeavesOnlyTheLogTab();

private:
    MainWindow* CreateWindow();
    void DestroyWindow() { m_window.reset(); }
    template <typename T>
    T* Child(const QString& name) const
    {
        T* child = m_window->findChild<T*>(name);
        if (!child)
            qFatal("missing child %s", qPrintable(name));
        return child;
    }
    WatchListWidget* List() const { return Child<WatchListWidget>("treeWidgetWatchList"); }
    QLineEdit* AsinField() const { return Child<QLineEdit>("lineEditAsin"); }
    QComboBox* StoreSelector() const { return Child<QComboBox>("comboBoxAmazonStore"); }
    QAction* Action(const QString& name) const { return Child<QAction>(name); }
    QVariantList StoredItems() const;
    QList<SimulatedRequest> LookupRequests() const;
    bool AddItemAndWait(const QString& text);
    static QString RowKey(const QVariantMap& record);
    QStringList ListedKeys() const;
    QStringList StoredKeys() const;
    QVariantMap StoredRecord(const QString& asin, const QString& locale) const;

    ScratchEnvironment m_scratch;
    SimulatedStore m_store;
    UrlCatcher m_urls;
    QList<UserPrompt::Prompt> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

namespace {

const QString KeyOptions = QStringLiteral("MainWindow/Options");

// Runs action on the modal dialog once exec() has shown it.
void WhenModalShown(QObject* context, std::function<void(QDialog*)> action)
{
    auto* poll = new QTimer(context);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(dialog);
        }
    });
    poll->start();
}

QVariantMap DefaultOptions()
{
    return {
        { QStringLiteral("WatchInterval"), 15 },
        { QStringLiteral("TimeUnit"), 0 },
        { QStringLiteral("PlaySound"), true },
        { QStringLiteral("SoundLoops"), 10 },
        { QStringLiteral("SoundFile"), QStringLiteral("alert.wav") },
        { QStringLiteral("NoPopup"), false },
        { QStringLiteral("MinimizeToTray"), true },
        { QStringLiteral("WatchIntervalSeconds"), 1800 },
        { QStringLiteral("AutoStart"), false },
        { QStringLiteral("CloseToMinimize"), true },
        { QStringLiteral("AutoLaunch"), false },
    };
}

void StoreOptions(const QVariantMap& options)
{
    QSettings().setValue(KeyOptions, options);
}

QString AutostartFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/pricewarden.desktop");
}

// An entry of a standard context menu without its mnemonic and shortcut.
QString EntryName(const QAction* action)
{
    return action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}

struct Anchor
{
    QString text;
    QString href;
};

QList<Anchor> Anchors(const QTextDocument* document)
{
    QList<Anchor> anchors;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor())
                anchors.append({ fragment.text(), fragment.charFormat().anchorHref() });
        }
    }
    return anchors;
}

} // namespace

void TestMainWindow::initTestCase()
{
    QVERIFY(QSettings().fileName().contains(QStringLiteral("qttest")));
    QVERIFY(Global::Initialize());
    // The close-time clean-up empties this directory; it must not be the
    // shared cache of a real installation.
    Global::TempDir = m_scratch.filePath(QStringLiteral("pw_cache"));
    QVERIFY(QDir().mkpath(Global::TempDir));

    QVERIFY(m_store.listen());
    qputenv("http_proxy", m_store.proxyUrl().toUtf8());
    qunsetenv("no_proxy");

    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_urls, "Open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_urls, "Open");
    UserPrompt::SetAnswerer([this](const UserPrompt::Prompt& prompt) {
        m_prompts << prompt;
        return QMessageBox::Ok;
    });
}

void TestMainWindow::init()
{
    QSettings().clear();
    const QString database = DatabaseManager::DefaultFilePath();
    QDir(database).removeRecursively();
    for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        QFile::remove(database + suffix);
    QFile::remove(AutostartFile());
    QGuiApplication::clipboard()->clear();
    m_store.resetCatalogue();
    m_store.clearFaults();
    m_store.clearRequestLog();
    m_urls.urls.clear();
    m_prompts.clear();
}

void TestMainWindow::cleanup()
{
    DestroyWindow();
}

MainWindow* TestMainWindow::CreateWindow()
{
    m_window = std::make_unique<MainWindow>();
    if (auto* connector = m_window->findChild<AmazonConnector*>())
        connector->SetPause(0);
    return m_window.get();
}

QVariantList TestMainWindow::StoredItems() const
{
    DatabaseManager reader(DatabaseManager::DefaultFilePath());
    return reader.GetItems(QString());
}

QVariantMap TestMainWindow::StoredRecord(const QString& asin, const QString& locale) const
{
    for (const QVariant& item : StoredItems()) {
        const QVariantMap record = item.toMap();
        if (record.value(QStringLiteral("ASIN")) == asin
            && record.value(QStringLiteral("Locale")) == locale)
            return record;
    }
    return {};
}

QList<SimulatedRequest> TestMainWindow::LookupRequests() const
{
    QList<SimulatedRequest> lookups;
    for (const SimulatedRequest& request : m_store.requestLog()) {
        if (request.target == SimulatedRequest::Target::ProductApi
            && request.operation == QLatin1String("ItemLookup"))
            lookups << request;
    }
    return lookups;
}

QString TestMainWindow::RowKey(const QVariantMap& record)
{
    return record.value(QStringLiteral("ASIN")).toString() + QLatin1Char('/')
        + record.value(QStringLiteral("Locale")).toString();
}

QStringList TestMainWindow::ListedKeys() const
{
    QStringList keys;
    for (const QVariant& item : List()->GetItems())
        keys << RowKey(item.toMap());
    keys.sort();
    return keys;
}

QStringList TestMainWindow::StoredKeys() const
{
    QStringList keys;
    for (const QVariant& item : StoredItems())
        keys << RowKey(item.toMap());
    keys.sort();
    return keys;
}

bool TestMainWindow::AddItemAndWait(const QString& text)
{
    const int rowsBefore = List()->topLevelItemCount();
    AsinField()->setText(text);
    QTest::keyClick(AsinField(), Qt::Key_Return);
    return QTest::qWaitFor([&] { return List()->topLevelItemCount() == rowsBefore + 1; }, 5000);
}

// ---------------------------------------------------------------------------
// Settings

void TestMainWindow::firstRunHasTheDefaults()
{
    CreateWindow();
    QCOMPARE(m_window->Options(), DefaultOptions());
    QCOMPARE(m_window->WatchTimer().interval(), 1800000);
    QVERIFY(!m_window->WatchTimer().isActive());
    QCOMPARE(StoreSelector()->currentIndex(), 0);
    QCOMPARE(StoreSelector()->currentData().toString(), QStringLiteral("us"));
    QCOMPARE(m_window->size(), QSize(783, 623));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Pricewarden [Idle]"));
    QCOMPARE(m_window->statusBar()->currentMessage(),
        QStringLiteral("Pricewarden is idle. You must click \"Start\" to start watching!"));
    QCOMPARE(
        m_window->findChild<QSystemTrayIcon*>()->toolTip(), QStringLiteral("Pricewarden [Idle]"));
    QVERIFY(m_window->findChild<QSystemTrayIcon*>()->isVisible());
    QVERIFY(Action("actionStart")->isEnabled());
    QVERIFY(!Action("actionStop")->isEnabled());
    QVERIFY(!QFile::exists(AutostartFile()));
    QVERIFY(m_prompts.isEmpty());
    QCOMPARE(List()->topLevelItemCount(), 0);
    QVERIFY(LookupRequests().isEmpty());
}

void TestMainWindow::storedOptionsKeepTheirValuesAndGainDefaults()
{
    StoreOptions(
        { { QStringLiteral("PlaySound"), false }, { QStringLiteral("WatchIntervalSeconds"), 3600 },
            { QStringLiteral("Email"), QStringLiteral("me@example.org") } });
    CreateWindow();
    QVariantMap expected = DefaultOptions();
    expected.insert(QStringLiteral("PlaySound"), false);
    expected.insert(QStringLiteral("WatchIntervalSeconds"), 3600);
    expected.insert(QStringLiteral("Email"), QStringLiteral("me@example.org"));
    QCOMPARE(m_window->Options(), expected);
    QCOMPARE(m_window->WatchTimer().interval(), 3600000);
    QVERIFY(!m_window->WatchTimer().isActive());
}

void TestMainWindow::layoutAndStoreSurviveRestarts()
{
    QVariantMap options = DefaultOptions();
    options.insert(QStringLiteral("CloseToMinimize"), false);
    options.insert(QStringLiteral("SoundLoops"), 42);
    StoreOptions(options);

    CreateWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->resize(901, 577);
    StoreSelector()->setCurrentIndex(3);
    auto* splitter = Child<QSplitter>("splitterMain");
    splitter->setSizes({ 150, 300 });
    const QList<int> splitterSizes = splitter->sizes();
    const QSize closedSize = m_window->size();
    QVERIFY(m_window->close());
    DestroyWindow();

    // Several starts in a row: the window must keep the size it was closed
    // with, never growing from one start to the next.
    for (int start = 0; start < 3; ++start) {
        CreateWindow();
        QCOMPARE(m_window->size(), closedSize);
        QCOMPARE(StoreSelector()->currentData().toString(), QStringLiteral("de"));
        QCOMPARE(m_window->Options().value(QStringLiteral("SoundLoops")).toInt(), 42);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // The splitter may round a pixel when it lays the restored state out.
        const QList<int> sizes = Child<QSplitter>("splitterMain")->sizes();
        QCOMPARE(sizes.size(), splitterSizes.size());
        for (int i = 0; i < sizes.size(); ++i)
            QVERIFY2(qAbs(sizes.at(i) - splitterSizes.at(i)) <= 2,
                qPrintable(QString::number(sizes.at(i))));
        QVERIFY(m_window->close());
        DestroyWindow();
    }
    QCOMPARE(QSettings().value(QStringLiteral("Amazon/Locale")).toString(), QStringLiteral("de"));
}

void TestMainWindow::unknownStoredStoreKeepsTheFirstStore()
{
    QSettings().setValue(QStringLiteral("Amazon/Locale"), QStringLiteral("xx"));
    CreateWindow();
    QCOMPARE(StoreSelector()->currentData().toString(), QStringLiteral("us"));
}

void TestMainWindow::launchAtLoginFollowsTheOption_data()
{
    QTest::addColumn<bool>("entryBefore");
    QTest::addColumn<bool>("option");
    QTest::newRow("switched on") << false << true;
    QTest::newRow("switched off") << true << false;
    QTest::newRow("stays off") << false << false;
}

void TestMainWindow::launchAtLoginFollowsTheOption()
{
    QFETCH(bool, entryBefore);
    QFETCH(bool, option);
    if (entryBefore) {
        QVERIFY(QDir().mkpath(QFileInfo(AutostartFile()).path()));
        QFile entry(AutostartFile());
        QVERIFY(entry.open(QIODevice::WriteOnly));
    }
    QVariantMap options = DefaultOptions();
    options.insert(QStringLiteral("AutoLaunch"), option);
    StoreOptions(options);
    CreateWindow();
    QCOMPARE(QFile::exists(AutostartFile()), option);
    if (option) {
        QFile entry(AutostartFile());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(
            QString::fromUtf8(entry.readAll())
                .contains(
                    QStringLiteral("Exec=\"%1\"").arg(QCoreApplication::applicationFilePath())));
    }
}

void TestMainWindow::unreadableDatabaseIsReportedOnce()
{
    // A directory where the database file belongs cannot be opened.
    QVERIFY(QDir().mkpath(DatabaseManager::DefaultFilePath()));
    CreateWindow();
    QCOMPARE(m_prompts.size(), 1);
    QCOMPARE(m_prompts.first().icon, QMessageBox::Critical);
    QCOMPARE(m_prompts.first().title, QStringLiteral("Cannot Load"));
    QCOMPARE(m_prompts.first().text, QStringLiteral("Unable to load previously saved items."));
    QCOMPARE(List()->topLevelItemCount(), 0);
    QDir(DatabaseManager::DefaultFilePath()).removeRecursively();
}

// ---------------------------------------------------------------------------
// Adding, editing, removing

void TestMainWindow::typingDetectsTheStore_data()
{
    QTest::addColumn<int>("selectedBefore");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("addEnabled");

    QTest::newRow("us") << 2 << "http://www.amazon.com/dp/B0PW000001"
                        << "us" << true;
    QTest::newRow("ca") << 0 << "https://www.amazon.ca/x/dp/B0PW000001"
                        << "ca" << true;
    QTest::newRow("uk") << 0 << "http://www.amazon.co.uk/gp/product/B0PW000001"
                        << "uk" << true;
    QTest::newRow("de") << 0 << "http://www.amazon.de/dp/B0PW000001"
                        << "de" << true;
    QTest::newRow("fr") << 0 << "http://www.amazon.fr/dp/B0PW000001"
                        << "fr" << true;
    QTest::newRow("jp") << 0 << "http://www.amazon.co.jp/dp/B0PW000001"
                        << "jp" << true;
    QTest::newRow("bare ASIN keeps the store") << 4 << "B0PW000001"
                                               << "fr" << true;
    QTest::newRow("blanks only") << 3 << "   "
                                 << "de" << false;
}

void TestMainWindow::typingDetectsTheStore()
{
    QFETCH(int, selectedBefore);
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(bool, addEnabled);
    CreateWindow();
    StoreSelector()->setCurrentIndex(selectedBefore);
    QTest::keyClicks(AsinField(), text);
    QCOMPARE(StoreSelector()->currentData().toString(), locale);
    QCOMPARE(Child<QToolButton>("toolButtonAdd")->isEnabled(), addEnabled);
    QCOMPARE(Child<QToolButton>("toolButtonAmazonStore")->icon().cacheKey(),
        StoreSelector()->itemIcon(StoreSelector()->currentIndex()).cacheKey());
    QVERIFY(LookupRequests().isEmpty());
}

void TestMainWindow::addingLooksTheItemUpAndStoresIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::newRow("us bare ASIN") << " B0PW000001 "
                                  << "us";
    QTest::newRow("ca /dp/ path and query")
        << "https://www.amazon.ca/Scale/dp/B0PW000001/ref=sr_1?ie=UTF8"
        << "ca";
    QTest::newRow("uk /DP/ in capitals") << "http://www.amazon.co.uk/DP/B0PW000001"
                                         << "uk";
    QTest::newRow("de /gp/product/") << "http://www.amazon.de/gp/product/B0PW000001?th=1"
                                     << "de";
    QTest::newRow("fr offer listing") << "http://www.amazon.fr/gp/offer-listing/B0PW000001/"
                                      << "fr";
    QTest::newRow("jp /asin/") << "http://www.amazon.co.jp/exec/obidos/ASIN/B0PW000001"
                               << "jp";
}

void TestMainWindow::addingLooksTheItemUpAndStoresIt()
{
    QFETCH(QString, text);
    QFETCH(QString, locale);
    CreateWindow();
    QVERIFY(AddItemAndWait(text));
    QCOMPARE(AsinField()->text(), QString());

    const QList<SimulatedRequest> lookups = LookupRequests();
    QCOMPARE(lookups.size(), 1);
    QCOMPARE(lookups.first().locale, locale);
    QCOMPARE(lookups.first().parameter(QStringLiteral("ItemId")), QStringLiteral("B0PW000001"));
    QCOMPARE(lookups.first().parameter(QStringLiteral("ResponseGroup")),
        QStringLiteral("ItemAttributes,OfferFull,Images"));

    const QString key = QStringLiteral("B0PW000001/") + locale;
    QCOMPARE(ListedKeys(), QStringList { key });
    QCOMPARE(RowKey(List()->GetCurrentItemData()), key);
    QVERIFY(!List()->GetCurrentItemData().value(QStringLiteral("Title")).toString().isEmpty());
    // Stored at once, not only when the window closes.
    QCOMPARE(StoredKeys(), QStringList { key });
    QCOMPARE(StoredRecord(QStringLiteral("B0PW000001"), locale).value(QStringLiteral("Title")),
        List()->GetCurrentItemData().value(QStringLiteral("Title")));
}

void TestMainWindow::addingAListedItemOnlySelectsIt()
{
    CreateWindow();
    QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
    QVERIFY(AddItemAndWait(QStringLiteral("B0PW000002")));
    QCOMPARE(RowKey(List()->GetCurrentItemData()), QStringLiteral("B0PW000002/us"));
    m_store.clearRequestLog();

    AsinField()->setText(QStringLiteral("http://www.amazon.com/dp/B0PW000001"));
    QTest::keyClick(AsinField(), Qt::Key_Return);
    QCOMPARE(RowKey(List()->GetCurrentItemData()), QStringLiteral("B0PW000001/us"));
    QCOMPARE(AsinField()->text(), QString());

    // The same ASIN in another store is another item. Requests leave in
    // order, so a lookup of the listed item would come before this one.
    QVERIFY(AddItemAndWait(QStringLiteral("http://www.amazon.de/dp/B0PW000001")));
    const QList<SimulatedRequest> lookups = LookupRequests();
    QCOMPARE(lookups.size(), 1);
    QCOMPARE(lookups.first().locale, QStringLiteral("de"));
    QCOMPARE(ListedKeys(), QStringList({ "B0PW000001/de", "B0PW000001/us", "B0PW000002/us" }));
}

void TestMainWindow::pasteAndGoAddsFromTheClipboard_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("addEnabled");
    QTest::newRow("URL of the French store") << "http://www.amazon.fr/dp/B0PW000003"
                                             << "fr" << true;
    QTest::newRow("blanks only") << "   "
                                 << "us" << false;
}

void TestMainWindow::pasteAndGoAddsFromTheClipboard()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, locale);
    QFETCH(bool, addEnabled);
    CreateWindow();
    QGuiApplication::clipboard()->setText(clipboard);
    Action("actionPasteAndGo")->trigger();
    QCOMPARE(AsinField()->text(), clipboard);
    QCOMPARE(StoreSelector()->currentData().toString(), locale);
    QCOMPARE(Child<QToolButton>("toolButtonAdd")->isEnabled(), addEnabled);
    QVERIFY(LookupRequests().isEmpty());
    // The add follows a moment later.
    QTRY_COMPARE(AsinField()->text(), QString());
    QTRY_COMPARE(LookupRequests().size(), 1);
    QCOMPARE(LookupRequests().first().locale, locale);
}

void TestMainWindow::storeButtonOpensTheStoreHomePage()
{
    CreateWindow();
    StoreSelector()->setCurrentIndex(3);
    QCOMPARE(Child<QToolButton>("toolButtonAmazonStore")->icon().cacheKey(),
        StoreSelector()->itemIcon(3).cacheKey());
    Child<QToolButton>("toolButtonAmazonStore")->click();
    QCOMPARE(m_urls.urls,
        QList<QUrl> { QUrl(QStringLiteral("http://www.amazon.de/?tag=pricewardende-21")) });

    // Pasting an empty clipboard does nothing at all.
    QGuiApplication::clipboard()->clear();
    AsinField()->setText(QStringLiteral("kept"));
    Action("actionPasteAndGo")->trigger();
    QCOMPARE(AsinField()->text(), QStringLiteral("kept"));
}

void TestMainWindow::editingRewritesAllWatchKeysAndStoresThem()
{
    CreateWindow();
    QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
    QVERIFY(AddItemAndWait(QStringLiteral("B0PW000002")));
    QVERIFY(List()->SetCurrentItem(QStringLiteral("B0PW000001"), QStringLiteral("us")));

    // Every control but the quantity changes silently; then only the
    // quantity announces a change, and all eight keys follow the controls.
    {
        const QSignalBlocker a(Child<QRadioButton>("radioButtonPriceDrop"));
        const QSignalBlocker b(Child<QDoubleSpinBox>("doubleSpinBoxPriceLine"));
        const QSignalBlocker c(Child<QCheckBox>("checkBoxThirdParty"));
        const QSignalBlocker d(Child<QCheckBox>("checkBoxThirdPartyUsed"));
        const QSignalBlocker e(Child<QCheckBox>("checkBoxWebPage"));
        const QSignalBlocker f(Child<QCheckBox>("checkBoxEmail"));
        const QSignalBlocker g(Child<QCheckBox>("checkBoxCreateCart"));
        Child<QRadioButton>("radioButtonPriceDrop")->setChecked(true);
        Child<QDoubleSpinBox>("doubleSpinBoxPriceLine")->setValue(12.5);
        Child<QCheckBox>("checkBoxThirdParty")->setChecked(true);
        Child<QCheckBox>("checkBoxThirdPartyUsed")->setChecked(true);
        Child<QCheckBox>("checkBoxWebPage")->setChecked(false);
        Child<QCheckBox>("checkBoxEmail")->setChecked(true);
        Child<QCheckBox>("checkBoxCreateCart")->setChecked(true);
    }
    Child<QSpinBox>("spinBoxQuantity")->setValue(3);

    const QVariantMap expected {
        { QStringLiteral("WatchCondition"), 2 },
        { QStringLiteral("ThirdParty"), true },
        { QStringLiteral("ThirdPartyUsed"), true },
        { QStringLiteral("PriceLine"), 12.5 },
        { QStringLiteral("ActionWebPage"), false },
        { QStringLiteral("ActionEmail"), true },
        { QStringLiteral("ActionCreateCart"), true },
        { QStringLiteral("Quantity"), 3 },
    };
    const QVariantMap listed = List()->GetCurrentItemData();
    const QVariantMap stored = StoredRecord(QStringLiteral("B0PW000001"), QStringLiteral("us"));
    QCOMPARE(RowKey(listed), QStringLiteral("B0PW000001/us"));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(listed.value(it.key()), it.value());
        // Stored at once; the store keeps flags as 0/1.
        QCOMPARE(stored.value(it.key()).toDouble(), it.value().toDouble());
    }
    QVERIFY(!listed.value(QStringLiteral("Title")).toString().isEmpty());
    // The other item is untouched.
    QCOMPARE(StoredRecord(QStringLiteral("B0PW000002"), QStringLiteral("us"))
                 .value(QStringLiteral("WatchCondition"))
                 .toInt(),
        0);

    // A radio button click alone also rewrites the condition.
    Child<QRadioButton>("radioButtonDoNotWatch")->click();
    QCOMPARE(List()->GetCurrentItemData().value(QStringLiteral("WatchCondition")).toInt(), 0);
    QCOMPARE(StoredRecord(QStringLiteral("B0PW000001"), QStringLiteral("us"))
                 .value(QStringLiteral("WatchCondition"))
                 .toInt(),
        0);
    QVERIFY(!Child<QWidget>("groupBox_2")->isEnabled());
}

void TestMainWindow::removal_data()
{
    QTest::addColumn<bool>("remembered");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("removed");
    QTest::newRow("confirmed") << false << int(QDialogButtonBox::Yes) << true;
    QTest::newRow("declined") << false << int(QDialogButtonBox::Cancel) << false;
    QTest::newRow("remembered") << true << 0 << true;
}

void TestMainWindow::removal()
{
    QFETCH(bool, remembered);
    QFETCH(int, answer);
    QFETCH(bool, removed);
    if (remembered)
        QSettings().setValue(QStringLiteral("DialogConfirm/RemoveItem"), true);
    CreateWindow();
    QVERIFY(AddItemAndWait(QStringLiteral("B0PW000002")));
    QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
    const QString title = List()->GetCurrentItemData().value(QStringLiteral("Title")).toString();

    QString question;
    QString dialogTitle;
    bool shown = false;
    WhenModalShown(m_window.get(), [&](QDialog* dialog) {
        shown = true;
        question = dialog->findChild<QLabel*>(QStringLiteral("labelMessage"))->text();
        dialogTitle = dialog->windowTitle();
        if (answer == 0) {
            dialog->reject();
            return;
        }
        dialog->findChild<QDialogButtonBox*>()
            ->button(static_cast<QDialogButtonBox::StandardButton>(answer))
            ->click();
    });
    Action("actionRemove")->trigger();

    QCOMPARE(shown, !remembered);
    if (!remembered) {
        QCOMPARE(question, QStringLiteral("Do you really want to remove item \"%1\"?").arg(title));
        QCOMPARE(dialogTitle, QStringLiteral("Confirm"));
    }
    const QStringList expected = removed
        ? QStringList { QStringLiteral("B0PW000002/us") }
        : QStringList { QStringLiteral("B0PW000001/us"), QStringLiteral("B0PW000002/us") };
    QCOMPARE(ListedKeys(), expected);
    QCOMPARE(StoredKeys(), expected);
}

void TestMainWindow::listComesBackFromTheDatabaseAndIsLookedUp()
{
    {
        DatabaseManager seed(DatabaseManager::DefaultFilePath());
        seed.SaveItems({
            QVariantMap { { QStringLiteral("ASIN"), QStringLiteral("B0PW000001") },
                { QStringLiteral("Locale"), QStringLiteral("us") },
                { QStringLiteral("WatchCondition"), 2 }, { QStringLiteral("PriceLine"), 5.0 },
                { QStringLiteral("Title"), QStringLiteral("Old title") } },
            QVariantMap { { QStringLiteral("ASIN"), QStringLiteral("B0PW000002") },
                { QStringLiteral("Locale"), QStringLiteral("de") },
                { QStringLiteral("WatchCondition"), 0 },
                { QStringLiteral("Title"), QStringLiteral("Zweiter") } },
        });
    }
    CreateWindow();
    QCOMPARE(ListedKeys(), QStringList({ "B0PW000001/us", "B0PW000002/de" }));
    QVERIFY(List()->SetCurrentItem(QStringLiteral("B0PW000001"), QStringLiteral("us")));
    QCOMPARE(List()->GetCurrentItemData().value(QStringLiteral("WatchCondition")).toInt(), 2);

    // One full lookup per store, watched or not.
    QTRY_COMPARE(LookupRequests().size(), 2);
    QStringList looked;
    for (const SimulatedRequest& request : LookupRequests()) {
        QCOMPARE(request.parameter(QStringLiteral("ResponseGroup")),
            QStringLiteral("ItemAttributes,OfferFull,Images"));
        looked << request.parameter(QStringLiteral("ItemId")) + QLatin1Char('/') + request.locale;
    }
    looked.sort();
    QCOMPARE(looked, QStringList({ "B0PW000001/us", "B0PW000002/de" }));
    // The replies refresh the titles.
    QTRY_VERIFY(List()->GetItems().first().toMap().value(QStringLiteral("Title"))
        != QStringLiteral("Old title"));
}

// ---------------------------------------------------------------------------
// Shell

void TestMainWindow::contextMenuPlacesPasteAndGoAfterPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("text on the clipboard") << "B0PW000001" << true;
    QTest::newRow("empty clipboard") << "" << false;
}

void TestMainWindow::contextMenuPlacesPasteAndGoAfterPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(bool, enabled);
    CreateWindow();
    if (clipboard.isEmpty())
        QGuiApplication::clipboard()->clear();
    else
        QGuiApplication::clipboard()->setText(clipboard);
    AsinField()->setText(QStringLiteral("some text"));

    const std::unique_ptr<QMenu> standard(AsinField()->createStandardContextMenu());
    const std::unique_ptr<QMenu> menu(m_window->CreateAsinContextMenu());
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), standard->actions().size());
    int paste = -1;
    for (int i = 0; i < actions.size(); ++i) {
        if (EntryName(actions.at(i)) == QLatin1String("Paste"))
            paste = i;
        QVERIFY(EntryName(actions.at(i)) != QLatin1String("Select All"));
    }
    QVERIFY(paste >= 0);
    QCOMPARE(actions.value(paste + 1), Action("actionPasteAndGo"));
    QCOMPARE(Action("actionPasteAndGo")->text(), QStringLiteral("Paste and Go"));
    QCOMPARE(Action("actionPasteAndGo")->isEnabled(), enabled);
    QCOMPARE(Action("actionPasteAndGo")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+V")));
}

void TestMainWindow::contextMenuIsShownOnRequest()
{
    CreateWindow();
    m_window->show();
    Action("actionAdd")->setChecked(true);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QGuiApplication::clipboard()->setText(QStringLiteral("B0PW000001"));
    QStringList shownEntries;
    QTimer::singleShot(50, this, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : popup->actions())
                shownEntries << EntryName(action);
            popup->close();
        }
    });
    emit AsinField()->customContextMenuRequested(QPoint(5, 5));
    QVERIFY(shownEntries.contains(QStringLiteral("Paste")));
    QCOMPARE(shownEntries.indexOf(QStringLiteral("Paste and Go")),
        shownEntries.indexOf(QStringLiteral("Paste")) + 1);
}

void TestMainWindow::trayActivation_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("restored");
    QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << true;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
    QTest::newRow("context menu") << int(QSystemTrayIcon::Context) << false;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
}

void TestMainWindow::trayActivation()
{
    QFETCH(int, reason);
    QFETCH(bool, restored);
    CreateWindow();
    m_window->show();
    m_window->showMinimized();
    QVERIFY(m_window->isMinimized());
    auto* tray = m_window->findChild<QSystemTrayIcon*>();
    emit tray->activated(static_cast<QSystemTrayIcon::ActivationReason>(reason));
    QCOMPARE(!m_window->isMinimized(), restored);
    QVERIFY(m_window->isVisible());

    // The tray menu: Restore, Start, Stop and Exit.
    QStringList entries;
    for (QAction* action : tray->contextMenu()->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(entries, QStringList({ "Restore", "-", "Start", "Stop", "-", "Exit" }));
}

void TestMainWindow::closingMinimisesFirstAndClosesWhenMinimised()
{
    CreateWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isMinimized());
    QVERIFY(m_window->isVisible());
    QVERIFY(!QSettings().contains(QStringLiteral("MainWindow/Size")));
    QVERIFY(m_window->findChild<QSystemTrayIcon*>()->isVisible());

    QVERIFY(m_window->close());
    QVERIFY(!m_window->isVisible());
    QVERIFY(QSettings().contains(QStringLiteral("MainWindow/Size")));
    QVERIFY(QSettings().contains(KeyOptions));
    QVERIFY(!m_window->findChild<QSystemTrayIcon*>()->isVisible());
}

void TestMainWindow::closingWithoutTheMinimiseOptionCloses()
{
    QVariantMap options = DefaultOptions();
    options.insert(QStringLiteral("CloseToMinimize"), false);
    StoreOptions(options);
    CreateWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->close());
    QVERIFY(QSettings().contains(QStringLiteral("MainWindow/Size")));
}

void TestMainWindow::closingEmptiesTheImageCacheOnly()
{
    const QDir cache(Global::TempDir);
    QVERIFY(cache.mkpath(QStringLiteral("sub")));
    const QStringList files { QStringLiteral("a.jpg"), QStringLiteral("b.png"),
        QStringLiteral("sub/c.jpg") };
    for (const QString& name : files) {
        QFile file(cache.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QFile outside(m_scratch.filePath(QStringLiteral("outside.jpg")));
    QVERIFY(outside.open(QIODevice::WriteOnly));
    outside.close();

    QVariantMap options = DefaultOptions();
    options.insert(QStringLiteral("CloseToMinimize"), false);
    StoreOptions(options);
    CreateWindow();
    QVERIFY(m_window->close());
    QCOMPARE(cache.entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(QFile::exists(cache.filePath(QStringLiteral("sub/c.jpg"))));
    QVERIFY(outside.exists());
}

void TestMainWindow::errorBoxShowsTheLatestError()
{
    CreateWindow();
    m_window->OnError(QStringLiteral("first failure"));
    m_window->OnError(QStringLiteral("<b>second</b> failure"));
    const QList<QMessageBox*> boxes = m_window->findChildren<QMessageBox*>();
    QCOMPARE(boxes.size(), 1);
    QMessageBox* box = boxes.first();
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("<b>second</b> failure"));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->windowTitle(), QStringLiteral("Error"));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QVERIFY(m_prompts.isEmpty());
    QVERIFY(Child<QTextBrowser>("textBrowserLog")->toPlainText().isEmpty());
}

void TestMainWindow::productClientErrorsReachTheErrorBox()
{
    CreateWindow();
    m_store.injectFault(SimulatedFault::Kind::Http503);
    AsinField()->setText(QStringLiteral("B0PW000001"));
    QTest::keyClick(AsinField(), Qt::Key_Return);
    auto* box = m_window->findChild<QMessageBox*>();
    QTRY_VERIFY(box->isVisible());
    QVERIFY(!box->text().isEmpty());
    QCOMPARE(List()->topLevelItemCount(), 0);
    QCOMPARE(StoredItems().size(), 0);
}

void TestMainWindow::logLinesCarryTimeStampAndKeepOrder()
{
    CreateWindow();
    m_window->SetClock([] { return QDateTime(QDate(2010, 5, 1), QTime(21, 5, 3)); });
    m_window->AddLogMessage(QStringLiteral("Start watching."), QStringLiteral("black"));
    m_window->AddLogMessage(QStringLiteral("Stop watching."), QStringLiteral("red"));
    m_window->SetClock([] { return QDateTime(QDate(2010, 5, 2), QTime(9, 0, 0)); });
    m_window->AddLogMessage(QStringLiteral("100% <done> & %1"), QStringLiteral("black"));

    auto* log = Child<QTextBrowser>("textBrowserLog");
    QCOMPARE(log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts),
        QStringList(
            { "2010-05-01 09:05:03 pm: Start watching.", "2010-05-01 09:05:03 pm: Stop watching.",
                "2010-05-02 09:00:00 am: 100% <done> & %1" }));
    const QTextBlock second = log->document()->findBlockByNumber(1);
    bool red = false;
    for (auto it = second.begin(); !it.atEnd(); ++it) {
        if (it.fragment().text().contains(QStringLiteral("Stop watching.")))
            red = it.fragment().charFormat().foreground().color() == QColor(Qt::red);
    }
    QVERIFY(red);
}

void TestMainWindow::logLinesEscapeNetworkTexts_data()
{
    QTest::addColumn<int>("condition");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expectedLine");
    QTest::addColumn<QString>("expectedHref");

    const QString title = QStringLiteral("<i>Tom & Jerry</i> %3 %2 \"Box\"");
    const QString url = QStringLiteral("http://www.amazon.com/dp/B0PW000001?a=1&b=\"2\"<x>");
    QTest::newRow("in stock")
        << 1 << url << QStringLiteral("2010-05-01 09:05:03 pm: %1: Item is in stock!").arg(title)
        << url;
    QTest::newRow("price drop")
        << 2 << url
        << QStringLiteral("2010-05-01 09:05:03 pm: %1: Item price has dropped to $9.99 <b>!")
               .arg(title)
        << url;
    QTest::newRow("script link is not a link")
        << 1 << QStringLiteral("javascript:alert(1)")
        << QStringLiteral("2010-05-01 09:05:03 pm: %1: Item is in stock!").arg(title) << QString();
}

void TestMainWindow::logLinesEscapeNetworkTexts()
{
    QFETCH(int, condition);
    QFETCH(QString, url);
    QFETCH(QString, expectedLine);
    QFETCH(QString, expectedHref);
    CreateWindow();
    m_window->SetClock([] { return QDateTime(QDate(2010, 5, 1), QTime(21, 5, 3)); });
    m_window->AddLogMessage(QVariantMap {
        { QStringLiteral("WatchCondition"), condition },
        { QStringLiteral("Title"), QStringLiteral("<i>Tom & Jerry</i> %3 %2 \"Box\"") },
        { QStringLiteral("DetailPageURL"), url },
        { QStringLiteral("FormattedAlertPrice"), QStringLiteral("$9.99 <b>") },
    });
    auto* log = Child<QTextBrowser>("textBrowserLog");
    QCOMPARE(log->toPlainText(), expectedLine);
    const QList<Anchor> anchors = Anchors(log->document());
    if (expectedHref.isEmpty()) {
        QVERIFY(anchors.isEmpty());
    } else {
        QCOMPARE(anchors.size(), 1);
        QCOMPARE(anchors.first().href, expectedHref);
        QCOMPARE(anchors.first().text, QStringLiteral("<i>Tom & Jerry</i> %3 %2 \"Box\""));
    }
}

void TestMainWindow::clickingARowLeavesOnlyTheLogTab()
{
    CreateWindow();
    List()->UpdateItem(QVariantMap { { QStringLiteral("ASIN"), QStringLiteral("B0PW000001") },
        { QStringLiteral("Locale"), QStringLiteral("us") },
        { QStringLiteral("Title"), QStringLiteral("Scale") } });
    QTreeWidgetItem* row = List()->topLevelItem(0);
    auto* tabs = Child<QTabWidget>("tabWidget");

    tabs->setCurrentIndex(2);
    emit List()->itemClicked(row, 0);
    QCOMPARE(tabs->currentIndex(), 0);

    tabs->setCurrentIndex(1);
    emit List()->itemClicked(row, 0);
    QCOMPARE(tabs->currentIndex(), 1);

    m_window->RaiseTabPage(2);
    QCOMPARE(tabs->currentIndex(), 2);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenTest"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
