#include "BuiltInCatalogue.h"

#include <QtMath>
#include <array>

struct BuiltInCatalogue::Product
{
    const char* asin;
    const char* english;
    const char* german;
    const char* french;
    const char* japanese;
    qint64 listPrice; // US cents; the other stores derive theirs
    qint64 price;
    qint64 lowestNewPrice;
    qint64 lowestUsedPrice;
    int stock;
    SimulatedItem::ImageStyle images;
    int availability; // index into the availability texts
};

namespace {

using Style = SimulatedItem::ImageStyle;

// clang-format off
const std::array<BuiltInCatalogue::Product, 10> products = { {
    // In stock with every price element.
    { "B0PW000001", "Stainless Steel Kitchen Scale",
      "K\u00FCchenwaage \u201EPr\u00E4zision\u201C aus Edelstahl",
      "Balance de cuisine \u00AB\u00A0Pr\u00E9cision\u00A0\u00BB en acier inoxydable",
      "\u30C7\u30B8\u30BF\u30EB\u30AD\u30C3\u30C1\u30F3\u30B9\u30B1\u30FC\u30EB \u30B9\u30C6\u30F3\u30EC\u30B9\u88FD",
      2999, 1999, 1899, 1250, 12, Style::Direct, 0 },
    // In stock, no list price, images only in the image sets.
    { "B0PW000002", "Hand-Bound Travel Journal",
      "Reisetagebuch, handgebunden \u2013 Gr\u00F6\u00DFe A5",
      "Carnet de voyage reli\u00E9 \u00E0 la main \u2013 format A5",
      "\u624B\u88FD\u672C\u30C8\u30E9\u30D9\u30EB\u30CE\u30FC\u30C8 A5\u30B5\u30A4\u30BA",
      0, 1450, 1399, 0, 30, Style::SetsOnly, 0 },
    // Out of stock: no offer until the schedule restocks it.
    { "B0PW000003", "Cast Iron Dutch Oven 5 qt",
      "Gusseisen-Br\u00E4ter, 4,7 l",
      "Cocotte en fonte \u00E9maill\u00E9e, 4,7 L",
      "\u92F3\u9244\u88FD\u30C0\u30C3\u30C1\u30AA\u30FC\u30D6\u30F3 4.7L",
      7999, 5999, 0, 0, 0, Style::Direct, 0 },
    // Only used offers.
    { "B0PW000004", "Vintage Film Camera Body (Used)",
      "Analoge Spiegelreflexkamera \u2013 Geh\u00E4use, gebraucht",
      "Appareil photo argentique \u2013 bo\u00EEtier d'occasion",
      "\u30D5\u30A3\u30EB\u30E0\u4E00\u773C\u30EC\u30D5\u30AB\u30E1\u30E9 \u30DC\u30C7\u30A3\uFF08\u4E2D\u53E4\uFF09",
      0, 0, 0, 8900, 0, Style::Direct, 0 },
    // Only third-party sellers, new and used.
    { "B0PW000005", "Noise-Cancelling Over-Ear Headphones",
      "Over-Ear-Kopfh\u00F6rer mit Ger\u00E4uschunterdr\u00FCckung",
      "Casque \u00E0 r\u00E9duction de bruit \u2013 \u00E9dition sp\u00E9ciale",
      "\u30CE\u30A4\u30BA\u30AD\u30E3\u30F3\u30BB\u30EA\u30F3\u30B0 \u30D8\u30C3\u30C9\u30DB\u30F3",
      14999, 0, 12900, 9900, 0, Style::Direct, 0 },
    // In stock, a few pieces.
    { "B0PW000006", "Espresso Machine with Milk Frother",
      "Espressomaschine mit Milchsch\u00E4umer",
      "Machine \u00E0 expresso avec mousseur \u00E0 lait",
      "\u30A8\u30B9\u30D7\u30EC\u30C3\u30BD\u30DE\u30B7\u30F3 \u30DF\u30EB\u30AF\u30D5\u30A9\u30FC\u30DE\u30FC\u4ED8\u304D",
      24999, 18999, 17999, 14500, 5, Style::Direct, 0 },
    // In stock, no images at all.
    { "B0PW000007", "Bamboo Cutting Board Set (3 Pieces)",
      "Schneidebrett-Set aus Bambus (3 St\u00FCck)",
      "Lot de planches \u00E0 d\u00E9couper en bambou (3 pi\u00E8ces)",
      "\u7AF9\u88FD\u307E\u306A\u677F\u30BB\u30C3\u30C8\uFF083\u679A\u7D44\uFF09",
      0, 2499, 0, 0, 40, Style::None, 0 },
    // The last piece in stock: sells out on the schedule.
    { "B0PW000008", "Limited Edition Fountain Pen",
      "F\u00FCllfederhalter \u2013 limitierte Auflage",
      "Stylo plume \u2013 \u00E9dition limit\u00E9e",
      "\u4E07\u5E74\u7B46 \u9650\u5B9A\u30E2\u30C7\u30EB",
      5000, 4500, 0, 0, 1, Style::Direct, 0 },
    // Four-digit prices, for the thousands separators.
    { "B0PW000009", "4K Ultra HD Home Cinema Projector",
      "4K-Beamer \u201EHeimkino\u201C mit Gro\u00DFbild-Modus",
      "Vid\u00E9oprojecteur 4K \u00AB\u00A0Cin\u00E9ma\u00A0\u00BB",
      "4K \u30D7\u30ED\u30B8\u30A7\u30AF\u30BF\u30FC \u30DB\u30FC\u30E0\u30B7\u30A2\u30BF\u30FC",
      149999, 129999, 125000, 99900, 3, Style::Direct, 0 },
    // In stock, slow to ship, images only in the image sets.
    { "B0PW000010", "Garden Hose Reel, Green",
      "Schlauchtrommel f\u00FCr den Garten, gr\u00FCn",
      "D\u00E9vidoir de tuyau d'arrosage, vert",
      "\u30AC\u30FC\u30C7\u30F3\u30DB\u30FC\u30B9\u30EA\u30FC\u30EB \u30B0\u30EA\u30FC\u30F3",
      0, 3299, 3199, 0, 8, Style::SetsOnly, 1 },
} };
// clang-format on

} // namespace

