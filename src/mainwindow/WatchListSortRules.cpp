#include "WatchListSortRules.h"

#include "Global.h"
#include "ItemRecordKeys.h"

namespace WatchListSort {

namespace {

QString CurrencyOf(const QVariantMap& record)
{
    return Global::CurrencyString.value(record.value(ItemKey::Locale).toString());
}

} // namespace

QString AmountKeyOfColumn(const QString& header)
{
    if (header == QLatin1String("Price"))
        return QStringLiteral("Price");
    if (header == QLatin1String("New"))
        return QStringLiteral("LowestNewPrice");
    if (header == QLatin1String("Used"))
        return QStringLiteral("LowestUsedPrice");
    return {};
}

bool AmountLessThan(const QVariantMap& a, const QVariantMap& b, const QString& amountKey)
{
    const QString currencyA = CurrencyOf(a);
    const QString currencyB = CurrencyOf(b);
    if (currencyA != currencyB)
        return currencyA < currencyB;
    // The amounts, not the formatted texts: stores write thousands and
    // decimal separators differently ("EUR 1.299,00"), so the text does not
    // tell the value.
    return a.value(amountKey).toDouble() < b.value(amountKey).toDouble();
}

QString TextKey(const QString& text)
{
    return Global::ToSortableString(text).toLower();
}

bool TextLessThan(const QString& a, const QString& b)
{
    return TextKey(a) < TextKey(b);
}

} // namespace WatchListSort
