#include "SimulatedCatalogue.h"

const QStringList& SimulatedCatalogue::storeLocales()
{
    static const QStringList locales = { QStringLiteral("us"), QStringLiteral("ca"),
        QStringLiteral("uk"), QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("jp") };
    return locales;
}

bool SimulatedCatalogue::isStoreLocale(const QString& locale)
{
    return storeLocales().contains(locale);
}

bool SimulatedCatalogue::isValidAsin(const QString& asin)
{
    if (asin.size() != 10)
        return false;
    for (const QChar c : asin) {
        const bool upper = c >= QLatin1Char('A') && c <= QLatin1Char('Z');
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!upper && !digit)
            return false;
    }
    return true;
}

QString SimulatedCatalogue::defaultOfferListingId(const QString& locale, const QString& asin)
{
    // Real listing identifiers are opaque Base64-like texts; these carry the
    // same characters ("+", "/", "=") so that clients must encode them.
    const QByteArray seed = "pricewarden-sim offer " + locale.toUtf8() + ':' + asin.toUtf8();
    return QString::fromLatin1(seed.toBase64());
}

QStringList SimulatedCatalogue::asins(const QString& locale) const
{
    QStringList result;
    for (const SimulatedItem& item : m_stores.value(locale))
        result << item.asin;
    return result;
}

const SimulatedItem* SimulatedCatalogue::find(const QString& locale, const QString& asin) const
{
    const auto store = m_stores.constFind(locale);
    if (store == m_stores.constEnd())
        return nullptr;
    for (const SimulatedItem& item : *store) {
        if (item.asin == asin)
            return &item;
    }
    return nullptr;
}

SimulatedItem* SimulatedCatalogue::find(const QString& locale, const QString& asin)
{
    const auto store = m_stores.find(locale);
    if (store == m_stores.end())
        return nullptr;
    for (SimulatedItem& item : *store) {
        if (item.asin == asin)
            return &item;
    }
    return nullptr;
}

bool SimulatedCatalogue::insert(const QString& locale, const SimulatedItem& item)
{
    if (!isStoreLocale(locale))
        return false;
    if (SimulatedItem* existing = find(locale, item.asin))
        *existing = item;
    else
        m_stores[locale].append(item);
    return true;
}

bool SimulatedCatalogue::remove(const QString& locale, const QString& asin)
{
    const auto store = m_stores.find(locale);
    if (store == m_stores.end())
        return false;
    const auto removed
        = store->removeIf([&asin](const SimulatedItem& item) { return item.asin == asin; });
    return removed > 0;
}

const SimulatedItem* SimulatedCatalogue::findByOfferListingId(
    const QString& locale, const QString& id) const
{
    for (const SimulatedItem& item : m_stores.value(locale)) {
        if (!item.offerListingId.isEmpty() && item.offerListingId == id)
            return find(locale, item.asin);
    }
    return nullptr;
}
