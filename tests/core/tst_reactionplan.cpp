#include "ReactionPlan.h"

#include <QTest>

// The reactions of one evaluation pass, decided without a window.
class TestReactionPlan : public QObject
{
    Q_OBJECT

private slots:
    void plansThePass_data();
    void plansThePass();
    void mailFillsTheTemplateOnce();
};

namespace {

QVariantMap Item(const char* asin, const char* locale, QVariantMap fields = {})
{
    QVariantMap record { { "ASIN", asin }, { "Locale", locale }, { "WatchCondition", 1 },
        { "Price", 5.0 }, { "FormattedPrice", "$5" }, { "OfferListingId", QString("o-") + asin },
        { "Quantity", 1 },
        { "DetailPageURL", QString("http://www.amazon.com/gp/product/") + asin } };
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
        QString text = alert.record.value("ASIN").toString();
        if (alert.bMail)
            text += "+mail";
        if (!alert.page.isEmpty())
            text += "+page";
        parts << text;
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
    const QVariantMap sound { { "PlaySound", true }, { "SoundFile", "drum.wav" },
        { "SoundLoops", 3 } };
    const QVariantMap cart { { "ActionCreateCart", true }, { "ActionWebPage", false } };
    QTest::newRow("nothing met: no sound") << QVariantList { Item("A", "us", { { "Price", 0.0 } }),
        Item("B", "us", { { "WatchCondition", 0 } }) }
                                           << sound << "";
    QTest::newRow("two alerts, one sound, in row order")
        << QVariantList { Item("B", "us"), Item("X", "us", { { "Price", 0.0 } }), Item("A", "us") }
        << sound << "sound drum.wavx3; raise; B; A";
    QVariantMap quiet = sound;
    quiet.insert({ { "NoPopup", true }, { "PlaySound", false } });
    QTest::newRow("no pop-up, no sound, reactions still planned")
        << QVariantList { Item("A", "us", { { "ActionEmail", true }, { "ActionWebPage", true } }) }
        << quiet << "quiet; A+mail+page";
    QTest::newRow("only web pages are opened") << QVariantList {
        Item("A", "us", { { "ActionWebPage", true } }),
        Item("B", "us", { { "ActionWebPage", true }, { "DetailPageURL", "file:///etc/passwd" } })
    } << QVariantMap() << "raise; A+page; B";
    QTest::newRow("one cart per store, in order of first alert") << QVariantList {
        Item("U1", "us", cart), Item("D1", "de", cart), Item("N", "de"), Item("U2", "us", cart)
    } << QVariantMap() << "raise; U1; D1; N; U2; cart us{o-U1=1,o-U2=1}; cart de{o-D1=1}";
    QVariantMap twice = cart;
    twice.insert({ { "OfferListingId", "same" }, { "Quantity", 4 } });
    QVariantMap noOffer = cart;
    noOffer.insert("OfferListingId", QVariant());
    QTest::newRow("same offer keeps the later quantity; a missing offer id is empty")
        << QVariantList { Item("A", "uk", twice),
               Item("B", "uk",
                   { { "OfferListingId", "same" }, { "ActionCreateCart", true },
                       { "Quantity", 2 } }),
               Item("C", "jp", noOffer) }
        << QVariantMap() << "raise; A; B; C; cart uk{same=2}; cart jp{=1}";
}

void TestReactionPlan::plansThePass()
{
    QFETCH(QVariantList, items);
    QFETCH(QVariantMap, options);
    QFETCH(QString, plan);
    const ReactionPlan built = ReactionPlan::ForItems(items, options, QString());
    QCOMPARE(Describe(built), plan);
    // Every alert is switched off, and nothing else changes in its record.
    const QVariantList off = built.SwitchedOff();
    QCOMPARE(off.size(), built.alerts.size());
    for (int i = 0; i < off.size(); ++i) {
        QVariantMap record = off.at(i).toMap();
        QCOMPARE(record.value("WatchCondition"), QVariant(0));
        record.insert("WatchCondition", built.alerts.at(i).record.value("WatchCondition"));
        QCOMPARE(record, built.alerts.at(i).record);
    }
}

void TestReactionPlan::mailFillsTheTemplateOnce()
{
    const QString mailTemplate = "Dear $EMAIL$,\n* $TITLE$ \n  Price: $PRICE$\n$LINK$\n$EMAIL$";
    const QVariantMap item = Item("A", "fr",
        { { "ActionEmail", true }, { "WatchCondition", 2 }, { "PriceLine", 30.0 },
            { "FormattedPrice", "EUR 5,00" },
            { "Title", QString::fromUtf8("Caf\u00e9 $LINK$ 100%") } });
    const ReactionPlan plan
        = ReactionPlan::ForItems({ item }, { { "Email", "me@example.org" } }, mailTemplate);
    QCOMPARE(plan.alerts.size(), 1);
    QCOMPARE(plan.alerts.first().mailText,
        QString::fromUtf8("Dear me@example.org,\n* Caf\u00e9 $LINK$ 100% \n  Price: EUR 5,00\n"
                          "http://www.amazon.com/gp/product/A\nme@example.org"));
    // An empty address is no reason to drop the mail.
    QVERIFY(ReactionPlan::ForItems({ item }, {}, mailTemplate).alerts.first().bMail);
}

QTEST_GUILESS_MAIN(TestReactionPlan)
#include "tst_reactionplan.moc"
