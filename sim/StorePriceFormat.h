#pragma once

#include <QString>

// How each store writes its prices: the currency code of the reply and the
// formatted text ("$1,299.99", "CDN$ 24.99", "£12.99", "EUR 1.299,00",
// "￥ 1,980"). Amounts are in the smallest unit; yen have no smaller unit.
class StorePriceFormat
{
public:
    static QString currencyCode(const QString& locale);
    static QString format(const QString& locale, qint64 amount);
    // Whether the store's amounts carry two decimal places.
    static bool hasCents(const QString& locale);

private:
    static QString groupedDigits(qint64 whole, QChar separator);
};
