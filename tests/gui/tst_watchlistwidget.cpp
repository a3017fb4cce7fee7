#include "Global.h"
#include "ScratchEnvironment.h"
#include "WatchListRecord.h"
#include "WatchListWidget.h"

#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <algorithm>

// The ordering, cell and record rules are tested as plain functions in
// tst_watchlistwidget_rules; here the list shows it applies them, and its own
// rules: merging, selection, announcements, column widths.
namespace {

const QString ColumnWidthKey = "WatchListWidget/ColumnWidth";

QVariantMap Item(const QString& asin, const QString& locale, QVariantMap extra = {})
{
    extra.insert("ASIN", asin);
    extra.insert("Locale", locale);
    return extra;
}

QStringList AsinsInRowOrder(const WatchListWidget& list)
{
    QStringList asins;
    for (const QVariant& item : list.GetItems())
        asins << item.toMap().value("ASIN").toString();
    return asins;
}

QTreeWidgetItem* RowOf(const WatchListWidget& list, const QString& asin, const QString& locale)
{
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QVariantMap record = list.topLevelItem(i)->data(0, Qt::UserRole).toMap();
        if (record.value("ASIN") == asin && record.value("Locale") == locale)
            return list.topLevelItem(i);
    }
    return nullptr;
}

QStringList CellTexts(const QTreeWidgetItem* row)
{
    QStringList texts;
    for (int column = 0; column < row->columnCount(); ++column)
        texts << row->text(column);
    return texts;
}

QString PlainText(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

QString AnnouncedAsin(const QSignalSpy& spy, int index)
{
    return spy.at(index).first().toMap().value("ASIN").toString();
}

} // namespace

