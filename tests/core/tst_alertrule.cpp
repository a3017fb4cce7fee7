#include "AlertRule.h"
#include "Global.h"

#include <QTest>

// When a watched item alerts, with which price, and what it showed before.
class TestAlertRule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::InitializeSettings(); }
    void decidesFromTheRecord_data();
    void decidesFromTheRecord();
};

void TestAlertRule::decidesFromTheRecord_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QString>("alertPrice");
    QTest::addColumn<QString>("before");
    // A price-drop watch at 20.00; the prices are formatted by their initial.
    const auto row = [](const char* name, QVariantMap fields, const char* price,
                         const char* before = "") {
        QVariantMap record { { "WatchCondition", 2 }, { "PriceLine", 20.0 },
            { "FormattedPrice", "$P" }, { "FormattedLowestNewPrice", "$N" },
            { "FormattedLowestUsedPrice", "$U" }, { "Locale", "us" } };
        record.insert(fields);
        QTest::newRow(name) << record << QString::fromUtf8(price) << QString::fromUtf8(before);
    };
    const QVariantMap inStock { { "WatchCondition", 1 }, { "Price", 25.0 } };
    row("not watched", { { "WatchCondition", 0 }, { "Price", 1.0 } }, "");
    row("unknown condition", { { "WatchCondition", 7 }, { "Price", 1.0 } }, "");
    row("in stock", inStock, "$P");
    row("in stock, price 0, others offer it",
        { { "WatchCondition", 1 }, { "LowestNewPrice", 3.0 }, { "ThirdParty", true } }, "");
    row("price above the line", { { "Price", 20.01 } }, "");
    row("price equal to the line", { { "Price", 20.0 } }, "$P");
    row("price 0 never fires", { { "Price", 0.0 }, { "PriceLine", 0.0 } }, "");
    row("new below, third party off", { { "Price", 25.0 }, { "LowestNewPrice", 19.0 } }, "");
    row("new below, third party on",
        { { "Price", 25.0 }, { "ThirdParty", true }, { "LowestNewPrice", 19.0 } }, "$N");
    row("used below, used off",
        { { "Price", 25.0 }, { "ThirdParty", true }, { "LowestUsedPrice", 9.0 } }, "");
    row("used wins over new",
        { { "ThirdParty", true }, { "ThirdPartyUsed", true }, { "LowestNewPrice", 19.0 },
            { "LowestUsedPrice", 9.0 } },
        "$U");
    row("own offer wins, whatever the boxes say",
        { { "Price", 18.0 }, { "ThirdParty", true }, { "LowestNewPrice", 19.0 } }, "$P");
    // No alert reports the price of an earlier one.
    row("in stock after an earlier drop alert",
        { { "WatchCondition", 1 }, { "Price", 30.0 }, { "FormattedAlertPrice", "$15" } }, "$P");
    // What was seen before: the listed record, else the stored point.
    row("seen before in the list", { { "Price", 5.0 }, { "Before", 12.5 } }, "$P", "$12.50");
    row("seen before in the file", { { "Price", 5.0 }, { "Stored", 13.0 } }, "$P", "$13.00");
    row("yen stored without decimals",
        { { "Price", 5.0 }, { "Stored", 1980.0 }, { "Locale", "jp" } }, "$P", "\uFFE51980");
}

void TestAlertRule::decidesFromTheRecord()
{
    QFETCH(QVariantMap, record);
    QFETCH(QString, alertPrice);
    QFETCH(QString, before);
    const QString priceKey = AlertRule::MetPrice(record);
    QCOMPARE(priceKey.isEmpty(), alertPrice.isEmpty());
    if (priceKey.isEmpty())
        return;
    QVariantMap alerted = AlertRule::Alerted(record, priceKey);
    QCOMPARE(alerted.take("FormattedAlertPrice").toString(), alertPrice);
    record.remove("FormattedAlertPrice");
    QCOMPARE(alerted, record);
    const QVariantMap listed { { priceKey, record.value("Before") },
        { AlertRule::FormattedKey(priceKey), "$12.50" } };
    const QVariantMap stored { { "Price", record.value("Stored") } };
    QCOMPARE(AlertRule::PriceBefore(listed, stored, priceKey, record.value("Locale").toString()),
        before);
}

QTEST_GUILESS_MAIN(TestAlertRule)
#include "tst_alertrule.moc"
