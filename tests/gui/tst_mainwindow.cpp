#include "AmazonConnector.h"
#include "DatabaseManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "OptionKeys.h"
#include "ScratchEnvironment.h"
#include "SimulatedStore.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
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

namespace {

QString AutostartFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/pricewarden.desktop");
}

QVariantList StoredItems()
{
    return DatabaseManager(DatabaseManager::DefaultFilePath()).GetItems(QString());
}

QString RowKey(const QVariantMap& record)
{
    return record.value(QStringLiteral("ASIN")).toString() + QLatin1Char('/')
        + record.value(QStringLiteral("Locale")).toString();
}

QStringList Keys(const QVariantList& items)
{
    QStringList keys;
    for (const QVariant& item : items)
        keys << RowKey(item.toMap());
    keys.sort();
    return keys;
}

QVariantMap StoredRecord(const QString& key)
{
    for (const QVariant& item : StoredItems()) {
        if (RowKey(item.toMap()) == key)
            return item.toMap();
    }
    return {};
}

// An entry of a standard context menu without its mnemonic and shortcut.
QString EntryName(const QAction* action)
{
    return action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}

} // namespace

// The main window against the simulated store: adding, editing and removing
// items, the shell's behaviour and the settings that outlive the window.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
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

    void init()
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

    void cleanup() { m_window.reset(); }

    // Settings
    void startsFromStoredOptionsAndDefaults_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QString>("storedLocale");
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<bool>("entryBefore");
        QTest::newRow("first run") << QVariantMap() << QString() << 1800000 << false;
        QTest::newRow("stored options, unknown store, launch at login")
            << QVariantMap { { "PlaySound", false }, { "WatchIntervalSeconds", 3600 },
                   { "Email", QStringLiteral("me@example.org") }, { "AutoLaunch", true } }
            << "xx" << 3600000 << true;
        QTest::newRow("launch at login switched off")
            << QVariantMap { { "AutoLaunch", false } } << QString() << 1800000 << true;
    }

    void startsFromStoredOptionsAndDefaults()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QString, storedLocale);
        QFETCH(int, intervalMs);
        QFETCH(bool, entryBefore);
        if (!stored.isEmpty())
            QSettings().setValue(QStringLiteral("MainWindow/Options"), stored);
        if (!storedLocale.isEmpty())
            QSettings().setValue(QStringLiteral("Amazon/Locale"), storedLocale);
        QFile entry(AutostartFile());
        // An entry left from before, which the option rewrites or removes.
        if (entryBefore) {
            QVERIFY(QDir().mkpath(QFileInfo(AutostartFile()).path()));
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.close();
        }
        CreateWindow();
        const QVariantMap expected = OptionKey::WithDefaults(stored);
        QCOMPARE(m_window->Options(), expected);
        QCOMPARE(m_window->WatchTimer().interval(), intervalMs);
        QVERIFY(!m_window->WatchTimer().isActive());
        QCOMPARE(StoreSelector()->currentData().toString(), QStringLiteral("us"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Pricewarden [Idle]"));
        QCOMPARE(m_window->statusBar()->currentMessage(),
            QStringLiteral("Pricewarden is idle. You must click \"Start\" to start watching!"));
        auto* tray = m_window->findChild<QSystemTrayIcon*>();
        QCOMPARE(tray->toolTip(), QStringLiteral("Pricewarden [Idle]"));
        QVERIFY(tray->isVisible());
        QVERIFY(Action("actionStart")->isEnabled());
        QVERIFY(!Action("actionStop")->isEnabled());
        QCOMPARE(entry.exists(), expected.value(QStringLiteral("AutoLaunch")).toBool());
        if (entry.exists()) {
            QVERIFY(entry.open(QIODevice::ReadOnly));
            QVERIFY(QString::fromUtf8(entry.readAll())
                        .contains(QStringLiteral("Exec=\"%1\"")
                                      .arg(QCoreApplication::applicationFilePath())));
        }
        QVERIFY(m_prompts.isEmpty());
        QCOMPARE(List()->topLevelItemCount(), 0);
        QVERIFY(LookupRequests().isEmpty());
        // Never sized by the user: a wide title, a flag-sized store column.
        QVERIFY(List()->columnWidth(0) > 2 * List()->columnWidth(3));
        QCOMPARE(List()->columnWidth(1), 25);
    }

    void layoutAndStoreSurviveRestarts()
    {
        QSettings().setValue(
            QStringLiteral("MainWindow/Options"), QVariantMap { { "CloseToMinimize", false } });
        CreateWindow();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->resize(901, 577);
        StoreSelector()->setCurrentIndex(3);
        Child<QSplitter>("splitterMain")->setSizes({ 150, 300 });
        List()->setColumnWidth(0, 123);
        const QList<int> splitterSizes = Child<QSplitter>("splitterMain")->sizes();
        const QSize closedSize = m_window->size();
        QVERIFY(m_window->close());

        // Several starts in a row: the window keeps the size it was closed with,
        // never growing from one start to the next.
        for (int start = 0; start < 3; ++start) {
            CreateWindow();
            QCOMPARE(m_window->size(), closedSize);
            QCOMPARE(StoreSelector()->currentData().toString(), QStringLiteral("de"));
            QCOMPARE(List()->columnWidth(0), 123);
            m_window->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
            // The splitter may round a pixel when it lays the restored state out.
            const QList<int> sizes = Child<QSplitter>("splitterMain")->sizes();
            QCOMPARE(sizes.size(), splitterSizes.size());
            for (int i = 0; i < sizes.size(); ++i)
                QVERIFY2(
                    qAbs(sizes.at(i) - splitterSizes.at(i)) <= 2, qPrintable(QString::number(i)));
            QVERIFY(m_window->close());
        }
    }

    void unreadableDatabaseIsReportedOnce()
    {
        // A directory where the database file belongs cannot be opened.
        QVERIFY(QDir().mkpath(DatabaseManager::DefaultFilePath()));
        CreateWindow();
        QCOMPARE(m_prompts.size(), 1);
        QCOMPARE(m_prompts.first().icon, QMessageBox::Critical);
        QCOMPARE(m_prompts.first().title, QStringLiteral("Cannot Load"));
        QCOMPARE(m_prompts.first().text, QStringLiteral("Unable to load previously saved items."));
        QCOMPARE(List()->topLevelItemCount(), 0);
    }

    // Adding, editing, removing
    void typingDetectsTheStore_data()
    {
        QTest::addColumn<int>("selectedBefore");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("addEnabled");
        QTest::addColumn<QString>("locale");
        QTest::newRow("us") << 2 << "http://www.amazon.com/dp/B0PW000001" << true << "us";
        QTest::newRow("jp") << 0 << "http://www.amazon.co.jp/dp/B0PW000001" << true << "jp";
        QTest::newRow("bare ASIN keeps the store") << 4 << "B0PW000001" << true << "fr";
        QTest::newRow("blanks only") << 3 << "   " << false << "de";
    }

    void typingDetectsTheStore()
    {
        QFETCH(int, selectedBefore);
        QFETCH(QString, text);
        QFETCH(bool, addEnabled);
        QFETCH(QString, locale);
        CreateWindow();
        StoreSelector()->setCurrentIndex(selectedBefore);
        QTest::keyClicks(AsinField(), text);
        QCOMPARE(StoreSelector()->currentData().toString(), locale);
        QCOMPARE(Child<QToolButton>("toolButtonAdd")->isEnabled(), addEnabled);
        QCOMPARE(Child<QToolButton>("toolButtonAmazonStore")->icon().cacheKey(),
            StoreSelector()->itemIcon(StoreSelector()->currentIndex()).cacheKey());
        QVERIFY(LookupRequests().isEmpty());
        if (!addEnabled) {
            // Return goes where the button cannot: with nothing to look up it
            // asks the store nothing, which would only answer with an error box.
            QTest::keyClick(AsinField(), Qt::Key_Return);
            QCOMPARE(AsinField()->text(), QString());
            // Requests leave in order, so a lookup of the blanks would come first.
            QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
            QCOMPARE(LookupRequests().size(), 1);
            QCOMPARE(LookupRequests().first().parameter(QStringLiteral("ItemId")),
                QStringLiteral("B0PW000001"));
            QVERIFY(!m_window->findChild<QMessageBox*>()->isVisible());
        }
    }

    void addingLooksTheItemUpAndStoresIt_data()
    {
        QTest::addColumn<bool>("pasteAndGo");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::newRow("bare ASIN typed") << false << " B0PW000001 " << QStringLiteral("us");
        QTest::newRow("URL pasted and gone")
            << true << "http://www.amazon.de/gp/product/B0PW000001?th=1" << QStringLiteral("de");
    }

    void addingLooksTheItemUpAndStoresIt()
    {
        QFETCH(bool, pasteAndGo);
        QFETCH(QString, text);
        QFETCH(QString, locale);
        CreateWindow();
        if (pasteAndGo) {
            QGuiApplication::clipboard()->setText(text);
            Action("actionPasteAndGo")->trigger();
            QCOMPARE(AsinField()->text(), text);
            QCOMPARE(StoreSelector()->currentData().toString(), locale);
            // The add follows a moment later.
            QVERIFY(LookupRequests().isEmpty());
            QTRY_COMPARE(List()->topLevelItemCount(), 1);
        } else {
            QVERIFY(AddItemAndWait(text));
        }
        QCOMPARE(AsinField()->text(), QString());
        const QList<SimulatedRequest> lookups = LookupRequests();
        QCOMPARE(lookups.size(), 1);
        QCOMPARE(lookups.first().locale, locale);
        QCOMPARE(lookups.first().parameter(QStringLiteral("ItemId")), QStringLiteral("B0PW000001"));
        QCOMPARE(lookups.first().parameter(QStringLiteral("ResponseGroup")),
            QStringLiteral("ItemAttributes,OfferFull,Images"));

        const QString key = QStringLiteral("B0PW000001/") + locale;
        const QVariantMap current = List()->GetCurrentItemData();
        QCOMPARE(Keys(List()->GetItems()), QStringList { key });
        QCOMPARE(RowKey(current), key);
        QVERIFY(!current.value(QStringLiteral("Title")).toString().isEmpty());
        // Stored at once, not only when the window closes.
        QCOMPARE(Keys(StoredItems()), QStringList { key });
        QCOMPARE(StoredRecord(key).value(QStringLiteral("Title")), current.value("Title"));
    }

    void addingAListedItemOnlySelectsIt()
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
        QCOMPARE(Keys(List()->GetItems()),
            QStringList({ "B0PW000001/de", "B0PW000001/us", "B0PW000002/us" }));
    }

    void storeButtonOpensTheStoreHomePage()
    {
        CreateWindow();
        StoreSelector()->setCurrentIndex(3);
        Child<QToolButton>("toolButtonAmazonStore")->click();
        QCOMPARE(m_urls.urls,
            QList<QUrl> { QUrl(QStringLiteral("http://www.amazon.de/?tag=pricewardende-21")) });
    }

    void editingRewritesAllWatchKeysAndStoresThem()
    {
        CreateWindow();
        QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
        QVERIFY(AddItemAndWait(QStringLiteral("B0PW000002")));
        QVERIFY(List()->SetCurrentItem(QStringLiteral("B0PW000001"), QStringLiteral("us")));

        // Every control but the quantity changes silently; then only the
        // quantity announces a change, and all eight keys follow the controls.
        const QList<QPair<const char*, QVariant>> edits { { "radioButtonPriceDrop", true },
            { "doubleSpinBoxPriceLine", 12.5 }, { "checkBoxThirdParty", true },
            { "checkBoxThirdPartyUsed", true }, { "checkBoxWebPage", false },
            { "checkBoxEmail", true }, { "checkBoxCreateCart", true } };
        for (const auto& [name, value] : edits) {
            auto* control = Child<QWidget>(name);
            const QSignalBlocker silent(control);
            QVERIFY(control->setProperty(
                qobject_cast<QAbstractButton*>(control) ? "checked" : "value", value));
        }
        Child<QSpinBox>("spinBoxQuantity")->setValue(3);

        const QVariantMap expected { { "WatchCondition", 2 }, { "ThirdParty", true },
            { "ThirdPartyUsed", true }, { "PriceLine", 12.5 }, { "ActionWebPage", false },
            { "ActionEmail", true }, { "ActionCreateCart", true }, { "Quantity", 3 } };
        const QVariantMap listed = List()->GetCurrentItemData();
        const QVariantMap stored = StoredRecord(QStringLiteral("B0PW000001/us"));
        QCOMPARE(RowKey(listed), QStringLiteral("B0PW000001/us"));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QCOMPARE(listed.value(it.key()), it.value());
            // Stored at once; the store keeps flags as 0/1.
            QCOMPARE(stored.value(it.key()).toDouble(), it.value().toDouble());
        }
        QVERIFY(!listed.value(QStringLiteral("Title")).toString().isEmpty());
        QCOMPARE(StoredRecord(QStringLiteral("B0PW000002/us")).value("WatchCondition").toInt(), 0);
    }

    void selectingAnItemLoadsItsWatchControlsWithoutWritingIt()
    {
        CreateWindow();
        QVERIFY(AddItemAndWait(QStringLiteral("http://www.amazon.jp/dp/B0PW000003")));
        QVERIFY(AddItemAndWait(QStringLiteral("http://www.amazon.com/dp/B0PW000001")));
        Change(QStringLiteral("B0PW000003"), QStringLiteral("jp"),
            { { "WatchCondition", 2 }, { "PriceLine", 1980.0 }, { "ActionCreateCart", true },
                { "Quantity", 4 }, { "ThirdPartyUsed", true } });
        Change(QStringLiteral("B0PW000001"), QStringLiteral("us"),
            { { "WatchCondition", 0 }, { "PriceLine", 12.34 }, { "ActionCreateCart", false },
                { "ActionEmail", true } });

        // Selecting loads the Japanese item: whole yen, the yen prefix, the
        // cart quantity enabled with its box.
        QVERIFY(List()->SetCurrentItem(QStringLiteral("B0PW000003"), QStringLiteral("jp")));
        const QVariantMap jpBefore = StoredRecord(QStringLiteral("B0PW000003/jp"));
        QTRY_COMPARE(WatchControls(),
            QVariantList({ true, false, 0, "\uFFE5", 1980.0, true, true, 4, true, false, true }));
        // Then the US item: two decimals again, never a rounded value, and the
        // reactions group off for an unwatched item.
        QVERIFY(List()->SetCurrentItem(QStringLiteral("B0PW000001"), QStringLiteral("us")));
        QTRY_COMPARE(WatchControls(),
            QVariantList({ false, true, 2, "$", 12.34, false, false, 0, false, true, false }));

        // Loading wrote nothing back, neither to the list nor to the file.
        QCOMPARE(List()->GetCurrentItemData().value(QStringLiteral("PriceLine")).toDouble(), 12.34);
        QVERIFY(List()->SetCurrentItem(QStringLiteral("B0PW000003"), QStringLiteral("jp")));
        QCOMPARE(
            List()->GetCurrentItemData().value(QStringLiteral("PriceLine")).toDouble(), 1980.0);
        QCOMPARE(StoredRecord(QStringLiteral("B0PW000003/jp")), jpBefore);
    }

    void ctrlClickKeepsTheShownItemEditable()
    {
        CreateWindow();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
        QVERIFY(AddItemAndWait(QStringLiteral("B0PW000002")));
        const QRect row = List()->visualItemRect(List()->currentItem());
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());

        // The pane still shows the item, so an edit there is an edit of it.
        QCOMPARE(RowKey(List()->GetCurrentItemData()), QStringLiteral("B0PW000002/us"));
        Child<QRadioButton>("radioButtonItemInStock")->click();
        QCOMPARE(List()->GetCurrentItemData().value(QStringLiteral("WatchCondition")).toInt(), 1);
        QCOMPARE(StoredRecord(QStringLiteral("B0PW000002/us")).value("WatchCondition").toInt(), 1);
    }

    void removal_data()
    {
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("removed");
        QTest::newRow("confirmed") << false << int(QDialogButtonBox::Yes) << true;
        QTest::newRow("declined") << false << int(QDialogButtonBox::Cancel) << false;
        // Shown, the question would be cancelled.
        QTest::newRow("remembered") << true << int(QDialogButtonBox::Cancel) << true;
    }

    void removal()
    {
        QFETCH(bool, remembered);
        QFETCH(int, answer);
        QFETCH(bool, removed);
        if (remembered)
            QSettings().setValue(QStringLiteral("DialogConfirm/RemoveItem"), true);
        CreateWindow();
        QVERIFY(AddItemAndWait(QStringLiteral("B0PW000002")));
        QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
        const QString title
            = List()->GetCurrentItemData().value(QStringLiteral("Title")).toString();

        QString question;
        bool shown = false;
        WhenModalShown(m_window.get(), [&](QDialog* dialog) {
            shown = true;
            question = dialog->findChild<QLabel*>(QStringLiteral("labelMessage"))->text();
            dialog->findChild<QDialogButtonBox*>()
                ->button(static_cast<QDialogButtonBox::StandardButton>(answer))
                ->click();
        });
        Action("actionRemove")->trigger();

        QCOMPARE(shown, !remembered);
        if (!remembered)
            QCOMPARE(
                question, QStringLiteral("Do you really want to remove item \"%1\"?").arg(title));
        const QStringList expected = removed ? QStringList { "B0PW000002/us" }
                                             : QStringList { "B0PW000001/us", "B0PW000002/us" };
        QCOMPARE(Keys(List()->GetItems()), expected);
        QCOMPARE(Keys(StoredItems()), expected);
    }

    void storedListIsShownAndLookedUp()
    {
        DatabaseManager(DatabaseManager::DefaultFilePath())
            .SaveItems({ QVariantMap { { "ASIN", "B0PW000001" }, { "Locale", "us" },
                             { "WatchCondition", 2 }, { "Title", "Old title" } },
                QVariantMap {
                    { "ASIN", "B0PW000002" }, { "Locale", "de" }, { "Title", "Zweiter" } } });
        CreateWindow();
        const QStringList keys { "B0PW000001/us", "B0PW000002/de" };
        QCOMPARE(Keys(List()->GetItems()), keys);
        // One lookup per store, watched or not; the replies refresh the titles.
        QTRY_COMPARE(LookupRequests().size(), 2);
        QStringList looked;
        for (const SimulatedRequest& request : LookupRequests())
            looked << request.parameter(QStringLiteral("ItemId")) + QLatin1Char('/')
                    + request.locale;
        looked.sort();
        QCOMPARE(looked, keys);
        QTRY_VERIFY(
            List()->GetItems().first().toMap().value("Title") != QStringLiteral("Old title"));
    }

    void removedItemStaysRemovedWhenALookupOfItReturns()
    {
        DatabaseManager(DatabaseManager::DefaultFilePath())
            .SaveItems({ QVariantMap { { "ASIN", "B0PW000001" }, { "Locale", "us" },
                             { "Title", "Old title" } },
                QVariantMap { { "ASIN", "B0PW000002" }, { "Locale", "us" }, { "Title", "Old" } } });
        QSettings().setValue(QStringLiteral("DialogConfirm/RemoveItem"), true);
        CreateWindow();
        // Removed while the start-up look-up of both items is still on its way.
        QVERIFY(List()->SetCurrentItem(QStringLiteral("B0PW000001"), QStringLiteral("us")));
        Action("actionRemove")->trigger();
        QTRY_COMPARE(LookupRequests().size(), 1);
        QTRY_VERIFY(List()->GetItems().first().toMap().value("Title") != QStringLiteral("Old"));
        QCOMPARE(Keys(List()->GetItems()), QStringList { "B0PW000002/us" });
        QCOMPARE(Keys(StoredItems()), QStringList { "B0PW000002/us" });

        // Adding it again brings it back.
        QVERIFY(AddItemAndWait(QStringLiteral("B0PW000001")));
        QCOMPARE(Keys(StoredItems()), QStringList({ "B0PW000001/us", "B0PW000002/us" }));
    }

    // Shell
    void contextMenuPlacesPasteAndGoAfterPaste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("text on the clipboard") << "B0PW000001";
        QTest::newRow("empty clipboard") << "";
    }

    void contextMenuPlacesPasteAndGoAfterPaste()
    {
        QFETCH(QString, clipboard);
        CreateWindow();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        if (!clipboard.isEmpty())
            QGuiApplication::clipboard()->setText(clipboard);
        AsinField()->setText(QStringLiteral("some text"));
        const std::unique_ptr<QMenu> standard(AsinField()->createStandardContextMenu());

        // The menu the field asks for, read while it is open.
        QStringList entries;
        int pasteAndGo = -1;
        bool enabled = false;
        QTimer::singleShot(50, this, [&] {
            if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : popup->actions())
                    entries << EntryName(action);
                pasteAndGo = popup->actions().indexOf(Action("actionPasteAndGo"));
                enabled = Action("actionPasteAndGo")->isEnabled();
                popup->close();
            }
        });
        emit AsinField()->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(entries.size(), standard->actions().size());
        QVERIFY(!entries.contains(QStringLiteral("Select All")));
        QVERIFY(entries.contains(QStringLiteral("Paste")));
        QCOMPARE(pasteAndGo, entries.indexOf(QStringLiteral("Paste")) + 1);
        QCOMPARE(enabled, !clipboard.isEmpty());
        if (clipboard.isEmpty()) {
            // Going with an empty clipboard leaves the field as it is.
            Action("actionPasteAndGo")->trigger();
            QCOMPARE(AsinField()->text(), QStringLiteral("some text"));
            // The greyed entry does not outlive the menu: the action also carries
            // the field's shortcut, which goes once the clipboard has text.
            QGuiApplication::clipboard()->setText(QStringLiteral("B0PW000001"));
            QVERIFY(Action("actionPasteAndGo")->isEnabled());
            Action("actionPasteAndGo")->trigger();
            QCOMPARE(AsinField()->text(), QStringLiteral("B0PW000001"));
        }
        QCOMPARE(
            Action("actionPasteAndGo")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+V")));
    }

    void trayActivation_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("restored");
        QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
        QTest::newRow("context menu") << int(QSystemTrayIcon::Context) << false;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    }

    void trayActivation()
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
        QStringList entries;
        for (QAction* action : tray->contextMenu()->actions())
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(entries, QStringList({ "Restore", "-", "Start", "Stop", "-", "Exit" }));
    }

    void closingMinimisesFirst()
    {
        CreateWindow();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto* tray = m_window->findChild<QSystemTrayIcon*>();
        // The first close only minimises; closing the minimised window closes.
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isMinimized());
        QVERIFY(m_window->isVisible());
        QVERIFY(!QSettings().contains(QStringLiteral("MainWindow/Size")));
        QVERIFY(tray->isVisible());
        QVERIFY(m_window->close());
        QVERIFY(!m_window->isVisible());
        QVERIFY(QSettings().contains(QStringLiteral("MainWindow/Size")));
        QVERIFY(QSettings().contains(QStringLiteral("MainWindow/Options")));
        QVERIFY(!tray->isVisible());
    }

    void errorBoxShowsTheLatestError()
    {
        CreateWindow();
        // The product client's errors reach the box.
        m_store.injectFault(SimulatedFault::Kind::Http503);
        AsinField()->setText(QStringLiteral("B0PW000001"));
        QTest::keyClick(AsinField(), Qt::Key_Return);
        auto* box = m_window->findChild<QMessageBox*>();
        QTRY_VERIFY(box->isVisible());
        QVERIFY(!box->text().isEmpty());
        QCOMPARE(List()->topLevelItemCount(), 0);
        QCOMPARE(StoredItems().size(), 0);

        m_window->OnError(QStringLiteral("first failure"));
        m_window->OnError(QStringLiteral("<b>second</b> failure"));
        QCOMPARE(m_window->findChildren<QMessageBox*>(), QList<QMessageBox*> { box });
        QVERIFY(box->isVisible());
        QCOMPARE(box->text(), QStringLiteral("<b>second</b> failure"));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->windowTitle(), QStringLiteral("Error"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QVERIFY(m_prompts.isEmpty());
        QVERIFY(Child<QTextBrowser>("textBrowserLog")->toPlainText().isEmpty());
    }

    void logLinesCarryTimeStampAndEscapeNetworkTexts()
    {
        CreateWindow();
        m_window->SetClock([] { return QDateTime(QDate(2010, 5, 1), QTime(21, 5, 3)); });
        m_window->AddLogMessage(QStringLiteral("Start watching."), QStringLiteral("black"));
        m_window->AddLogMessage(QStringLiteral("Stop watching."), QStringLiteral("red"));
        // Titles, links and prices come from the network.
        const QString title = QStringLiteral("<i>Tom & Jerry</i> %3 %2 \"Box\"");
        const QString url = QStringLiteral("http://www.amazon.com/dp/B0PW000001?a=1&b=\"2\"<x>");
        for (const auto& [condition, link] : { std::pair { 1, url }, std::pair { 2, url },
                 std::pair { 1, QStringLiteral("javascript:alert(1)") } })
            m_window->AddLogMessage(QVariantMap { { "WatchCondition", condition },
                { "Title", title }, { "DetailPageURL", link },
                { "FormattedAlertPrice", QStringLiteral("$9.99 <b>") } });
        m_window->SetClock([] { return QDateTime(QDate(2010, 5, 2), QTime(9, 0, 0)); });
        m_window->AddLogMessage(QStringLiteral("100% <done> & %1"), QStringLiteral("black"));

        auto* log = Child<QTextBrowser>("textBrowserLog");
        const QString itemLine = QStringLiteral("2010-05-01 09:05:03 pm: ") + title;
        QCOMPARE(log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            QStringList({ "2010-05-01 09:05:03 pm: Start watching.",
                "2010-05-01 09:05:03 pm: Stop watching.", itemLine + ": Item is in stock!",
                itemLine + ": Item price has dropped to $9.99 <b>!",
                itemLine + ": Item is in stock!", "2010-05-02 09:00:00 am: 100% <done> & %1" }));
        QStringList anchors;
        QColor stopColour;
        for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isAnchor())
                    anchors << format.anchorHref() << it.fragment().text();
                if (it.fragment().text().contains(QStringLiteral("Stop watching.")))
                    stopColour = format.foreground().color();
            }
        }
        QCOMPARE(stopColour, QColor(Qt::red));
        // The script address is no link.
        QCOMPARE(anchors, QStringList({ url, title, url, title }));
    }

