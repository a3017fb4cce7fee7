#include "AlertRule.h"
#include "Global.h"

#include <QTest>

// When a watched item alerts, and with which price.
class TestAlertRule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::InitializeSettings(); }
    void decidesFromTheRecord_data();
    void decidesFromTheRecord();
    void priceSeenBefore_data();
    void priceSeenBefore();
};

void TestAlertRule::decidesFromTheRecord_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QString>("alertPrice");
    // A record of a price-drop watch at 20.00 with every price formatted.
    const auto drop = [](QVariantMap fields) {
        QVariantMap record { { "WatchCondition", 2 }, { "PriceLine", 20.0 },
            { "FormattedPrice", "$P" }, { "FormattedLowestNewPrice", "$N" },
            { "FormattedLowestUsedPrice", "$U" } };
        record.insert(fields);
        return record;
    };
    const auto row = [](const char* name, const QVariantMap& record, const char* price) {
        QTest::newRow(name) << record << (price ? QString::fromLatin1(price) : QString());
    };
    row("not watched", drop({ { "WatchCondition", 0 }, { "Price", 1.0 } }), nullptr);
    row("unknown condition", drop({ { "WatchCondition", 7 }, { "Price", 1.0 } }), nullptr);
    row("in stock", { { "WatchCondition", 1 }, { "Price", 25.0 }, { "FormattedPrice", "$25" } },
        "$25");
    row("in stock with price 0, others offer it",
        { { "WatchCondition", 1 }, { "Price", 0.0 }, { "LowestNewPrice", 3.0 } }, nullptr);
    row("in stock without any price", { { "WatchCondition", 1 } }, nullptr);
    row("price above the line", drop({ { "Price", 20.01 } }), nullptr);
    row("price equal to the line", drop({ { "Price", 20.0 } }), "$P");
    row("price 0 never fires", drop({ { "Price", 0.0 }, { "PriceLine", 0.0 } }), nullptr);
    row("new price below, third party off", drop({ { "Price", 25.0 }, { "LowestNewPrice", 19.0 } }),
        nullptr);
    row("new price below, third party on",
        drop({ { "Price", 25.0 }, { "ThirdParty", true }, { "LowestNewPrice", 19.0 } }), "$N");
    row("used price below, used off",
        drop({ { "Price", 25.0 }, { "ThirdParty", true }, { "LowestUsedPrice", 9.0 } }), nullptr);
    row("used wins over new",
        drop({ { "ThirdParty", true }, { "ThirdPartyUsed", true }, { "LowestNewPrice", 19.0 },
            { "LowestUsedPrice", 9.0 } }),
        "$U");
    row("own offer wins over both",
        drop({ { "Price", 18.0 }, { "ThirdParty", true }, { "ThirdPartyUsed", true },
            { "LowestNewPrice", 19.0 }, { "LowestUsedPrice", 9.0 } }),
        "$P");
    row("own offer counts whatever the boxes say", drop({ { "Price", 18.0 } }), "$P");
    // An earlier alert's price is not what a later in-stock alert reports.
    row("in stock after an earlier drop alert",
        { { "WatchCondition", 1 }, { "Price", 30.0 }, { "FormattedPrice", "$30" },
            { "FormattedAlertPrice", "$15" } },
        "$30");
}

void TestAlertRule::decidesFromTheRecord()
{
    QFETCH(QVariantMap, record);
    QFETCH(QString, alertPrice);
    const QString priceKey = AlertRule::MetPrice(record);
    QCOMPARE(!priceKey.isEmpty(), !alertPrice.isNull());
    if (priceKey.isEmpty())
        return;
    const QVariantMap alerted = AlertRule::Alerted(record, priceKey);
    QCOMPARE(alerted.value("FormattedAlertPrice").toString(), alertPrice);
    // Nothing else of the record changes.
    QVariantMap rest = alerted;
    rest.remove("FormattedAlertPrice");
    QVariantMap before = record;
    before.remove("FormattedAlertPrice");
    QCOMPARE(rest, before);
}

void TestAlertRule::priceSeenBefore_data()
{
    QTest::addColumn<QVariantMap>("listed");
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QString>("priceKey");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("before");
    const QVariantMap listed { { "Price", 12.5 }, { "FormattedPrice", "$12.50" },
        { "LowestNewPrice", 0.0 }, { "FormattedLowestNewPrice", "" } };
    const QVariantMap stored { { "Price", 13.0 }, { "PriceNew", 11.0 }, { "PriceUsed", 0.0 } };
    QTest::newRow("the row before the reply") << listed << stored << "Price"
                                              << "us"
                                              << "$12.50";
    QTest::newRow("no price in the row: the stored point") << listed << stored << "LowestNewPrice"
                                                           << "us"
                                                           << "$11.00";
    QTest::newRow("yen without decimals")
        << QVariantMap() << QVariantMap { { "Price", 1980.0 } } << "Price"
        << "jp" << QString::fromUtf8("\uFFE51980");
    QTest::newRow("never seen") << listed << stored << "LowestUsedPrice"
                                << "us"
                                << "";
}

void TestAlertRule::priceSeenBefore()
{
    QFETCH(QVariantMap, listed);
    QFETCH(QVariantMap, stored);
    QFETCH(QString, priceKey);
    QFETCH(QString, locale);
    QFETCH(QString, before);
    QCOMPARE(AlertRule::PriceBefore(listed, stored, priceKey, locale), before);
}

QTEST_GUILESS_MAIN(TestAlertRule)
#include "tst_alertrule.moc"