SimulatedCatalogue BuiltInCatalogue::create()
{
    SimulatedCatalogue catalogue;
    for (const QString& locale : SimulatedCatalogue::storeLocales()) {
        for (const Product& product : products)
            catalogue.insert(locale, itemFor(product, locale));
    }
    return catalogue;
}

SimulatedItem BuiltInCatalogue::itemFor(const Product& product, const QString& locale)
{
    SimulatedItem item;
    item.asin = QString::fromLatin1(product.asin);
    item.title = titleFor(product, locale);
    item.listPrice = localAmount(product.listPrice, locale);
    item.price = localAmount(product.price, locale);
    item.lowestNewPrice = localAmount(product.lowestNewPrice, locale);
    item.lowestUsedPrice = localAmount(product.lowestUsedPrice, locale);
    item.stock = product.stock;
    item.availability = availabilityFor(product.availability, locale);
    if (item.price > 0)
        item.offerListingId = SimulatedCatalogue::defaultOfferListingId(locale, item.asin);
    item.images = product.images;
    return item;
}

// The US price converted roughly into the store's currency, rounded the way
// shops round: to whole units ending in 99 cents, or to ten yen.
qint64 BuiltInCatalogue::localAmount(qint64 usCents, const QString& locale)
{
    if (usCents <= 0)
        return 0;
    if (locale == QLatin1String("jp"))
        return qRound64(usCents * 1.1 / 10.0) * 10;
    double factor = 1.0;
    if (locale == QLatin1String("ca"))
        factor = 1.3;
    else if (locale == QLatin1String("uk"))
        factor = 0.8;
    else if (locale == QLatin1String("de"))
        factor = 0.9;
    else if (locale == QLatin1String("fr"))
        factor = 0.92;
    if (locale == QLatin1String("us"))
        return usCents;
    return qMax<qint64>(99, qRound64(usCents * factor / 100.0) * 100 - 1);
}

QString BuiltInCatalogue::titleFor(const Product& product, const QString& locale)
{
    if (locale == QLatin1String("de"))
        return QString::fromUtf8(product.german);
    if (locale == QLatin1String("fr"))
        return QString::fromUtf8(product.french);
    if (locale == QLatin1String("jp"))
        return QString::fromUtf8(product.japanese);
    return QString::fromUtf8(product.english);
}

QString BuiltInCatalogue::availabilityFor(int productIndex, const QString& locale)
{
    const bool slow = productIndex == 1;
    if (locale == QLatin1String("de"))
        return slow ? QStringLiteral("Gew\u00F6hnlich versandfertig in 1 bis 3 Wochen")
                    : QStringLiteral("Gew\u00F6hnlich versandfertig in 24 Stunden");
    if (locale == QLatin1String("fr"))
        return slow ? QStringLiteral("Habituellement exp\u00E9di\u00E9 sous 1 \u00E0 3 semaines")
                    : QStringLiteral("Habituellement exp\u00E9di\u00E9 sous 24 heures");
    if (locale == QLatin1String("jp"))
        return slow
            ? QStringLiteral("\u901A\u5E381\uFF5E3\u9031\u9593\u4EE5\u5185\u306B\u767A\u9001")
            : QStringLiteral("\u901A\u5E3824\u6642\u9593\u4EE5\u5185\u306B\u767A\u9001");
    return slow ? QStringLiteral("Usually ships in 1 to 3 weeks")
                : QStringLiteral("Usually ships in 24 hours");
}
