#include "Global.h"
#include "ScratchEnvironment.h"
#include "WatchListWidget.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextDocument>

namespace {

QVariantMap Item(const QString& asin, const QString& locale, const QVariantMap& extra = {})
{
    QVariantMap item { { "ASIN", asin }, { "Locale", locale } };
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        item.insert(it.key(), it.value());
    return item;
}

QStringList AsinsInRowOrder(const WatchListWidget& list)
{
    QStringList asins;
    for (const QVariant& item : list.GetItems())
        asins << item.toMap().value("ASIN").toString();
    return asins;
}

int Column(const char* header)
{
    return COLUMN_ID.value(QLatin1String(header));
}

QTreeWidgetItem* RowOf(const WatchListWidget& list, const QString& asin)
{
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list.topLevelItem(i);
        if (row->data(0, Qt::UserRole).toMap().value("ASIN") == asin)
            return row;
    }
    return nullptr;
}

// The event sequence of a real double-click: press, release, double-click,
// release. (QTest::mouseDClick leaves out the first release, which a view
// takes for a drag that is still going on.)
void DoubleClick(QWidget* widget, const QPoint& position)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
    const QPointF local(position);
    const QPointF global(widget->mapToGlobal(position));
    QMouseEvent doubleClick(
        QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &doubleClick);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}

} // namespace

// Receives what the list hands to the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

class TestWatchListWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void headerFollowsColumnMap();
    void mergeKeepsStoredKeysAndUpdatesPrices();
    void identity_data();
    void identity();
    void recordWithoutIdentityIsIgnored();
    void newRowGetsDefaultsAndIsSelected();
    void mergeWithoutLocaleKeepsStoreOfRow();
    void missingArtworkLeavesCellsWithoutIcons();

    void sortOrder_data();
    void sortOrder();
    void sortingCanBeSwitchedOff();

    void columnWidthsRoundTrip();
    void restoreColumnWidths_data();
    void restoreColumnWidths();
    void restoreWithoutStoredWidthsChangesNothing();

    void setCurrentItemSelectsMatchingRow();
    void existingRowsKeepSelection();
    void batchAnnouncesLastAddedRowOnce();
    void emptyBatchStillAnnounces();
    void removingSelectedRowSelectsNext();
    void removingLastRowAnnouncesEmptyRecord();

    void watchListChanged_data();
    void watchListChanged();

    void doubleClickOpensProductPage_data();
    void doubleClickOpensProductPage();

    void networkTextsShowLiterally();
    void rowHeightFollowsSpinBox();

private:
    ScratchEnvironment m_scratch;
    WatchListWidget* m_list = nullptr;
    UrlCatcher m_urls;
};

void TestWatchListWidget::initTestCase()
{
    QCoreApplication::setOrganizationName("PricewardenTest");
    QCoreApplication::setApplicationName("tst_watchlistwidget");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_scratch.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_scratch.path());
    Global::InitializeSettings();
    QDesktopServices::setUrlHandler("http", &m_urls, "open");
    QDesktopServices::setUrlHandler("https", &m_urls, "open");
    QDesktopServices::setUrlHandler("file", &m_urls, "open");
}

void TestWatchListWidget::init()
{
    QSettings().clear();
    m_urls.opened.clear();
    m_list = new WatchListWidget;
    m_list->resize(900, 400);
}

void TestWatchListWidget::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("file");
}

void TestWatchListWidget::cleanup()
{
    delete m_list;
    m_list = nullptr;
}