class TestWatchListWidget : public QObject
{
    Q_OBJECT

public slots:
    // Stands in for the desktop's browser.
    void OpenUrl(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("PricewardenTest");
        QCoreApplication::setApplicationName("tst_watchlistwidget");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_scratch.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_scratch.path());
        Global::InitializeSettings();
        for (const char* scheme : { "http", "https", "file" })
            QDesktopServices::setUrlHandler(scheme, this, "OpenUrl");
    }

    void cleanupTestCase()
    {
        for (const char* scheme : { "http", "https", "file" })
            QDesktopServices::unsetUrlHandler(scheme);
    }

    void init()
    {
        QSettings().clear();
        m_opened.clear();
        m_list = new WatchListWidget;
        m_list->resize(900, 400);
    }

    void cleanup() { delete m_list; }

    void mergeByAsinAndLocale_data()
    {
        QTest::addColumn<QString>("asin");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("merged");
        QTest::newRow("same ASIN and store merges") << "B00X" << QString("us") << true;
        QTest::newRow("same ASIN, other store is new") << "B00X" << QString("uk") << false;
        QTest::newRow("other ASIN is new") << "B00Y" << QString("us") << false;
        QTest::newRow("ASIN in other case is new") << "b00x" << QString("us") << false;
        QTest::newRow("store code in other case is new") << "B00X" << QString("US") << false;
    }

    void mergeByAsinAndLocale()
    {
        QFETCH(QString, asin);
        QFETCH(QString, locale);
        QFETCH(bool, merged);

        QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
        const QVariantMap first = Item("B00X", "us",
            { { "Title", "Thing" }, { "WatchCondition", 2 }, { "PriceLine", 20.0 },
                { "ActionEmail", true }, { "FormattedPrice", "$30.00" }, { "Price", 30.0 },
                { "SmallImage", "http://img/1.jpg" } });
        m_list->UpdateItem(first, false);
        // A new row gets the defaults, and is selected and announced even so.
        QCOMPARE(m_list->currentItem(), m_list->topLevelItem(0));
        QCOMPARE(m_list->GetCurrentItemData(), WatchListRecord::WithNewRowDefaults(first));
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.first().first().toMap(), m_list->GetCurrentItemData());

        m_list->UpdateItems({ Item(asin, locale,
            { { "Price", 19.0 }, { "FormattedPrice", "$19.00" },
                { "FormattedLowestNewPrice", "$18.50" }, { "FormattedLowestUsedPrice", "$9.00" },
                { "Availability", "In Stock" } }) });
        QCOMPARE(m_list->topLevelItemCount(), merged ? 1 : 2);
        QVERIFY(m_list->HasItem(asin, locale) && m_list->HasItem("B00X", "us"));
        const QTreeWidgetItem* row = RowOf(*m_list, asin, locale);
        const QStringList prices { "In Stock", "$19.00", "$18.50", "$9.00" };
        const QStringList cells = merged
            ? QStringList { "Thing", "" } + prices
                + QStringList { "Price drop to $20.00", "Show alert, Email me, Bring up webpage" }
            : QStringList { "", "" } + prices + QStringList { "Do not watch", "" };
        QCOMPARE(CellTexts(row), cells);
        const QVariantMap record = row->data(0, Qt::UserRole).toMap();
        QCOMPARE(record.value("Price").toDouble(), 19.0);
        if (merged) {
            QCOMPARE(record.value("PriceLine").toDouble(), 20.0);
            QCOMPARE(record.value("SmallImage").toString(), QString("http://img/1.jpg"));
        } else {
            QCOMPARE(
                RowOf(*m_list, "B00X", "us")->text(COLUMN_ID.value("Price")), QString("$30.00"));
        }
    }

    void cellsShowRecord()
    {
        m_list->UpdateItem(Item("B3", "de", { { "WatchCondition", 2 }, { "PriceLine", 5.0 } }));
        m_list->UpdateItem(Item("B4", "zz"));
        QTreeWidgetItem* row = RowOf(*m_list, "B3", "de");
        // A merged map without a Locale keeps the row's store.
        m_list->UpdateItem(row, QVariantMap { { "PriceLine", 7.0 } }, false);
        QCOMPARE(row->text(COLUMN_ID.value("What to Watch")), QString("Price drop to EUR 7.00"));
        QCOMPARE(PlainText(row->toolTip(COLUMN_ID.value("Store"))), QString("de"));
        QCOMPARE(row->icon(COLUMN_ID.value("Store")).isNull(), !QFile::exists(":/flag_de.png"));
        // A store without artwork leaves the cell without an icon.
        QVERIFY(!QFile::exists(":/flag_zz.png"));
        QVERIFY(RowOf(*m_list, "B4", "zz")->icon(COLUMN_ID.value("Store")).isNull());

        const QString title = "<b>Big</b> & <i>Bold</i> <a href='http://evil.example'>deal</a>";
        const QString availability = "Ships in 2 & 3 days, \"usually\" &amp; more";
        m_list->UpdateItem(
            Item("E1", "us", { { "Title", title }, { "Availability", availability } }));
        row = RowOf(*m_list, "E1", "us");
        QCOMPARE(row->text(COLUMN_ID.value("Item Name")), title);
        const QList<QPair<int, QString>> cells { { COLUMN_ID.value("Item Name"), title },
            { COLUMN_ID.value("In Stock"), availability } };
        for (const auto& [column, text] : cells) {
            // A tool tip is read as rich text only when it looks like it.
            QVERIFY(Qt::mightBeRichText(row->toolTip(column)));
            QCOMPARE(PlainText(row->toolTip(column)), text);
        }
    }

    void sortOrder_data()
    {
        QTest::addColumn<QVariantList>("items");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QStringList>("ascending");
        const auto titled = [](const QString& asin, const QString& title) {
            return QVariant(Item(asin, "us", { { "Title", title } }));
        };
        QTest::newRow("item name: articles, case, accents, empty")
            << QVariantList { titled("matrix", "The Matrix"), titled("tale", "A Tale"),
                   titled("anne", "Anne"), titled("banana", "banana"),
                   titled("eclair", "\u00C9clair"), Item("untitled", "us") }
            << "Item Name"
            << QStringList { "untitled", "anne", "banana", "matrix", "tale", "eclair" };
        const auto priced = [](const QString& asin, const QString& locale, const QVariant& price,
                                const QString& text) {
            QVariantMap extra { { "FormattedPrice", text } };
            if (price.isValid())
                extra.insert("Price", price);
            return QVariant(Item(asin, locale, extra));
        };
        QTest::newRow("price: by currency, then by amount, empty first")
            << QVariantList { priced("p1299", "de", 1299.0, "EUR 1.299,00"),
                   priced("p999", "de", 999.0, "EUR 999,00"), priced("pnone", "de", {}, ""),
                   priced("p5", "fr", 5.0, "EUR 5,00"), priced("usd", "us", 5000.0, "$5,000.00"),
                   priced("cad", "ca", 900.0, "CDN$ 900.00") }
            << "Price" << QStringList { "usd", "cad", "pnone", "p5", "p999", "p1299" };
        // Each price column orders these differently, and none like the Price column.
        const auto offer = [](const QString& asin, double price, double lowestNew, double used) {
            return QVariant(Item(asin, "uk",
                { { "Price", price }, { "LowestNewPrice", lowestNew },
                    { "LowestUsedPrice", used } }));
        };
        const QVariantList offers { offer("o1", 1, 3, 2), offer("o2", 2, 1, 3),
            offer("o3", 3, 2, 1), Item("o0", "uk") };
        QTest::newRow("new: lowest new amount")
            << offers << "New" << QStringList { "o0", "o2", "o3", "o1" };
        QTest::newRow("used: lowest used amount")
            << offers << "Used" << QStringList { "o0", "o3", "o1", "o2" };
        QTest::newRow("store: by store code")
            << QVariantList { Item("s-us", "us"), Item("s-de", "de"), Item("s-jp", "jp") }
            << "Store" << QStringList { "s-de", "s-jp", "s-us" };
    }

    void sortOrder()
    {
        QFETCH(QVariantList, items);
        QFETCH(QString, column);
        QFETCH(QStringList, ascending);

        m_list->UpdateItems(items);
        m_list->sortItems(COLUMN_ID.value(column), Qt::AscendingOrder);
        QCOMPARE(AsinsInRowOrder(*m_list), ascending);
        m_list->sortItems(COLUMN_ID.value(column), Qt::DescendingOrder);
        std::reverse(ascending.begin(), ascending.end());
        QCOMPARE(AsinsInRowOrder(*m_list), ascending);
    }

    void sortingCanBeSwitchedOff()
    {
        // A new list sorts by item name.
        m_list->UpdateItems({ Item("z", "us", { { "Title", "Zulu" } }),
            Item("a", "us", { { "Title", "Alpha" } }) });
        QCOMPARE(AsinsInRowOrder(*m_list), QStringList({ "a", "z" }));

        m_list->SetSortingEnabled(false);
        QVERIFY(!m_list->isSortingEnabled() && !m_list->header()->isSortIndicatorShown());
        m_list->UpdateItem(Item("m", "us", { { "Title", "Mike" } }));
        QCoreApplication::processEvents();
        QCOMPARE(AsinsInRowOrder(*m_list), QStringList({ "a", "z", "m" }));

        m_list->sortItems(COLUMN_ID.value("Price"), Qt::DescendingOrder);
        m_list->SetSortingEnabled(true);
        QVERIFY(m_list->header()->isSortIndicatorShown());
        QCOMPARE(m_list->header()->sortIndicatorSection(), COLUMN_ID.value("Item Name"));
        QCOMPARE(m_list->header()->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(AsinsInRowOrder(*m_list), QStringList({ "a", "m", "z" }));
    }

    void restoreColumnWidths_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QList<int>>("expected");
        const int kept = 77;
        QTest::newRow("wide store column becomes a flag's width")
            << QVariant(QVariantList { 200, 80, 60, 70, 70, 70, 120 })
            << QList<int> { 200, 25, 60, 70, 70, 70, 120 };
        QTest::newRow("store column of 30 kept")
            << QVariant(QVariantList { 200, 30 }) << QList<int> { 200, 30, kept };
        QTest::newRow("zero and negative widths skipped")
            << QVariant(QVariantList { 200, 0, -5, 70 }) << QList<int> { 200, kept, kept, 70 };
        QTest::newRow("unreadable entries skipped")
            << QVariant(QVariantList { "wide", 28, 150 }) << QList<int> { kept, 28, 150 };
        QTest::newRow("surplus entries ignored")
            << QVariant(QVariantList { 40, 27, 30, 40, 50, 60, 70, 80, 90, 100 })
            << QList<int> { 40, 27, 30, 40, 50, 60, 70 };
        QTest::newRow("nothing stored") << QVariant() << QList<int> { kept, kept, kept };
    }

    void restoreColumnWidths()
    {
        QFETCH(QVariant, stored);
        QFETCH(QList<int>, expected);
        const int storedColumns = COLUMN_ID.size() - 1; // the last one stretches
        for (int column = 0; column < storedColumns; ++column)
            m_list->setColumnWidth(column, 77);
        if (stored.isValid())
            QSettings().setValue(ColumnWidthKey, stored);
        m_list->RestoreSettings();
        m_list->SaveSettings();
        const QVariantList saved = QSettings().value(ColumnWidthKey).toList();
        QCOMPARE(saved.size(), storedColumns);
        QCOMPARE(m_list->header()->count(), COLUMN_ID.size());
        for (int column = 0; column < expected.size(); ++column) {
            QCOMPARE(m_list->columnWidth(column), expected.at(column));
            QCOMPARE(saved.at(column).toInt(), expected.at(column));
        }
    }

    void selectionFollowsRequestsNotRefreshes()
    {
        m_list->UpdateItems({ Item("A1", "us"), Item("A2", "us") });
        QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A2"));

        QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
        QVERIFY(m_list->SetCurrentItem("A1", "us"));
        QVERIFY(!m_list->SetCurrentItem("A1", "uk"));
        QVERIFY(!m_list->SetCurrentItem("a1", "us"));
        QCOMPARE(info.count(), 1);
        QCOMPARE(AnnouncedAsin(info, 0), QString("A1"));

        // Refreshed rows keep the selection, whose new record is announced.
        m_list->UpdateItems(
            { Item("A2", "us", { { "Price", 3.0 } }), Item("A1", "us", { { "Price", 4.0 } }) });
        m_list->UpdateItem(Item("A2", "us", { { "Price", 9.0 } }), false);
        QCOMPARE(info.count(), 2);
        QCOMPARE(info.last().first().toMap().value("Price"), QVariant(4.0));
        QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A1"));

        m_list->UpdateItem(Item("A2", "us", { { "Price", 8.0 } }), true);
        QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("A2"));
        QCOMPARE(m_list->selectedItems().size(), 1);
        QCOMPARE(m_list->topLevelItemCount(), 2);
        m_list->clearSelection();
        QCOMPARE(m_list->GetCurrentItemData(), QVariantMap());
    }

    void batchAnnouncesLastAddedRowOnce()
    {
        QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
        QStringList order;
        connect(m_list, &WatchListWidget::ItemInfoAvailable, this, [&order] { order << "info"; });
        connect(m_list, &WatchListWidget::ItemsUpdated, this, [&order] { order << "updated"; });

        // Records without ASIN or Locale are left out; the batch still tells
        // what is selected: nothing.
        m_list->UpdateItems({ Item("", "us"), QVariantMap { { "ASIN", "B1" } } });
        m_list->UpdateItem(Item("", "de"));
        QCOMPARE(m_list->topLevelItemCount(), 0);
        m_list->UpdateItems(
            { Item("C1", "us", { { "Title", "Zulu" } }), Item("C2", "us", { { "Title", "Alpha" } }),
                Item("C3", "us", { { "Title", "Mike" } }) });
        QCOMPARE(order, QStringList({ "info", "updated", "info", "updated" }));
        QCOMPARE(info.at(0).first().toMap(), QVariantMap());
        QCOMPARE(AnnouncedAsin(info, 1), QString("C3"));
        QCOMPARE(m_list->GetCurrentItemData().value("ASIN"), QVariant("C3"));
    }

    void removingRowsMovesSelection()
    {
        m_list->UpdateItems({ Item("R1", "us", { { "Title", "Alpha" } }),
            Item("R2", "us", { { "Title", "Bravo" } }),
            Item("R3", "us", { { "Title", "Charlie" } }) });
        QVERIFY(m_list->SetCurrentItem("R2", "us"));
        QSignalSpy info(m_list, &WatchListWidget::ItemInfoAvailable);
        QSignalSpy removed(m_list, &WatchListWidget::ItemRemoved);

        m_list->RemoveItem(Item("R2", "us"));
        m_list->RemoveItem(Item("R2", "us"));
        QVERIFY(!m_list->HasItem("R2", "us"));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.first().first().toMap().value("Title"), QVariant("Bravo"));
        // The row the view makes current is also selected, and announced.
        QCOMPARE(info.count(), 1);
        QVERIFY(m_list->currentItem());
        QCOMPARE(
            m_list->GetCurrentItemData(), m_list->currentItem()->data(0, Qt::UserRole).toMap());
        QCOMPARE(info.first().first().toMap(), m_list->GetCurrentItemData());

        m_list->RemoveItem(Item("R1", "us"));
        m_list->RemoveItem(Item("R3", "us"));
        QCOMPARE(info.last().first().toMap(), QVariantMap());
        QCOMPARE(m_list->GetCurrentItemData(), QVariantMap());
    }

    void watchListChanged_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("changes");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("row added by a lookup") << "add" << 1 << QStringList { "W2" };
        QTest::newRow("batch adding three rows, one known")
            << "add batch" << 1 << QStringList { "W2", "W3", "W4" };
        QTest::newRow("rows read back from the database") << "refill" << 0 << QStringList();
        QTest::newRow("prices merged") << "prices" << 0 << QStringList();
        QTest::newRow("watch settings edited") << "edit" << 1 << QStringList { "W1" };
        QTest::newRow("settings written back unchanged") << "rewrite" << 0 << QStringList();
        QTest::newRow("title refreshed") << "title" << 1 << QStringList { "W1" };
        // The owner deletes the stored row itself.
        QTest::newRow("row removed") << "remove" << 0 << QStringList();
    }

    void watchListChanged()
    {
        QFETCH(QString, action);
        QFETCH(int, changes);
        QFETCH(QStringList, records);

        m_list->UpdateItems({ Item(
            "W1", "us", { { "Title", "Watched" }, { "WatchCondition", 1 }, { "Quantity", 2 } }) });
        QSignalSpy changed(m_list, &WatchListWidget::WatchListChanged);
        QVariantMap stored = m_list->GetItems().first().toMap();

        if (action == "add") {
            m_list->UpdateItems({ Item("W2", "us", { { "Title", "New" } }) });
        } else if (action == "add batch") {
            m_list->UpdateItems(
                { Item("W2", "us"), Item("W3", "us"), Item("W1", "us"), Item("W4", "de") });
        } else if (action == "refill") {
            m_list->clear();
            stored.insert("id", QVariant());
            m_list->UpdateItems({ stored, Item("W2", "de", { { "id", QVariant() } }) });
            QCOMPARE(m_list->topLevelItemCount(), 2);
        } else if (action == "prices") {
            m_list->UpdateItems({ Item("W1", "us",
                { { "Price", 5.0 }, { "FormattedPrice", "$5.00" }, { "InStock", true } }) });
        } else if (action == "edit") {
            stored.insert("WatchCondition", 0);
            m_list->UpdateItem(stored, false);
        } else if (action == "rewrite") {
            m_list->UpdateItem(stored, false);
        } else if (action == "title") {
            m_list->UpdateItems({ Item("W1", "us", { { "Title", "Watched, renamed" } }) });
        } else if (action == "remove") {
            m_list->RemoveItem(stored);
        }
        QCOMPARE(changed.count(), changes);
        // Each carries the rows' whole records, as merged.
        QStringList carried;
        for (const QList<QVariant>& signal : std::as_const(changed)) {
            for (const QVariant& record : signal.first().toList()) {
                const QVariantMap map = record.toMap();
                const QTreeWidgetItem* row
                    = RowOf(*m_list, map.value("ASIN").toString(), map.value("Locale").toString());
                QCOMPARE(map, row->data(0, Qt::UserRole).toMap());
                carried << map.value("ASIN").toString();
            }
        }
        QCOMPARE(carried, records);
    }

    void doubleClickOpensProductPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QList<QUrl>>("opened");
        const QString page = "http://www.amazon.com/gp/product/D1?tag=pricewarden-20";
        QTest::newRow("product page") << page << QList<QUrl> { QUrl(page) };
        QTest::newRow("local file refused") << "file://localhost/etc/passwd" << QList<QUrl> {};
    }

    void doubleClickOpensProductPage()
    {
        QFETCH(QString, page);
        QFETCH(QList<QUrl>, opened);
        // The same connection the main window's form makes.
        QVERIFY(connect(m_list, SIGNAL(itemDoubleClicked(QTreeWidgetItem*, int)), m_list,
            SLOT(OnItemDoubleClicked(QTreeWidgetItem*))));
        m_list->UpdateItem(Item("D1", "us", { { "DetailPageURL", page } }));
        emit m_list->itemDoubleClicked(m_list->topLevelItem(0), 0);
        QCOMPARE(m_opened, opened);
    }

private:
    ScratchEnvironment m_scratch;
    WatchListWidget* m_list = nullptr;
    QList<QUrl> m_opened;
};

QTEST_MAIN(TestWatchListWidget)
#include "tst_watchlistwidget.moc"
