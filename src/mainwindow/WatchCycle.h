#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantList>

// The rules of starting watching and of one poll, kept free of widgets.
namespace WatchCycle {

enum class StartCheck
{
    // A watched item asks for an e-mail and there is no address to send it to.
    MissingEmail,
    // Nothing is watched; watching may start all the same.
    NothingWatched,
    Ready
};

// Whether watching may start with these list records and e-mail address.
StartCheck CheckStart(const QVariantList& items, const QString& email);

// The ASINs and locales (parallel lists, in row order) of the watched items:
// one poll asks for these prices.
void WatchedItems(const QVariantList& items, QStringList* asins, QStringList* locales);

// The shortest and the longest period between two polls, in seconds.
inline constexpr qint64 MinimumIntervalSeconds = 60;
inline constexpr qint64 MaximumIntervalSeconds = 1000 * 3600;

// The watch timer's period for the stored interval in seconds. Values below
// the minimum (0, negative, not a number) would poll the store without
// pause, so they give the minimum; a damaged value beyond 1000 hours gives
// 1000 hours.
qint64 IntervalMilliseconds(
    const QVariant& seconds, qint64 minimumSeconds = MinimumIntervalSeconds);

// End-to-end and soak runs compress hours of watching into minutes: this
// environment variable, in whole seconds, lowers the minimum for one
// process. The preferences never offer less than a minute.
inline constexpr char MinimumIntervalVariable[] = "PRICEWARDEN_MINIMUM_INTERVAL_SECONDS";

// The minimum that the variable's value allows: a whole number of seconds
// from 1 up to the regular minimum; anything else keeps the regular one.
qint64 MinimumSeconds(const QByteArray& variableValue);

} // namespace WatchCycle