void TestWatchListWidget::headerFollowsColumnMap()
{
    const QStringList expected { "Item Name", "Store", "In Stock", "Price", "New", "Used",
        "What to Watch", "Reaction" };
    QCOMPARE(m_list->columnCount(), expected.size());
    for (int column = 0; column < expected.size(); ++column) {
        QCOMPARE(COLUMN_ID.value(expected.at(column), -1), column);
        QCOMPARE(m_list->headerItem()->text(column), expected.at(column));
    }
    QCOMPARE(m_list->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(m_list->isSortingEnabled());
    QCOMPARE(m_list->header()->sortIndicatorSection(), Column("Item Name"));
    QCOMPARE(m_list->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(!m_list->header()->sectionsMovable());
}

void TestWatchListWidget::mergeKeepsStoredKeysAndUpdatesPrices()
{
    m_list->UpdateItems({ Item("B001", "us",
        { { "Title", "Thing" }, { "WatchCondition", 2 }, { "PriceLine", 20.0 },
            { "ActionEmail", true }, { "FormattedPrice", "$30.00" }, { "Price", 30.0 },
            { "SmallImage", "http://img/1.jpg" } }) });
    m_list->UpdateItems({ Item("B001", "us",
        { { "Price", 19.0 }, { "FormattedPrice", "$19.00" }, { "LowestNewPrice", 18.5 },
            { "FormattedLowestNewPrice", "$18.50" }, { "LowestUsedPrice", 9.0 },
            { "FormattedLowestUsedPrice", "$9.00" }, { "Availability", "In Stock" } }) });

    QCOMPARE(m_list->topLevelItemCount(), 1);
    QTreeWidgetItem* row = m_list->topLevelItem(0);
    QCOMPARE(row->text(Column("Price")), QString("$19.00"));
    QCOMPARE(row->text(Column("New")), QString("$18.50"));
    QCOMPARE(row->text(Column("Used")), QString("$9.00"));
    QCOMPARE(row->text(Column("In Stock")), QString("In Stock"));
    QCOMPARE(row->text(Column("Item Name")), QString("Thing"));
    QCOMPARE(row->text(Column("What to Watch")), QString("Price drop to $20.00"));
    QCOMPARE(row->text(Column("Reaction")), QString("Show alert, Email me, Bring up webpage"));

    const QVariantMap record = m_list->GetItems().first().toMap();
    QCOMPARE(record.value("Price").toDouble(), 19.0);
    QCOMPARE(record.value("WatchCondition").toInt(), 2);
    QCOMPARE(record.value("PriceLine").toDouble(), 20.0);
    QCOMPARE(record.value("ActionEmail").toBool(), true);
    QCOMPARE(record.value("SmallImage").toString(), QString("http://img/1.jpg"));
    QCOMPARE(record.value("Title").toString(), QString("Thing"));
}

void TestWatchListWidget::identity_data()
{
    QTest::addColumn<QString>("asin");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("rows");

    QTest::newRow("same ASIN and store merges") << "B00X"
                                                << "us" << 1;
    QTest::newRow("same ASIN, other store is new") << "B00X"
                                                   << "uk" << 2;
    QTest::newRow("other ASIN is new") << "B00Y"
                                       << "us" << 2;
    QTest::newRow("ASIN in other case is new") << "b00x"
                                               << "us" << 2;
    QTest::newRow("store code in other case is new") << "B00X"
                                                     << "US" << 2;
}

void TestWatchListWidget::identity()
{
    QFETCH(QString, asin);
    QFETCH(QString, locale);
    QFETCH(int, rows);

    m_list->UpdateItem(Item("B00X", "us", { { "Title", "First" } }));
    m_list->UpdateItem(Item(asin, locale, { { "Title", "Second" } }));

    QCOMPARE(m_list->topLevelItemCount(), rows);
    QCOMPARE(m_list->HasItem(asin, locale), true);
    QCOMPARE(m_list->HasItem("B00X", "us"), true);
    if (rows == 1)
        QCOMPARE(m_list->topLevelItem(0)->text(0), QString("Second"));
}

void TestWatchListWidget::recordWithoutIdentityIsIgnored()
{
    QSignalSpy updated(m_list, &WatchListWidget::ItemsUpdated);
    m_list->UpdateItems({ Item("", "us", { { "Title", "No ASIN" } }),
        QVariantMap { { "ASIN", "B1" }, { "Title", "No store" } } });
    m_list->UpdateItem(Item("", "de"));
    QCOMPARE(m_list->topLevelItemCount(), 0);
    QCOMPARE(updated.count(), 1);
}

void TestWatchListWidget::newRowGetsDefaultsAndIsSelected()
{
    QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
    m_list->UpdateItem(
        Item("B002", "us", { { "WatchCondition", 2 }, { "PriceLine", 12.5 } }), false);

    QCOMPARE(m_list->topLevelItemCount(), 1);
    QTreeWidgetItem* row = m_list->topLevelItem(0);
    QCOMPARE(m_list->currentItem(), row);
    QVERIFY(row->isSelected());
    QCOMPARE(row->text(Column("What to Watch")), QString("Price drop to $12.50"));
    QCOMPARE(row->text(Column("Reaction")), QString("Show alert, Bring up webpage"));
    QCOMPARE(row->text(Column("Price")), QString());

    const QVariantMap record = m_list->GetCurrentItemData();
    QCOMPARE(record.value("WatchCondition"), QVariant(2));
    QCOMPARE(record.value("ThirdParty"), QVariant(false));
    QCOMPARE(record.value("ThirdPartyUsed"), QVariant(false));
    QCOMPARE(record.value("ActionAlert"), QVariant(true));
    QCOMPARE(record.value("ActionWebPage"), QVariant(true));
    QCOMPARE(record.value("ActionEmail"), QVariant(false));
    QCOMPARE(record.value("ActionCreateCart"), QVariant(false));
    QCOMPARE(record.value("Quantity"), QVariant(1));

    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().first().toMap(), record);
}

void TestWatchListWidget::mergeWithoutLocaleKeepsStoreOfRow()
{
    m_list->UpdateItem(Item("B003", "de", { { "WatchCondition", 2 }, { "PriceLine", 5.0 } }));
    QTreeWidgetItem* row = m_list->topLevelItem(0);
    m_list->UpdateItem(row, QVariantMap { { "PriceLine", 7.0 } }, false);
    QCOMPARE(row->text(Column("What to Watch")), QString("Price drop to EUR 7.00"));
    QTextDocument storeTip;
    storeTip.setHtml(row->toolTip(Column("Store")));
    QCOMPARE(storeTip.toPlainText(), QString("de"));
    QCOMPARE(row->icon(Column("Store")).isNull(), !QFile::exists(":/flag_de.png"));
    QCOMPARE(m_list->GetItems().first().toMap().value("Locale").toString(), QString("de"));
}

void TestWatchListWidget::missingArtworkLeavesCellsWithoutIcons()
{
    m_list->UpdateItem(Item("B004", "zz", { { "WatchCondition", 1 } }));
    QTreeWidgetItem* row = m_list->topLevelItem(0);
    QCOMPARE(QFile::exists(":/flag_zz.png"), false);
    QVERIFY(row->icon(Column("Store")).isNull());
    QCOMPARE(row->icon(Column("Item Name")).isNull(), !QFile::exists(":/watch16.png"));
}

void TestWatchListWidget::sortOrder_data()
{
    QTest::addColumn<QVariantList>("items");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("ascending");

    const QVariantList titles {
        Item("matrix", "us", { { "Title", "The Matrix" } }),
        Item("tale", "us", { { "Title", "A Tale" } }),
        Item("apple", "us", { { "Title", "An Apple" } }),
        Item("anne", "us", { { "Title", "Anne" } }),
        Item("theory", "us", { { "Title", "Theory" } }),
        Item("thing", "us", { { "Title", "A The Thing" } }),
        Item("ateam", "us", { { "Title", "The A Team" } }),
        Item("zebra", "us", { { "Title", "zebra" } }),
        Item("eclair", "us", { { "Title", QString::fromUtf8("\u00C9clair") } }),
        Item("untitled", "us"),
    };
    QTest::newRow("item name: articles, case, accents, empty")
        << titles << "Item Name"
        << QStringList { "untitled", "ateam", "anne", "apple", "matrix", "tale", "theory", "thing",
               "zebra", "eclair" };

    const auto priced = [](const QString& asin, const QString& locale, const QVariant& price,
                            const QString& text) {
        QVariantMap extra { { "FormattedPrice", text } };
        if (price.isValid())
            extra.insert("Price", price);
        return QVariant(Item(asin, locale, extra));
    };
    QTest::newRow("price: numeric within a currency, empty first") << QVariantList {
        priced("p1299", "de", 1299.0, "EUR 1.299,00"), priced("p999", "de", 999.0, "EUR 999,00"),
        priced("pnone", "de", {}, ""), priced("p5", "fr", 5.0, "EUR 5,00")
    } << "Price" << QStringList { "pnone", "p5", "p999", "p1299" };
    QTest::newRow("price: dollar text with thousands separator") << QVariantList {
        priced("us1299", "us", 1299.0, "$1,299.00"), priced("us999", "us", 999.0, "$999.00"),
        priced("uscent", "us", 0.01, "$0.01"), priced("usnone", "us", {}, "")
    } << "Price" << QStringList { "usnone", "uscent", "us999", "us1299" };
    QTest::newRow("price: grouped by currency before amount") << QVariantList {
        priced("eur", "de", 1.0, "EUR 1,00"), priced("usd", "us", 5000.0, "$5,000.00"),
        priced("cad", "ca", 900.0, "CDN$ 900.00"), priced("usd2", "us", 2.0, "$2.00")
    } << "Price" << QStringList { "usd2", "usd", "cad", "eur" };

    QTest::newRow("new: lowest new amount") << QVariantList {
        Item("n2", "uk", { { "LowestNewPrice", 1500.0 } }),
        Item("n1", "uk", { { "LowestNewPrice", 250.0 }, { "Price", 99999.0 } }), Item("n0", "uk")
    } << "New" << QStringList { "n0", "n1", "n2" };
    QTest::newRow("used: lowest used amount")
        << QVariantList { Item("u2", "jp", { { "LowestUsedPrice", 12000.0 } }),
               Item("u1", "jp", { { "LowestUsedPrice", 980.0 } }) }
        << "Used" << QStringList { "u1", "u2" };
    QTest::newRow("store: by store code") << QVariantList { Item("s-us", "us"), Item("s-de", "de"),
        Item("s-jp", "jp") } << "Store" << QStringList { "s-de", "s-jp", "s-us" };
    QTest::newRow("in stock: text without case")
        << QVariantList { Item("b", "us", { { "Availability", "usually ships" } }),
               Item("a", "us", { { "Availability", "Not Available" } }) }
        << "In Stock" << QStringList { "a", "b" };
}

void TestWatchListWidget::sortOrder()
{
    QFETCH(QVariantList, items);
    QFETCH(QString, column);
    QFETCH(QStringList, ascending);

    m_list->UpdateItems(items);
    const int index = COLUMN_ID.value(column);

    m_list->sortItems(index, Qt::AscendingOrder);
    QCOMPARE(AsinsInRowOrder(*m_list), ascending);

    m_list->sortItems(index, Qt::DescendingOrder);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(AsinsInRowOrder(*m_list), descending);
}

void TestWatchListWidget::sortingCanBeSwitchedOff()
{
    m_list->SetSortingEnabled(false);
    QVERIFY(!m_list->isSortingEnabled());
    QVERIFY(!m_list->header()->isSortIndicatorShown());
    m_list->UpdateItems(
        { Item("z", "us", { { "Title", "Zulu" } }), Item("a", "us", { { "Title", "Alpha" } }) });
    QCoreApplication::processEvents();
    QCOMPARE(AsinsInRowOrder(*m_list), QStringList({ "z", "a" }));

    m_list->sortItems(Column("Price"), Qt::DescendingOrder);
    m_list->SetSortingEnabled(true);
    QVERIFY(m_list->header()->isSortIndicatorShown());
    QCOMPARE(m_list->header()->sortIndicatorSection(), Column("Item Name"));
    QCOMPARE(m_list->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(AsinsInRowOrder(*m_list), QStringList({ "a", "z" }));
}

void TestWatchListWidget::columnWidthsRoundTrip()
{
    const QList<int> widths { 220, 28, 90, 75, 65, 55, 140 };
    for (int column = 0; column < widths.size(); ++column)
        m_list->setColumnWidth(column, widths.at(column));
    m_list->SaveSettings();

    const QVariantList stored = QSettings().value("WatchListWidget/ColumnWidth").toList();
    QCOMPARE(stored.size(), COLUMN_ID.size() - 1);
    for (int column = 0; column < widths.size(); ++column)
        QCOMPARE(stored.at(column).toInt(), widths.at(column));

    WatchListWidget restored;
    restored.RestoreSettings();
    for (int column = 0; column < widths.size(); ++column)
        QCOMPARE(restored.columnWidth(column), widths.at(column));
}

void TestWatchListWidget::restoreColumnWidths_data()
{
    QTest::addColumn<QVariantList>("stored");
    QTest::addColumn<QList<int>>("expected");

    const int untouched = 100;
    QTest::newRow("wide store column becomes a flag's width") << QVariantList { 200, 80, 60, 70, 70,
        70, 120 } << QList<int> { 200, 25, 60, 70, 70, 70, 120 };
    QTest::newRow("store column of 30 kept")
        << QVariantList { 200, 30 } << QList<int> { 200, 30, untouched };
    QTest::newRow("zero and negative widths skipped")
        << QVariantList { 200, 0, -5, 70 } << QList<int> { 200, untouched, untouched, 70 };
    QTest::newRow("unreadable entries skipped")
        << QVariantList { "wide", 28, 150 } << QList<int> { untouched, 28, 150 };
    QTest::newRow("surplus entries ignored") << QVariantList { 40, 27, 30, 40, 50, 60, 70, 80, 90,
        100 } << QList<int> { 40, 27, 30, 40, 50, 60, 70 };
}

void TestWatchListWidget::restoreColumnWidths()
{
    QFETCH(QVariantList, stored);
    QFETCH(QList<int>, expected);

    QSettings().setValue("WatchListWidget/ColumnWidth", stored);
    m_list->RestoreSettings();
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(m_list->columnWidth(column), expected.at(column));
    QCOMPARE(m_list->header()->count(), COLUMN_ID.size());
}

void TestWatchListWidget::restoreWithoutStoredWidthsChangesNothing()
{
    m_list->setColumnWidth(Column("Store"), 77);
    m_list->RestoreSettings();
    QCOMPARE(m_list->columnWidth(Column("Store")), 77);
    QVERIFY(!QSettings().contains("WatchListWidget/ColumnWidth"));
}

void TestWatchListWidget::setCurrentItemSelectsMatchingRow()
{
    m_list->UpdateItems(
        { Item("A1", "us", { { "Title", "One" } }), Item("A2", "us", { { "Title", "Two" } }) });
    QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A2"));

    QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
    QVERIFY(m_list->SetCurrentItem("A1", "us"));
    QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A1"));
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().first().toMap().value("ASIN"), QVariant("A1"));

    QVERIFY(!m_list->SetCurrentItem("A1", "uk"));
    QVERIFY(!m_list->SetCurrentItem("a1", "us"));
    QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A1"));
    QCOMPARE(info.count(), 1);

    m_list->clearSelection();
    QCOMPARE(m_list->GetCurrentItemData(), QVariantMap());
}

void TestWatchListWidget::existingRowsKeepSelection()
{
    m_list->UpdateItems({ Item("A1", "us"), Item("A2", "us") });
    QVERIFY(m_list->SetCurrentItem("A1", "us"));

    QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
    m_list->UpdateItems(
        { Item("A2", "us", { { "Price", 3.0 } }), Item("A1", "us", { { "Price", 4.0 } }) });
    QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A1"));
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().first().toMap().value("Price"), QVariant(4.0));

    m_list->UpdateItem(Item("A2", "us", { { "Price", 9.0 } }), false);
    QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A1"));
    m_list->UpdateItem(Item("A2", "us", { { "Price", 8.0 } }), true);
    QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A2"));
    QCOMPARE(m_list->selectedItems().size(), 1);
}

