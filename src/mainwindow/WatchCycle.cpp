#include "WatchCycle.h"

#include "ItemRecordKeys.h"

#include <algorithm>

namespace WatchCycle {

namespace {

bool IsWatched(const QVariantMap& record)
{
    return record.value(ItemKey::WatchCondition).toInt() != WatchCondition::NotWatched;
}

} // namespace

StartCheck CheckStart(const QVariantList& items, const QString& email)
{
    bool bAnyWatched = false;
    for (const QVariant& item : items) {
        const QVariantMap record = item.toMap();
        if (!IsWatched(record))
            continue;
        if (record.value(ItemKey::ActionEmail).toBool() && email.isEmpty())
            return StartCheck::MissingEmail;
        bAnyWatched = true;
    }
    return bAnyWatched ? StartCheck::Ready : StartCheck::NothingWatched;
}

void WatchedItems(const QVariantList& items, QStringList* asins, QStringList* locales)
{
    for (const QVariant& item : items) {
        const QVariantMap record = item.toMap();
        if (!IsWatched(record))
            continue;
        *asins << record.value(ItemKey::Asin).toString();
        *locales << record.value(ItemKey::Locale).toString();
    }
}

qint64 IntervalMilliseconds(const QVariant& seconds, qint64 minimumSeconds)
{
    return std::clamp(seconds.toLongLong(), minimumSeconds, MaximumIntervalSeconds) * 1000;
}

qint64 MinimumSeconds(const QByteArray& variableValue)
{
    bool ok = false;
    const qint64 seconds = variableValue.trimmed().toLongLong(&ok);
    return ok && seconds >= 1 && seconds < MinimumIntervalSeconds ? seconds
                                                                  : MinimumIntervalSeconds;
}

} // namespace WatchCycle
