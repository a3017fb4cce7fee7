#pragma once

#include "SimulatedItem.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The products each of the six stores carries, in a fixed order per store.
class SimulatedCatalogue
{
public:
    // The six stores, in the order of the app's store table.
    static const QStringList& storeLocales();
    static bool isStoreLocale(const QString& locale);
    // Ten upper-case letters or digits.
    static bool isValidAsin(const QString& asin);
    // The identifier given to an offer that the catalogue leaves without one.
    static QString defaultOfferListingId(const QString& locale, const QString& asin);

    QStringList asins(const QString& locale) const;
    const QList<SimulatedItem> items(const QString& locale) const { return m_stores.value(locale); }
    const SimulatedItem* find(const QString& locale, const QString& asin) const;
    SimulatedItem* find(const QString& locale, const QString& asin);
    // Replaces the item with the same ASIN or appends it; false for a locale
    // that is not a store.
    bool insert(const QString& locale, const SimulatedItem& item);
    bool remove(const QString& locale, const QString& asin);
    // The item carrying this offer listing identifier in a store, if any.
    const SimulatedItem* findByOfferListingId(const QString& locale, const QString& id) const;

    bool operator==(const SimulatedCatalogue& other) const { return m_stores == other.m_stores; }
    bool operator!=(const SimulatedCatalogue& other) const { return !(*this == other); }

private:
    QMap<QString, QList<SimulatedItem>> m_stores;
};