void TestWatchListWidget::batchAnnouncesLastAddedRowOnce()
{
    QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
    QSignalSpy updated(m_list, &WatchListWidget::ItemsUpdated);
    QList<QString> order;
    connect(m_list, &WatchListWidget::ItemInfoAvailable, this,
        [&order] { order << QStringLiteral("info"); });
    connect(m_list, &WatchListWidget::ItemsUpdated, this,
        [&order] { order << QStringLiteral("updated"); });

    m_list->UpdateItems({ Item("C1", "us", { { "Title", "Zulu" } }),
        Item("C2", "us", { { "Title", "Alpha" } }), Item("C3", "us", { { "Title", "Mike" } }) });

    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().first().toMap().value("ASIN"), QVariant("C3"));
    QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("C3"));
    QCOMPARE(updated.count(), 1);
    QCOMPARE(order, QList<QString>({ "info", "updated" }));
}

void TestWatchListWidget::emptyBatchStillAnnounces()
{
    QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
    QSignalSpy updated(m_list, &WatchListWidget::ItemsUpdated);
    m_list->UpdateItems({});
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().first().toMap(), QVariantMap());
    QCOMPARE(updated.count(), 1);
}

void TestWatchListWidget::removingSelectedRowSelectsNext()
{
    m_list->UpdateItems({ Item("R1", "us", { { "Title", "Alpha" } }),
        Item("R2", "us", { { "Title", "Bravo" } }), Item("R3", "us", { { "Title", "Charlie" } }) });
    m_list->sortItems(Column("Item Name"), Qt::AscendingOrder);
    QVERIFY(m_list->SetCurrentItem("R2", "us"));

    QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
    QSignalSpy removed(m_list, &WatchListWidget::ItemRemoved);
    m_list->RemoveItem(QVariantMap { { "ASIN", "R2" }, { "Locale", "us" } });

    QCOMPARE(m_list->topLevelItemCount(), 2);
    QVERIFY(!m_list->HasItem("R2", "us"));
    QVERIFY(m_list->currentItem());
    QCOMPARE(info.count(), 1);
    const QVariantMap announced = info.first().first().toMap();
    QCOMPARE(announced, m_list->currentItem()->data(0, Qt::UserRole).toMap());
    QCOMPARE(m_list->GetCurrentItemData(), announced);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().toMap().value("Title"), QVariant("Bravo"));

    m_list->RemoveItem(QVariantMap { { "ASIN", "R2" }, { "Locale", "us" } });
    QCOMPARE(m_list->topLevelItemCount(), 2);
    QCOMPARE(removed.count(), 1);
}

