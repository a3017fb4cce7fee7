#include "CatalogueJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <array>
#include <utility>

namespace {

const QStringList& knownFields()
{
    static const QStringList fields = { QStringLiteral("asin"), QStringLiteral("title"),
        QStringLiteral("listPrice"), QStringLiteral("price"), QStringLiteral("lowestNewPrice"),
        QStringLiteral("lowestUsedPrice"), QStringLiteral("stock"), QStringLiteral("availability"),
        QStringLiteral("offerListingId"), QStringLiteral("superSaverShipping"),
        QStringLiteral("images") };
    return fields;
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// JSON numbers are doubles: whole numbers up to 2^53 convert exactly.
bool isWholeNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    return number == double(qint64(number)) && qAbs(number) < 9007199254740992.0;
}

} // namespace

QByteArray CatalogueJson::write(const SimulatedCatalogue& catalogue)
{
    QJsonObject stores;
    for (const QString& locale : SimulatedCatalogue::storeLocales()) {
        QJsonArray items;
        for (const SimulatedItem& item : catalogue.items(locale))
            items.append(itemToJson(item));
        stores.insert(locale, items);
    }
    QJsonObject root;
    root.insert(QStringLiteral("stores"), stores);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool CatalogueJson::read(const QByteArray& json, SimulatedCatalogue* catalogue, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull())
        return fail(error, QStringLiteral("not valid JSON: %1").arg(parseError.errorString()));
    const QJsonValue storesValue = document.object().value(QStringLiteral("stores"));
    if (!storesValue.isObject())
        return fail(error, QStringLiteral("the top level needs an object \"stores\""));

    SimulatedCatalogue result;
    const QJsonObject stores = storesValue.toObject();
    for (auto store = stores.begin(); store != stores.end(); ++store) {
        const QString locale = store.key();
        if (!SimulatedCatalogue::isStoreLocale(locale))
            return fail(error, QStringLiteral("unknown store \"%1\"").arg(locale));
        if (!store.value().isArray())
            return fail(error, QStringLiteral("store \"%1\" needs an array of items").arg(locale));
        const QJsonArray items = store.value().toArray();
        QSet<QString> seen;
        for (qsizetype index = 0; index < items.size(); ++index) {
            SimulatedItem item;
            QString itemError;
            if (!readItem(items.at(index).toObject(), locale, &item, &itemError))
                return fail(error,
                    QStringLiteral("store \"%1\", item %2: %3")
                        .arg(locale)
                        .arg(index)
                        .arg(itemError));
            if (seen.contains(item.asin))
                return fail(error,
                    QStringLiteral("store \"%1\": ASIN %2 listed twice").arg(locale, item.asin));
            seen.insert(item.asin);
            result.insert(locale, item);
        }
    }
    *catalogue = result;
    return true;
}

QJsonObject CatalogueJson::itemToJson(const SimulatedItem& item)
{
    QJsonObject object;
    object.insert(QStringLiteral("asin"), item.asin);
    object.insert(QStringLiteral("title"), item.title);
    object.insert(QStringLiteral("listPrice"), double(item.listPrice));
    object.insert(QStringLiteral("price"), double(item.price));
    object.insert(QStringLiteral("lowestNewPrice"), double(item.lowestNewPrice));
    object.insert(QStringLiteral("lowestUsedPrice"), double(item.lowestUsedPrice));
    object.insert(QStringLiteral("stock"), item.stock);
    object.insert(QStringLiteral("availability"), item.availability);
    object.insert(QStringLiteral("offerListingId"), item.offerListingId);
    object.insert(QStringLiteral("superSaverShipping"), item.superSaverShipping);
    object.insert(QStringLiteral("images"), imageStyleName(item.images));
    return object;
}

