#pragma once

#include <QMetaType>
#include <QString>

// One product of one store of the simulated catalogue. Amounts are integers
// in the currency's smallest unit (cents, pence; yen for "jp"), as the
// product API sends them; 0 means "none".
struct SimulatedItem
{
    // Where the reply puts the item's image URLs.
    enum class ImageStyle
    {
        None, // no image elements at all
        Direct, // SmallImage/MediumImage/LargeImage directly under Item (and in ImageSets)
        SetsOnly // only under ImageSets/ImageSet
    };

    QString asin;
    QString title;
    qint64 listPrice = 0; // ItemAttributes/ListPrice; 0: element left out
    qint64 price = 0; // the item's own offer; 0: no offer
    qint64 lowestNewPrice = 0; // OfferSummary/LowestNewPrice; 0: element left out
    qint64 lowestUsedPrice = 0; // OfferSummary/LowestUsedPrice; 0: element left out
    int stock = 0; // pieces in stock; the offer is listed only while stock > 0
    QString availability; // text of the offer's Availability element
    QString offerListingId; // identifier of the own offer (cart requests)
    bool superSaverShipping = true;
    ImageStyle images = ImageStyle::Direct;

    // The reply lists Offers/Offer only for an item that can be bought.
    bool hasOffer() const { return price > 0 && stock > 0 && !offerListingId.isEmpty(); }

    bool operator==(const SimulatedItem& other) const
    {
        return asin == other.asin && title == other.title && listPrice == other.listPrice
            && price == other.price && lowestNewPrice == other.lowestNewPrice
            && lowestUsedPrice == other.lowestUsedPrice && stock == other.stock
            && availability == other.availability && offerListingId == other.offerListingId
            && superSaverShipping == other.superSaverShipping && images == other.images;
    }
    bool operator!=(const SimulatedItem& other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(SimulatedItem)