void TestWatchListWidget::removingLastRowAnnouncesEmptyRecord()
{
    m_list->UpdateItem(Item("L1", "fr"));
    QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
    m_list->RemoveItem(Item("L1", "fr"));
    QCOMPARE(m_list->topLevelItemCount(), 0);
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.first().first().toMap(), QVariantMap());
    QCOMPARE(m_list->GetCurrentItemData(), QVariantMap());
}

void TestWatchListWidget::watchListChanged_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("changes");

    QTest::newRow("row added by a lookup") << "add" << 1;
    QTest::newRow("batch adding three rows") << "add batch" << 1;
    QTest::newRow("rows read back from the database") << "refill" << 0;
    QTest::newRow("prices merged") << "prices" << 0;
    QTest::newRow("watch settings edited") << "edit" << 1;
    QTest::newRow("settings written back unchanged") << "rewrite" << 0;
    QTest::newRow("title refreshed") << "title" << 1;
    QTest::newRow("row removed") << "remove" << 1;
    QTest::newRow("unknown row removed") << "remove unknown" << 0;
}

void TestWatchListWidget::watchListChanged()
{
    QFETCH(QString, action);
    QFETCH(int, changes);

    m_list->UpdateItems({ Item(
        "W1", "us", { { "Title", "Watched" }, { "WatchCondition", 1 }, { "Quantity", 2 } }) });
    QSignalSpy changed(m_list, &WatchListWidget::WatchListChanged);
    const QVariantMap stored = m_list->GetItems().first().toMap();

    if (action == "add") {
        m_list->UpdateItems({ Item("W2", "us", { { "Title", "New" } }) });
    } else if (action == "add batch") {
        m_list->UpdateItems({ Item("W2", "us"), Item("W3", "us"), Item("W4", "de") });
    } else if (action == "refill") {
        m_list->clear();
        QVariantMap fromFile = stored;
        fromFile.insert("id", QVariant());
        m_list->UpdateItems({ fromFile, Item("W2", "de", { { "id", QVariant() } }) });
        QCOMPARE(m_list->topLevelItemCount(), 2);
    } else if (action == "prices") {
        m_list->UpdateItems({ Item("W1", "us",
            { { "Price", 5.0 }, { "FormattedPrice", "$5.00" }, { "InStock", true } }) });
    } else if (action == "edit") {
        QVariantMap edited = stored;
        edited.insert("WatchCondition", 0);
        m_list->UpdateItem(edited, false);
    } else if (action == "rewrite") {
        m_list->UpdateItem(stored, false);
    } else if (action == "title") {
        m_list->UpdateItems({ Item("W1", "us", { { "Title", "Watched, renamed" } }) });
    } else if (action == "remove") {
        m_list->RemoveItem(stored);
    } else if (action == "remove unknown") {
        m_list->RemoveItem(Item("W1", "uk"));
    }
    QCOMPARE(changed.count(), changes);
}

