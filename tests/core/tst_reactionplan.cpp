#include "ReactionPlan.h"

#include <QTest>

// The reactions of one evaluation pass, decided without a window.
class TestReactionPlan : public QObject
{
    Q_OBJECT

private slots:
    void plansThePass_data();
    void plansThePass();
};

namespace {

// An in-stock alert of the item; fields add reactions.
QVariant Item(const char* asin, const char* locale, QVariantMap fields = {})
{
    QVariantMap record { { "ASIN", asin }, { "Locale", locale }, { "WatchCondition", 1 },
        { "Price", 5.0 }, { "FormattedPrice", "$5" }, { "OfferListingId", QString("o") + asin },
        { "Quantity", 1 }, { "Title", QString::fromUtf8("Caf\u00e9 $LINK$") },
        { "DetailPageURL", QString("http://h/") + asin } };
    record.insert(fields);
    return record;
}

// The plan in one line: sound, raising, alerts with their reactions, carts.
QString Describe(const ReactionPlan& plan)
{
    QStringList parts;
    if (plan.bPlaySound)
        parts << QStringLiteral("sound %1x%2").arg(plan.soundFile).arg(plan.soundLoops);
    if (!plan.IsEmpty())
        parts << (plan.bRaiseWindows ? "raise" : "quiet");
    for (const ReactionPlan::Alert& alert : plan.alerts) {
        parts << alert.record.value("ASIN").toString() + (alert.bMail ? "+mail" : "")
                + (alert.page.isEmpty() ? "" : "+page");
    }
    for (const ReactionPlan::Cart& cart : plan.carts) {
        QStringList offers;
        for (auto it = cart.offers.cbegin(); it != cart.offers.cend(); ++it)
            offers << it.key() + "=" + it.value().toString();
        parts << QStringLiteral("cart %1{%2}").arg(cart.locale, offers.join(","));
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace

void TestReactionPlan::plansThePass_data()
{
    QTest::addColumn<QVariantList>("items");
    QTest::addColumn<QVariantMap>("options");
    QTest::addColumn<QString>("plan");
    const QVariantMap sound { { "PlaySound", true }, { "SoundFile", "d.wav" },
        { "SoundLoops", 3 } };
    const QVariantMap quiet { { "NoPopup", true }, { "Email", "me@example.org" } };
    const QVariantMap cart { { "ActionCreateCart", true } };
    const QVariantMap twice { { "ActionCreateCart", true }, { "OfferListingId", "same" } };
    QTest::newRow("nothing met, no sound")
        << QVariantList { Item("A", "us", { { "Price", 0.0 } }) } << sound << "";
    QTest::newRow("two alerts in row order, one sound") << QVariantList { Item("B", "us"),
        Item("X", "us", { { "WatchCondition", 0 } }), Item("A", "us") }
                                                        << sound << "sound d.wavx3; raise; B; A";
    QTest::newRow("no pop-up; mail; only web pages open")
        << QVariantList { Item("A", "us", { { "ActionEmail", true }, { "ActionWebPage", true } }),
               Item("B", "us", { { "ActionWebPage", true }, { "DetailPageURL", "file:///x" } }) }
        << quiet << "quiet; A+mail+page; B";
    QTest::newRow("one cart per store, in order of first alert") << QVariantList {
        Item("U1", "us", cart), Item("D1", "de", cart), Item("N", "de"), Item("U2", "us", cart)
    } << QVariantMap() << "raise; U1; D1; N; U2; cart us{oU1=1,oU2=1}; cart de{oD1=1}";
    QTest::newRow("same offer: the later quantity; no offer id: empty")
        << QVariantList { Item("A", "uk", twice), Item("B", "uk", twice),
               Item("C", "jp", { { "ActionCreateCart", true }, { "OfferListingId", QVariant() } }) }
        << QVariantMap() << "raise; A; B; C; cart uk{same=1}; cart jp{=1}";
}

void TestReactionPlan::plansThePass()
{
    QFETCH(QVariantList, items);
    QFETCH(QVariantMap, options);
    QFETCH(QString, plan);
    // Every place holder once; one inside a title stays text.
    const QString mail = "Dear $EMAIL$,\n* $TITLE$ \n  Price: $PRICE$\n$LINK$";
    const ReactionPlan built = ReactionPlan::ForItems(items, options, mail);
    QCOMPARE(Describe(built), plan);
    // Switched off when written back, and only then.
    for (int i = 0; i < built.alerts.size(); ++i) {
        const ReactionPlan::Alert& alert = built.alerts.at(i);
        QCOMPARE(alert.record.value("WatchCondition"), QVariant(1));
        QCOMPARE(built.SwitchedOff().at(i).toMap().value("WatchCondition"), QVariant(0));
        if (alert.bMail)
            QCOMPARE(alert.mailText,
                QString::fromUtf8("Dear me@example.org,\n* Caf\u00e9 $LINK$ \n  Price: $5\n"
                                  "http://h/A"));
    }
}

QTEST_GUILESS_MAIN(TestReactionPlan)
#include "tst_reactionplan.moc"
