#include "DemoProfile.h"

#include "BuiltInCatalogue.h"
#include "DatabaseManager.h"
#include "ItemRecordKeys.h"

#include <QRandomGenerator>
#include <array>
#include <cmath>
#include <vector>

namespace {

struct DemoItem
{
    const char* locale;
    const char* asin;
    int watchCondition;
    double priceLineFactor; // of today's watched price
    bool thirdParty;
    bool gaps; // stretches without an own offer
};

// One store each, none of them the items the demo suggests to add: a price
// drop to wait for in most, third-party offers only, used offers only, yen.
const std::array<DemoItem, 6> kItems { {
    { "us", "B0PW000010", WatchCondition::PriceDrop, 0.9, false, false },
    { "uk", "B0PW000008", WatchCondition::PriceDrop, 0.9, false, true },
    { "de", "B0PW000006", WatchCondition::PriceDrop, 0.85, false, false },
    { "fr", "B0PW000005", WatchCondition::PriceDrop, 0.9, true, false },
    { "ca", "B0PW000004", WatchCondition::NotWatched, 0, false, false },
    { "jp", "B0PW000001", WatchCondition::PriceDrop, 0.9, false, true },
} };

const int kDays = 365;

using Prices = std::array<double, 3>; // own offer, lowest new, lowest used

double Amount(qint64 nSmallestUnits, const QString& locale)
{
    return locale == QLatin1String("jp") ? double(nSmallestUnits) : nSmallestUnits / 100.0;
}

// A store price near the value: yen in tens, other currencies at .99.
double StorePrice(double dValue, const QString& locale)
{
    if (locale == QLatin1String("jp"))
        return std::max(100.0, std::round(dValue / 10) * 10);
    return std::max(1.0, std::floor(dValue)) + 0.99;
}

// Walks back from today's prices: now and then a price was up to a fifth
// lower or higher before, around today's, and an item with gaps had no
// offer for a while.
std::vector<Prices> History(const Prices& today, const DemoItem& item)
{
    QRandomGenerator random(qHash(QLatin1String(item.asin)) ^ qHash(QLatin1String(item.locale)));
    std::vector<Prices> days(kDays);
    Prices current = today;
    int nGapLeft = 0;
    for (int d = kDays - 1; d >= 0; --d) {
        days[size_t(d)] = current;
        if (nGapLeft > 0) {
            days[size_t(d)][0] = 0;
            --nGapLeft;
        } else if (item.gaps && d < kDays - 30 && random.bounded(60) == 0) {
            nGapLeft = 5 + int(random.bounded(20));
        }
        for (size_t s = 0; s < current.size(); ++s) {
            if (today[s] > 0 && random.bounded(9) == 0)
                current[s] = StorePrice(
                    today[s] * (0.8 + random.bounded(41) / 100.0), QLatin1String(item.locale));
        }
    }
    return days;
}

} // namespace

bool DemoProfile::Seed(const QString& strDatabaseFile, const QDate& today, QString* pError)
{
    DatabaseManager database(strDatabaseFile);
    QString failure;
    QObject::connect(
        &database, &DatabaseManager::Error, [&failure](const QString& error) { failure = error; });
    if (!database.IsOpen() || !failure.isEmpty()) {
        *pError
            = failure.isEmpty() ? QStringLiteral("cannot open %1").arg(strDatabaseFile) : failure;
        return false;
    }
    if (!database.GetItems(QString()).isEmpty())
        return true;

    const SimulatedCatalogue catalogue = BuiltInCatalogue::create();
    QDateTime moment;
    database.SetClock([&moment] { return moment; });
    QVariantList watchList;
    for (const DemoItem& demo : kItems) {
        const QString locale = QLatin1String(demo.locale);
        const SimulatedItem* product = catalogue.find(locale, QLatin1String(demo.asin));
        if (!product)
            continue;
        const Prices now { Amount(product->price, locale), Amount(product->lowestNewPrice, locale),
            Amount(product->lowestUsedPrice, locale) };
        const std::vector<Prices> days = History(now, demo);
        for (int d = 0; d < kDays; ++d) {
            moment = QDateTime(today.addDays(d - kDays), QTime(10, 0));
            database.UpdatePrice({ { ItemKey::Asin, product->asin }, { ItemKey::Locale, locale },
                { ItemKey::Price, days[size_t(d)][0] },
                { ItemKey::LowestNewPrice, days[size_t(d)][1] },
                { ItemKey::LowestUsedPrice, days[size_t(d)][2] } });
        }
        // The line lies below the price the condition watches today.
        const Prices& latest = days.back();
        const double dWatched = demo.thirdParty ? latest[1] : latest[0];
        watchList << QVariantMap { { ItemKey::Asin, product->asin }, { ItemKey::Locale, locale },
            { ItemKey::Title, product->title }, { ItemKey::WatchCondition, demo.watchCondition },
            { ItemKey::PriceLine,
                dWatched > 0 ? StorePrice(dWatched * demo.priceLineFactor, locale) : 0.0 },
            { ItemKey::ThirdParty, demo.thirdParty }, { ItemKey::ThirdPartyUsed, false },
            { ItemKey::ActionEmail, false }, { ItemKey::ActionWebPage, false },
            { ItemKey::ActionCreateCart, false }, { ItemKey::Quantity, 1 } };
    }
    database.SaveItems(watchList);
    *pError = failure;
    return failure.isEmpty();
}