void TestWatchListWidget::doubleClickOpensProductPage_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QList<QUrl>>("opened");

    const QString page = "http://www.amazon.com/gp/product/D1?tag=pricewarden-20";
    QTest::newRow("product page") << Item("D1", "us", { { "DetailPageURL", page } })
                                  << QList<QUrl> { QUrl(page) };
    QTest::newRow("no page") << Item("D1", "us") << QList<QUrl> {};
    QTest::newRow("local file refused")
        << Item("D1", "us", { { "DetailPageURL", "file:///etc/passwd" } }) << QList<QUrl> {};
}

void TestWatchListWidget::doubleClickOpensProductPage()
{
    QFETCH(QVariantMap, record);
    QFETCH(QList<QUrl>, opened);

    // The same connection the main window's form makes.
    QVERIFY(connect(m_list, SIGNAL(itemDoubleClicked(QTreeWidgetItem*, int)), m_list,
        SLOT(OnItemDoubleClicked(QTreeWidgetItem*))));
    m_list->UpdateItem(record);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));

    DoubleClick(m_list->viewport(), m_list->visualItemRect(m_list->topLevelItem(0)).center());
    QCOMPARE(m_urls.opened, opened);
}

void TestWatchListWidget::networkTextsShowLiterally()
{
    const QString title = "<b>Big</b> & <i>Bold</i> <a href='http://evil.example'>deal</a>";
    const QString availability = "<font color=red>Usually ships</font>";
    m_list->UpdateItem(Item("E1", "us", { { "Title", title }, { "Availability", availability } }));
    QTreeWidgetItem* row = RowOf(*m_list, "E1");
    QVERIFY(row);
    QCOMPARE(row->text(Column("Item Name")), title);

    for (const auto& [column, text] : { std::pair { Column("Item Name"), title },
             std::pair { Column("In Stock"), availability } }) {
        QTextDocument shown;
        shown.setHtml(row->toolTip(column));
        QCOMPARE(shown.toPlainText(), text);
    }
}

void TestWatchListWidget::rowHeightFollowsSpinBox()
{
    m_list->UpdateItem(Item("H1", "us", { { "Title", "Height" } }));
    const QModelIndex index = m_list->model()->index(0, 0);
    QStyleOptionViewItem option;
    option.initFrom(m_list);
    const QSize hint = m_list->itemDelegate()->sizeHint(option, index);
    QCOMPARE(hint.height(), QSpinBox().minimumSizeHint().height() - 4);
    QVERIFY(hint.width() > 0);
}

QTEST_MAIN(TestWatchListWidget)
#include "tst_watchlistwidget.moc"
