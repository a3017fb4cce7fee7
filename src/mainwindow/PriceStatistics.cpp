#include "PriceStatistics.h"

#include "DayClock.h"
#include "Global.h"
#include "ItemRecordKeys.h"
#include "PriceAverages.h"

#include <QCoreApplication>
#include <QStringList>

namespace PriceStatistics {

namespace {

struct SeriesKeys
{
    PriceAverages::Series series;
    const QString& strHighest;
    const QString& strLowest;
    const QString& strPrice;
};

QString NumberText(double dPrice, const QString& strLocale)
{
    return QString::number(dPrice, 'f', strLocale == QLatin1String("jp") ? 0 : 2);
}

// "<b>16.33</b> · – · <b>18.91</b>": a dash for a window without an offer,
// nothing at all when no window had one.
QString AveragesText(const PriceAverages& averages, PriceAverages::Series series,
    const QString& strLocale, QString* pToolTip)
{
    QStringList parts;
    QStringList lines { QCoreApplication::translate(
        "PriceStatistics", "Average price of the days with an offer:") };
    bool bAny = false;
    for (int w = 0; w < int(PriceAverages::WindowDays.size()); ++w) {
        const QString window = QString::number(PriceAverages::WindowDays[size_t(w)]);
        const PriceAverages::Mean mean = averages.Get(series, w);
        if (mean.nDays <= 0) {
            parts << QStringLiteral("\u2013");
            lines << QCoreApplication::translate("PriceStatistics", "last %1 days: no offer")
                         .arg(window);
            continue;
        }
        bAny = true;
        const QString price = PriceText(mean.dValue, strLocale);
        // The currency stands beside the highest and lowest already; the
        // legend stays narrow enough for the chart.
        parts << QStringLiteral("<b>%1</b>").arg(NumberText(mean.dValue, strLocale));
        // Without a translation Qt would leave "%n day(s)" as it stands.
        lines << (mean.nDays == 1
                ? QCoreApplication::translate("PriceStatistics", "last %1 days: %2 (1 day counted)")
                      .arg(window, price)
                : QCoreApplication::translate(
                    "PriceStatistics", "last %1 days: %2 (%3 days counted)")
                      .arg(window, price, QString::number(mean.nDays)));
    }
    *pToolTip = lines.join(QLatin1Char('\n'));
    return bAny ? parts.join(QStringLiteral(" \u00B7 ")) : QString();
}

} // namespace

QString PriceText(double dPrice, const QString& strLocale)
{
    return Global::CurrencyString.value(strLocale) + NumberText(dPrice, strLocale);
}

QString ExtremeText(const QVariantMap& point, const QString& strPriceKey, const QString& strLocale,
    const DayClock& clock)
{
    const QString date
        = clock.DateOf(point.value(HistoryKey::Timestamp).toLongLong()).toString(Qt::ISODate);
    return QStringLiteral("<b>%1</b> (%2)")
        .arg(PriceText(point.value(strPriceKey).toDouble(), strLocale).toHtmlEscaped(), date);
}

std::array<SeriesTexts, 3> Texts(const QVariantMap& history, const DayClock& clock)
{
    static const std::array<SeriesKeys, 3> keys { {
        { PriceAverages::Amazon, HistoryKey::PriceHighest, HistoryKey::PriceLowest,
            HistoryKey::Price },
        { PriceAverages::New, HistoryKey::NewHighest, HistoryKey::NewLowest, HistoryKey::PriceNew },
        { PriceAverages::Used, HistoryKey::UsedHighest, HistoryKey::UsedLowest,
            HistoryKey::PriceUsed },
    } };
    const QString locale = history.value(HistoryKey::Locale).toString();
    const PriceAverages averages(history.value(HistoryKey::PriceHistory).toList(), clock);
    std::array<SeriesTexts, 3> texts;
    for (size_t i = 0; i < keys.size(); ++i) {
        const QVariantMap highest = history.value(keys[i].strHighest).toMap();
        if (!(highest.value(keys[i].strPrice).toDouble() > 0))
            continue;
        texts[i].strHighest = ExtremeText(highest, keys[i].strPrice, locale, clock);
        texts[i].strLowest = ExtremeText(
            history.value(keys[i].strLowest).toMap(), keys[i].strPrice, locale, clock);
        texts[i].strAverages
            = AveragesText(averages, keys[i].series, locale, &texts[i].strAveragesToolTip);
    }
    return texts;
}

} // namespace PriceStatistics
