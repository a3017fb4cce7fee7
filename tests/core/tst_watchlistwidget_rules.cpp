#include "Global.h"
#include "WatchListCells.h"
#include "WatchListRecord.h"
#include "WatchListSortRules.h"

#include <QTest>

namespace {

QVariantMap With(QVariantMap record, const QVariantMap& changes)
{
    record.insert(changes);
    return record;
}

QVariantMap Watched(int condition, const QVariantMap& extra = {})
{
    return With(extra, { { "WatchCondition", condition } });
}

QVariantMap Priced(const QString& locale, const QVariant& price)
{
    QVariantMap record { { "ASIN", "B000000001" }, { "Locale", locale } };
    if (price.isValid())
        record.insert("Price", price);
    return record;
}

} // namespace

// The list's own ordering per column, and the plain text order, are shown
// by tst_watchlistwidget's sort table; here the amount rules it cannot show.
class TestWatchListRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::InitializeSettings(); }

    void watchText_data()
    {
        QTest::addColumn<QVariantMap>("record");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QVariantMap& record, const QString& text) {
            QTest::newRow(name) << record << text;
        };
        row("not watched", Watched(0), "Do not watch");
        row("condition missing", {}, "Do not watch");
        row("unknown condition", Watched(7), "Do not watch");
        row("in stock", Watched(1), "Item in stock");
        row("condition as text", { { "WatchCondition", "1" } }, "Item in stock");
        row("drop us", Watched(2, { { "PriceLine", 12.5 }, { "Locale", "us" } }),
            "Price drop to $12.50");
        row("drop, unknown store", Watched(2, { { "PriceLine", 3.333 }, { "Locale", "xx" } }),
            "Price drop to 3.33");
        row("drop without line", Watched(2, { { "Locale", "uk" } }), "Price drop to \u00A30.00");
    }

    void watchText()
    {
        QFETCH(QVariantMap, record);
        QFETCH(QString, expected);
        QCOMPARE(WatchListCells::WatchText(record), expected);
    }

    void reactionAndIcon_data()
    {
        QTest::addColumn<QVariantMap>("record");
        QTest::addColumn<QString>("reaction");
        QTest::addColumn<QString>("icon");
        const QVariantMap all { { "ActionEmail", true }, { "ActionWebPage", true },
            { "ActionCreateCart", true }, { "ActionAlert", true } };
        const QString watch = ":/watch16.png", blank = ":/blank16.png";
        QTest::newRow("not watched") << Watched(0, all) << QString() << blank;
        QTest::newRow("condition missing") << QVariantMap {} << QString() << blank;
        QTest::newRow("alert even when off")
            << Watched(1, { { "ActionAlert", false } }) << "Show alert" << watch;
        QTest::newRow("all in fixed order")
            << Watched(2, all) << "Show alert, Email me, Bring up webpage, Take me to check out"
            << watch;
        QTest::newRow("flags as integers") << Watched(
            1, { { "ActionEmail", 1 }, { "ActionCreateCart", 1 }, { "ActionWebPage", 0 } })
                                           << "Show alert, Email me, Take me to check out" << watch;
    }

    void reactionAndIcon()
    {
        QFETCH(QVariantMap, record);
        QFETCH(QString, reaction);
        QFETCH(QString, icon);
        QCOMPARE(WatchListCells::ReactionText(record), reaction);
        QCOMPARE(WatchListCells::WatchIconPath(record), icon);
    }

    void newRowDefaultsLeaveGivenValues()
    {
        const QVariantMap bare { { "ASIN", "B0" }, { "Locale", "us" } };
        QVariantMap given = WatchListRecord::WithNewRowDefaults(bare);
        QVERIFY(given.size() > bare.size());
        for (QVariant& value : given)
            value = "given";
        QCOMPARE(WatchListRecord::WithNewRowDefaults(given), given);
    }

    void storedPartDiffers_data()
    {
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<bool>("differs");
        QTest::newRow("nothing") << QVariantMap {} << false;
        QTest::newRow("only product data") << QVariantMap { { "Price", 8.0 },
            { "FormattedPrice", "$8.00" }, { "Availability", "In stock" } }
                                           << false;
        QTest::newRow("same values in file types")
            << QVariantMap { { "ActionWebPage", 1 }, { "WatchCondition", "2" } } << false;
        const QVariantMap edits { { "WatchCondition", 0 }, { "PriceLine", 9.5 },
            { "ThirdParty", true }, { "ThirdPartyUsed", true }, { "ActionEmail", true },
            { "ActionWebPage", false }, { "ActionCreateCart", true }, { "Quantity", 3 },
            { "Title", "Other" } };
        for (auto it = edits.cbegin(); it != edits.cend(); ++it)
            QTest::newRow(qPrintable("changed " + it.key()))
                << QVariantMap { { it.key(), it.value() } } << true;
    }

    void storedPartDiffers()
    {
        QFETCH(QVariantMap, changes);
        QFETCH(bool, differs);
        const QVariantMap before { { "Title", "Thing" }, { "WatchCondition", 2 },
            { "PriceLine", 10.0 }, { "ThirdParty", false }, { "ThirdPartyUsed", false },
            { "ActionEmail", false }, { "ActionWebPage", true }, { "ActionCreateCart", false },
            { "Quantity", 1 }, { "Price", 12.0 } };
        QCOMPARE(WatchListRecord::StoredPartDiffers(before, With(before, changes)), differs);
    }

    void amountOrder_data()
    {
        QTest::addColumn<QVariantMap>("a");
        QTest::addColumn<QVariantMap>("b");
        QTest::addColumn<int>("order"); // -1: a sorts first, 1: b does, 0: equal
        const auto row = [](const char* name, const QVariantMap& a, const QVariantMap& b,
                             int order) { QTest::newRow(name) << a << b << order; };
        row("$1,299.00 after $999.00", Priced("us", 999.0), Priced("us", 1299.0), -1);
        row("zero price first", Priced("us", 0.0), Priced("us", 0.01), -1);
        row("missing and zero equal", Priced("us", {}), Priced("us", 0.0), 0);
        row("equal amounts", Priced("uk", 5.0), Priced("uk", 5.0), 0);
        row("unknown store groups first", Priced("xx", 100.0), Priced("us", 1.0), -1);
        row("amount stored as text", Priced("us", "19.99"), Priced("us", 2.0), 1);
        row("stored 'nan' is no price", Priced("us", "nan"), Priced("us", 0.01), -1);
        row("stored 'nan' equals none", Priced("us", "nan"), Priced("us", {}), 0);
        row("infinite amount is no price", Priced("us", qInf()), Priced("us", 0.01), -1);
    }

    void amountOrder()
    {
        QFETCH(QVariantMap, a);
        QFETCH(QVariantMap, b);
        QFETCH(int, order);
        QCOMPARE(WatchListSort::AmountLessThan(a, b, "Price"), order < 0);
        QCOMPARE(WatchListSort::AmountLessThan(b, a, "Price"), order > 0);
    }

    void productPageUrl_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QUrl>("expected");
        const QString page = "http://www.amazon.com/gp/product/B000000001?tag=pricewarden-20";
        const QString encoded = "http://www.amazon.de/gp/product/B%2F1?tag=a%20b";
        QTest::newRow("product page") << page << QUrl(page);
        QTest::newRow("encoded stays as it is") << encoded << QUrl::fromEncoded(encoded.toUtf8());
        QTest::newRow("https") << "https://www.amazon.fr/x" << QUrl("https://www.amazon.fr/x");
        QTest::newRow("no key") << QString() << QUrl();
        QTest::newRow("other scheme with a host") << "ftp://www.amazon.com/x" << QUrl();
        QTest::newRow("script") << "javascript:alert(1)" << QUrl();
        QTest::newRow("no host") << "http:///gp/product" << QUrl();
    }

    void productPageUrl()
    {
        QFETCH(QString, stored);
        QFETCH(QUrl, expected);
        const QVariantMap record
            = stored.isNull() ? QVariantMap() : QVariantMap { { "DetailPageURL", stored } };
        QCOMPARE(WatchListCells::ProductPageUrl(record), expected);
    }
};

QTEST_MAIN(TestWatchListRules)
#include "tst_watchlistwidget_rules.moc"