bool CatalogueJson::applyFields(const QJsonObject& fields, SimulatedItem* item, QString* error)
{
    for (auto field = fields.begin(); field != fields.end(); ++field) {
        if (!knownFields().contains(field.key()))
            return fail(error, QStringLiteral("unknown field \"%1\"").arg(field.key()));
    }
    SimulatedItem result = *item;
    const std::array<std::pair<const char*, QString*>, 4> texts = { {
        { "asin", &result.asin },
        { "title", &result.title },
        { "availability", &result.availability },
        { "offerListingId", &result.offerListingId },
    } };
    for (const auto& [key, target] : texts) {
        const QJsonValue value = fields.value(QLatin1String(key));
        if (value.isUndefined())
            continue;
        if (!value.isString())
            return fail(error, QStringLiteral("\"%1\" must be a string").arg(QLatin1String(key)));
        *target = value.toString();
    }
    if (!readAmount(fields, QStringLiteral("listPrice"), &result.listPrice, error)
        || !readAmount(fields, QStringLiteral("price"), &result.price, error)
        || !readAmount(fields, QStringLiteral("lowestNewPrice"), &result.lowestNewPrice, error)
        || !readAmount(fields, QStringLiteral("lowestUsedPrice"), &result.lowestUsedPrice, error))
        return false;

    const QJsonValue stock = fields.value(QStringLiteral("stock"));
    if (!stock.isUndefined()) {
        if (!isWholeNumber(stock) || stock.toDouble() < 0 || stock.toDouble() > 1000000)
            return fail(
                error, QStringLiteral("\"stock\" must be a whole number from 0 to 1000000"));
        result.stock = stock.toInt();
    }
    const QJsonValue shipping = fields.value(QStringLiteral("superSaverShipping"));
    if (!shipping.isUndefined()) {
        if (!shipping.isBool())
            return fail(error, QStringLiteral("\"superSaverShipping\" must be true or false"));
        result.superSaverShipping = shipping.toBool();
    }
    const QJsonValue images = fields.value(QStringLiteral("images"));
    if (!images.isUndefined() && !imageStyleFromName(images.toString(), &result.images))
        return fail(
            error, QStringLiteral("\"images\" must be \"direct\", \"sets-only\" or \"none\""));
    *item = result;
    return true;
}

bool CatalogueJson::readItem(
    const QJsonObject& object, const QString& locale, SimulatedItem* item, QString* error)
{
    SimulatedItem result;
    result.availability = QStringLiteral("Usually ships in 24 hours");
    if (!applyFields(object, &result, error))
        return false;
    if (!SimulatedCatalogue::isValidAsin(result.asin))
        return fail(error,
            QStringLiteral("\"asin\" must be ten upper-case letters or digits, not \"%1\"")
                .arg(result.asin));
    if (result.price > 0 && result.offerListingId.isEmpty())
        result.offerListingId = SimulatedCatalogue::defaultOfferListingId(locale, result.asin);
    *item = result;
    return true;
}

QString CatalogueJson::imageStyleName(SimulatedItem::ImageStyle style)
{
    switch (style) {
    case SimulatedItem::ImageStyle::None:
        return QStringLiteral("none");
    case SimulatedItem::ImageStyle::SetsOnly:
        return QStringLiteral("sets-only");
    case SimulatedItem::ImageStyle::Direct:
        break;
    }
    return QStringLiteral("direct");
}

bool CatalogueJson::imageStyleFromName(const QString& name, SimulatedItem::ImageStyle* style)
{
    if (name == QLatin1String("direct"))
        *style = SimulatedItem::ImageStyle::Direct;
    else if (name == QLatin1String("sets-only"))
        *style = SimulatedItem::ImageStyle::SetsOnly;
    else if (name == QLatin1String("none"))
        *style = SimulatedItem::ImageStyle::None;
    else
        return false;
    return true;
}

bool CatalogueJson::readAmount(
    const QJsonObject& fields, const QString& key, qint64* amount, QString* error)
{
    const QJsonValue value = fields.value(key);
    if (value.isUndefined())
        return true;
    if (!isWholeNumber(value) || value.toDouble() < 0)
        return fail(error,
            QStringLiteral("\"%1\" must be a whole amount in the smallest unit, 0 or more")
                .arg(key));
    *amount = qint64(value.toDouble());
    return true;
}
