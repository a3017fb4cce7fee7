#include "SoakProfile.h"

#include "DatabaseManager.h"
#include "ItemRecordKeys.h"
#include "OptionKeys.h"

#include <QSettings>
#include <cmath>

namespace {

const QLatin1String AsinPrefix("B0SOAK");

enum class Role
{
    Quiet, // a price line below any price the store can reach
    PriceAlert, // a line the wandering price crosses at some point of the run
    Restock, // out of stock at first, watched for a restock
    Unwatched
};

// Out of every twenty items: five alert on a price, one on a restock, one
// is not watched, the rest are watched and stay quiet.
Role RoleOf(int nIndex)
{
    const int slot = nIndex % 20;
    if (slot < 5)
        return Role::PriceAlert;
    if (slot == 5)
        return Role::Restock;
    if (slot == 6)
        return Role::Unwatched;
    return Role::Quiet;
}

int IndexOf(const QString& asin)
{
    return asin.mid(AsinPrefix.size()).toInt() - 1;
}

bool IsYen(const QString& locale)
{
    return locale == QLatin1String("jp");
}

double MainUnits(qint64 nAmount, const QString& locale)
{
    return IsYen(locale) ? double(nAmount) : nAmount / 100.0;
}

qint64 StoreAmount(double dAmount, const QString& locale)
{
    return IsYen(locale) ? std::llround(dAmount / 10) * 10 : std::llround(dAmount);
}

} // namespace

SimulatedCatalogue SoakProfile::Catalogue(int nItems)
{
    SimulatedCatalogue catalogue;
    const QStringList& locales = SimulatedCatalogue::storeLocales();
    for (int i = 0; i < nItems; ++i) {
        const QString locale = locales.at(i % locales.size());
        const double base = 500 + (i * 7919) % 9500; // 5.00 to 99.99, or yen
        SimulatedItem item;
        item.asin = AsinPrefix + QStringLiteral("%1").arg(i + 1, 4, 10, QLatin1Char('0'));
        item.title = QStringLiteral("Soak item %1 (%2)").arg(i + 1).arg(locale);
        item.price = StoreAmount(base, locale);
        item.listPrice = i % 2 == 0 ? StoreAmount(base * 1.2, locale) : 0;
        item.lowestNewPrice = i % 3 == 0 ? StoreAmount(base * 0.97, locale) : 0;
        item.lowestUsedPrice = i % 4 == 0 ? StoreAmount(base * 0.7, locale) : 0;
        // Plenty, so that a cart asked for after an alert still finds the
        // offer; a restock item starts sold out.
        item.stock = RoleOf(i) == Role::Restock ? 0 : 1000000;
        item.images = i % 11 == 0 ? SimulatedItem::ImageStyle::None
            : i % 7 == 0          ? SimulatedItem::ImageStyle::SetsOnly
                                  : SimulatedItem::ImageStyle::Direct;
        catalogue.insert(locale, item);
    }
    return catalogue;
}

QVariantList SoakProfile::WatchList(const SimulatedCatalogue& catalogue)
{
    QVariantList list;
    for (const QString& locale : SimulatedCatalogue::storeLocales()) {
        for (const SimulatedItem& product : catalogue.items(locale)) {
            const int i = IndexOf(product.asin);
            const Role role = RoleOf(i);
            int condition = WatchCondition::PriceDrop;
            // Below the store's floor of one unit of the currency.
            double line = 0.5;
            if (role == Role::PriceAlert) {
                // From 7 % to 69 % below today's price: the alerts spread
                // over the run instead of all coming with the first ticks.
                line = MainUnits(product.price, locale) * std::pow(0.93, 1 + (i * 37) % 16);
            } else if (role == Role::Restock) {
                condition = WatchCondition::InStock;
            } else if (role == Role::Unwatched) {
                condition = WatchCondition::NotWatched;
            }
            const bool reacts = role == Role::PriceAlert || role == Role::Restock;
            list << QVariantMap { { ItemKey::Asin, product.asin }, { ItemKey::Locale, locale },
                { ItemKey::Title, product.title }, { ItemKey::WatchCondition, condition },
                { ItemKey::PriceLine, line }, { ItemKey::ThirdParty, i % 3 == 0 },
                { ItemKey::ThirdPartyUsed, false }, { ItemKey::ActionAlert, true },
                { ItemKey::ActionEmail, reacts && i % 3 == 0 },
                { ItemKey::ActionWebPage, reacts && i % 2 == 0 },
                // A restocked item may sell out again before its cart leaves.
                { ItemKey::ActionCreateCart, role == Role::PriceAlert && i % 5 == 1 },
                { ItemKey::Quantity, 1 + i % 3 } };
        }
    }
    return list;
}

QVariantMap SoakProfile::Options(int nIntervalSeconds, const QString& strEmail)
{
    QVariantMap options = OptionKey::WithDefaults({});
    options.insert(OptionKey::WatchIntervalSeconds, nIntervalSeconds);
    options.insert(OptionKey::Email, strEmail);
    options.insert(OptionKey::AutoStart, true);
    return options;
}

bool SoakProfile::Seed(const QString& strDatabaseFile, const SimulatedCatalogue& catalogue,
    const QVariantMap& options, QString* pError)
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
    if (!database.GetItems(QString()).isEmpty()) {
        *pError = QStringLiteral("%1 already holds a watch list").arg(strDatabaseFile);
        return false;
    }
    database.SaveItems(WatchList(catalogue));
    QSettings settings;
    settings.setValue(QStringLiteral("MainWindow/Options"), options);
    settings.sync();
    if (settings.status() != QSettings::NoError && failure.isEmpty())
        failure = QStringLiteral("cannot write the settings file %1").arg(settings.fileName());
    *pError = failure;
    return failure.isEmpty();
}
