#include "WatchListRecord.h"

#include <QVariant>
#include <array>

namespace WatchListRecord {

QString AsinOf(const QVariantMap& record)
{
    return record.value(QStringLiteral("ASIN")).toString();
}

QString LocaleOf(const QVariantMap& record)
{
    return record.value(QStringLiteral("Locale")).toString();
}

bool HasIdentity(const QVariantMap& record)
{
    return !AsinOf(record).isEmpty() && !LocaleOf(record).isEmpty();
}

bool IsReadFromDatabase(const QVariantMap& record)
{
    return record.contains(QStringLiteral("id"));
}

QVariantMap WithNewRowDefaults(const QVariantMap& map)
{
    static const std::array<std::pair<const char*, QVariant>, 8> defaults = { {
        { "WatchCondition", QVariant(0) },
        { "ThirdParty", QVariant(false) },
        { "ThirdPartyUsed", QVariant(false) },
        { "ActionAlert", QVariant(true) },
        { "ActionWebPage", QVariant(true) },
        { "ActionEmail", QVariant(false) },
        { "ActionCreateCart", QVariant(false) },
        { "Quantity", QVariant(1) },
    } };
    QVariantMap completed = map;
    for (const auto& [key, value] : defaults) {
        const QString name = QLatin1String(key);
        if (!completed.contains(name))
            completed.insert(name, value);
    }
    return completed;
}

bool StoredPartDiffers(const QVariantMap& before, const QVariantMap& after)
{
    // Compared through the conversions the database applies, so an int 1
    // read back from the file equals a bool true set by the editor.
    const auto differs = [&](const char* key, auto convert) {
        const QString name = QLatin1String(key);
        return convert(before.value(name)) != convert(after.value(name));
    };
    const auto asInt = [](const QVariant& v) { return v.toInt(); };
    const auto asBool = [](const QVariant& v) { return v.toBool(); };
    const auto asDouble = [](const QVariant& v) { return v.toDouble(); };
    const auto asString = [](const QVariant& v) { return v.toString(); };
    return differs("WatchCondition", asInt) || differs("PriceLine", asDouble)
        || differs("ThirdParty", asBool) || differs("ThirdPartyUsed", asBool)
        || differs("ActionEmail", asBool) || differs("ActionWebPage", asBool)
        || differs("ActionCreateCart", asBool) || differs("Quantity", asInt)
        || differs("Title", asString);
}

} // namespace WatchListRecord
