#include "WatchListRecord.h"

#include "ItemRecordKeys.h"

#include <QVariant>
#include <array>

namespace WatchListRecord {

QString AsinOf(const QVariantMap& record)
{
    return record.value(ItemKey::Asin).toString();
}

QString LocaleOf(const QVariantMap& record)
{
    return record.value(ItemKey::Locale).toString();
}

bool HasIdentity(const QVariantMap& record)
{
    return !AsinOf(record).isEmpty() && !LocaleOf(record).isEmpty();
}

bool IsReadFromDatabase(const QVariantMap& record)
{
    return record.contains(ItemKey::Id);
}

QVariantMap WithNewRowDefaults(const QVariantMap& map)
{
    static const std::array<std::pair<QString, QVariant>, 8> defaults = { {
        { ItemKey::WatchCondition, QVariant(int(WatchCondition::NotWatched)) },
        { ItemKey::ThirdParty, QVariant(false) },
        { ItemKey::ThirdPartyUsed, QVariant(false) },
        { ItemKey::ActionAlert, QVariant(true) },
        { ItemKey::ActionWebPage, QVariant(true) },
        { ItemKey::ActionEmail, QVariant(false) },
        { ItemKey::ActionCreateCart, QVariant(false) },
        { ItemKey::Quantity, QVariant(1) },
    } };
    QVariantMap completed = map;
    for (const auto& [key, value] : defaults) {
        if (!completed.contains(key))
            completed.insert(key, value);
    }
    return completed;
}

bool StoredPartDiffers(const QVariantMap& before, const QVariantMap& after)
{
    // Compared through the conversions the database applies, so an int 1
    // read back from the file equals a bool true set by the editor.
    const auto differs = [&](const QString& key, auto convert) {
        return convert(before.value(key)) != convert(after.value(key));
    };
    const auto asInt = [](const QVariant& v) { return v.toInt(); };
    const auto asBool = [](const QVariant& v) { return v.toBool(); };
    const auto asDouble = [](const QVariant& v) { return v.toDouble(); };
    const auto asString = [](const QVariant& v) { return v.toString(); };
    return differs(ItemKey::WatchCondition, asInt) || differs(ItemKey::PriceLine, asDouble)
        || differs(ItemKey::ThirdParty, asBool) || differs(ItemKey::ThirdPartyUsed, asBool)
        || differs(ItemKey::ActionEmail, asBool) || differs(ItemKey::ActionWebPage, asBool)
        || differs(ItemKey::ActionCreateCart, asBool) || differs(ItemKey::Quantity, asInt)
        || differs(ItemKey::Title, asString);
}

} // namespace WatchListRecord