private:
    void CreateWindow()
    {
        m_window.reset();
        m_window = std::make_unique<MainWindow>();
        m_window->findChild<AmazonConnector*>()->SetPause(0);
    }

    template <typename T>
    T* Child(const char* name) const
    {
        T* child = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("missing child %s", name);
        return child;
    }
    WatchListWidget* List() const { return Child<WatchListWidget>("treeWidgetWatchList"); }
    QLineEdit* AsinField() const { return Child<QLineEdit>("lineEditAsin"); }
    QComboBox* StoreSelector() const { return Child<QComboBox>("comboBoxAmazonStore"); }
    QAction* Action(const char* name) const { return Child<QAction>(name); }
    QList<SimulatedRequest> LookupRequests() const
    {
        QList<SimulatedRequest> lookups;
        for (const SimulatedRequest& request : m_store.requestLog()) {
            if (request.target == SimulatedRequest::Target::ProductApi
                && request.operation == QLatin1String("ItemLookup"))
                lookups << request;
        }
        return lookups;
    }

    bool AddItemAndWait(const QString& text)
    {
        const int rowsBefore = List()->topLevelItemCount();
        AsinField()->setText(text);
        QTest::keyClick(AsinField(), Qt::Key_Return);
        return QTest::qWaitFor([&] { return List()->topLevelItemCount() == rowsBefore + 1; }, 5000);
    }

    // The editing controls: the condition, the price line, the cart box, the
    // quantity (0 while it is off), the used offers and mail boxes, and
    // whether the reactions can be edited.
    QVariantList WatchControls() const
    {
        const auto* line = Child<QDoubleSpinBox>("doubleSpinBoxPriceLine");
        const auto* quantity = Child<QSpinBox>("spinBoxQuantity");
        return { Child<QRadioButton>("radioButtonPriceDrop")->isChecked(),
            Child<QRadioButton>("radioButtonDoNotWatch")->isChecked(), line->decimals(),
            line->prefix(), line->value(), line->isEnabled(),
            Child<QCheckBox>("checkBoxCreateCart")->isChecked(),
            quantity->isEnabledTo(quantity->parentWidget()) ? quantity->value() : 0,
            Child<QCheckBox>("checkBoxThirdPartyUsed")->isChecked(),
            Child<QCheckBox>("checkBoxEmail")->isChecked(),
            Child<QWidget>("groupBox_2")->isEnabled() };
    }

    // Sets fields of a listed item without going through the controls.
    void Change(const QString& asin, const QString& locale, const QVariantMap& fields)
    {
        QVERIFY(List()->SetCurrentItem(asin, locale));
        QVariantMap item = List()->GetCurrentItemData();
        item.insert(fields);
        List()->UpdateItem(item, false);
    }

    ScratchEnvironment m_scratch;
    SimulatedStore m_store;
    UrlCatcher m_urls;
    QList<UserPrompt::Prompt> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenTest"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
