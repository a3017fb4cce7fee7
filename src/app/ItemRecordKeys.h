#pragma once

#include <QString>

// The keys of an item record: the string-keyed map that describes one product
// in one store and travels by value between the product client, the watch
// list, the storage, the detail pane and the reactions. The pair (Asin,
// Locale) identifies an item. A missing key reads as 0, false or an empty
// text and is never an error. The texts are stored in the watch list file
// and in the user's settings, so they never change.
namespace ItemKey {

inline const QString Asin = QStringLiteral("ASIN");
inline const QString Locale = QStringLiteral("Locale");
inline const QString Title = QStringLiteral("Title");
inline const QString SmallImage = QStringLiteral("SmallImage");
inline const QString MediumImage = QStringLiteral("MediumImage");
inline const QString LargeImage = QStringLiteral("LargeImage");
inline const QString ListPrice = QStringLiteral("ListPrice");
inline const QString FormattedListPrice = QStringLiteral("FormattedListPrice");
inline const QString Price = QStringLiteral("Price");
inline const QString FormattedPrice = QStringLiteral("FormattedPrice");
inline const QString LowestNewPrice = QStringLiteral("LowestNewPrice");
inline const QString FormattedLowestNewPrice = QStringLiteral("FormattedLowestNewPrice");
inline const QString LowestUsedPrice = QStringLiteral("LowestUsedPrice");
inline const QString FormattedLowestUsedPrice = QStringLiteral("FormattedLowestUsedPrice");
inline const QString OfferListingId = QStringLiteral("OfferListingId");
inline const QString IsEligibleForSuperSaverShipping
    = QStringLiteral("IsEligibleForSuperSaverShipping");
inline const QString Availability = QStringLiteral("Availability");
inline const QString InStock = QStringLiteral("InStock");
inline const QString DetailPageUrl = QStringLiteral("DetailPageURL");

// What the user set: the watch condition, its price line and the reactions.
inline const QString WatchCondition = QStringLiteral("WatchCondition");
inline const QString PriceLine = QStringLiteral("PriceLine");
inline const QString ThirdParty = QStringLiteral("ThirdParty");
inline const QString ThirdPartyUsed = QStringLiteral("ThirdPartyUsed");
inline const QString ActionWebPage = QStringLiteral("ActionWebPage");
inline const QString ActionEmail = QStringLiteral("ActionEmail");
inline const QString ActionCreateCart = QStringLiteral("ActionCreateCart");
inline const QString ActionAlert = QStringLiteral("ActionAlert");
inline const QString Quantity = QStringLiteral("Quantity");

// The formatted price that met the price line, written by an alert.
inline const QString FormattedAlertPrice = QStringLiteral("FormattedAlertPrice");
// Present (null) on records read back from the database.
inline const QString Id = QStringLiteral("id");

} // namespace ItemKey

// Values of ItemKey::WatchCondition. Any other value counts as not watched.
namespace WatchCondition {
enum : int
{
    NotWatched = 0,
    InStock = 1,
    PriceDrop = 2
};
} // namespace WatchCondition

// The keys of a price history map and of its points.
namespace HistoryKey {

// The list of daily points, oldest first, and the store they belong to.
inline const QString PriceHistory = QStringLiteral("PriceHistory");
inline const QString Locale = QStringLiteral("Locale");

// A point: seconds since 1970-01-01 UTC and the three prices (0: none).
inline const QString Timestamp = QStringLiteral("Timestamp");
inline const QString Price = QStringLiteral("Price");
inline const QString PriceNew = QStringLiteral("PriceNew");
inline const QString PriceUsed = QStringLiteral("PriceUsed");

// The extreme points of each series.
inline const QString PriceLowest = QStringLiteral("PriceLowest");
inline const QString PriceHighest = QStringLiteral("PriceHighest");
inline const QString NewLowest = QStringLiteral("NewLowest");
inline const QString NewHighest = QStringLiteral("NewHighest");
inline const QString UsedLowest = QStringLiteral("UsedLowest");
inline const QString UsedHighest = QStringLiteral("UsedHighest");

} // namespace HistoryKey
