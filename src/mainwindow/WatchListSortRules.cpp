#include "WatchListSortRules.h"

#include "Global.h"
#include "ItemRecordKeys.h"

#include <cmath>

namespace WatchListSort {

namespace {

QString CurrencyOf(const QVariantMap& record)
{
    return Global::CurrencyString.value(record.value(ItemKey::Locale).toString());
}

// Amounts come from the database file too, also as texts; "nan" reads as a
// NaN there, which compares with nothing and would leave the view's sort
// without a consistent order. What is no finite number is no price.
double AmountOf(const QVariantMap& record, const QString& amountKey)
{
    const double amount = record.value(amountKey).toDouble();
    return std::isfinite(amount) ? amount : 0.0;
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
    return AmountOf(a, amountKey) < AmountOf(b, amountKey);
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
