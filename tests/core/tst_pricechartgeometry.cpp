#include "DayClock.h"
#include "Global.h"
#include "ItemRecordKeys.h"
#include "PriceChartGeometry.h"

#include <QTest>
#include <QTimeZone>
#include <cmath>
#include <limits>

using namespace PriceChartGeometry;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();
const qint64 Day = 86400;

// A history map whose extreme points carry the given prices; a series
// without offers keeps its extremes at a point with 0, as the store does.
QVariantMap Extremes(QPair<double, double> amazon, QPair<double, double> used = { 0, 0 })
{
    const auto point = [](const QString& key, double price) {
        return QVariantMap { { key, price } };
    };
    return { { HistoryKey::PriceLowest, point(HistoryKey::Price, amazon.first) },
        { HistoryKey::PriceHighest, point(HistoryKey::Price, amazon.second) },
        { HistoryKey::NewLowest, point(HistoryKey::PriceNew, 0) },
        { HistoryKey::NewHighest, point(HistoryKey::PriceNew, 0) },
        { HistoryKey::UsedLowest, point(HistoryKey::PriceUsed, used.first) },
        { HistoryKey::UsedHighest, point(HistoryKey::PriceUsed, used.second) } };
}

} // namespace

class TestPriceChartGeometry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::InitializeSettings(); }

    void roundToGrid_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        const double rows[][2] = { { 3.7, 5 }, { 0.037, 0.05 }, { 370, 500 }, { 12, 20 }, { 1, 1 },
            { 10, 10 }, { 0.01, 0.01 }, { 2.0001, 5 }, { 3e300, 5e300 },
            // Refused: not positive, not finite, or beyond the largest double.
            { 0, 0 }, { -4, 0 }, { NaN, 0 }, { Inf, 0 }, { 1.5e308, 0 } };
        for (const auto& row : rows)
            QTest::addRow("%g", row[0]) << row[0] << row[1];
    }

    void roundToGrid()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(RoundToGrid(value), expected);
    }

    // The value range from the extremes, then the grid for a plot height.
    void rangeAndGrid_data()
    {
        QTest::addColumn<QVariantMap>("history");
        QTest::addColumn<int>("plotHeight");
        QTest::addColumn<QList<double>>("range"); // lowest, highest
        QTest::addColumn<QList<double>>("grid"); // step, base, count, step pixels
        QTest::newRow("three days 20/18/18")
            << Extremes({ 18, 20 }) << 344 << QList<double> { 17.6, 20.4 }
            << QList<double> { 1, 17, 4, 86 };
        QTest::newRow("equal extremes 50") << Extremes({ 50, 50 }) << 344 << QList<double> { 0, 75 }
                                           << QList<double> { 10, 0, 8, 43 };
        QTest::newRow("only used offers")
            << Extremes({ 0, 0 }, { 10, 30 }) << 344 << QList<double> { 6, 34 }
            << QList<double> { 5, 5, 6, 57 };
        QTest::newRow("no positive price") << Extremes({ 0, 0 }) << 344 << QList<double> { 0, 1 }
                                           << QList<double> { 1, 0, 2, 172 };
        QTest::newRow("range below zero")
            << Extremes({ 1, 100 }) << 344 << QList<double> { -18.8, 119.8 }
            << QList<double> { 20, 0, 6, 57 };
        QTest::newRow("not finite highest ignored")
            << Extremes({ 10, NaN }, { 12, Inf }) << 344 << QList<double> { 9.6, 12.4 }
            << QList<double> { 1, 9, 4, 86 };
        QTest::newRow("plot lower than a band")
            << Extremes({ 18, 20 }) << 34 << QList<double> { 17.6, 20.4 }
            << QList<double> { 0, 0, 0, 0 };
        QTest::newRow("plot without height")
            << Extremes({ 18, 20 }) << -6 << QList<double> { 17.6, 20.4 }
            << QList<double> { 0, 0, 0, 0 };
        QTest::newRow("widened past the largest double")
            << Extremes({ 1, 1.5e308 }) << 344 << QList<double> { 1 - 3e307, Inf }
            << QList<double> { 0, 0, 0, 0 };
    }

    void rangeAndGrid()
    {
        QFETCH(QVariantMap, history);
        QFETCH(int, plotHeight);
        QFETCH(QList<double>, range);
        QFETCH(QList<double>, grid);
        const ValueRange values = RangeOf(history);
        QCOMPARE(values.lowest, range.at(0));
        QCOMPARE(values.highest, range.at(1));
        const ValueGrid lines = GridFor(values, plotHeight);
        QCOMPARE(QList<double>(
                     { lines.step, lines.base, double(lines.count), double(lines.stepPixels) }),
            grid);
        QCOMPARE(lines.IsUsable(), grid.at(2) > 0);
    }

    // Wild ranges never reach a loop of millions of lines.
    void gridGuards_data()
    {
        QTest::addColumn<double>("lowest");
        QTest::addColumn<double>("highest");
        QTest::addColumn<bool>("usable");
        QTest::newRow("huge") << 8e299 << 2.2e300 << true;
        QTest::newRow("tiny against huge") << 0.01 << 1e300 << true;
        QTest::newRow("not a number") << NaN << 5.0 << false;
        QTest::newRow("infinite") << 0.0 << Inf << false;
        QTest::newRow("no span") << 1e20 << 1e20 << false;
        QTest::newRow("span overflows") << -1.5e308 << 1.5e308 << false;
    }

    void gridGuards()
    {
        QFETCH(double, lowest);
        QFETCH(double, highest);
        QFETCH(bool, usable);
        const ValueGrid grid = GridFor({ lowest, highest }, 400);
        QCOMPARE(grid.IsUsable(), usable);
        QVERIFY(grid.count <= 400 / PixelsPerBand + 3);
        if (usable)
            QVERIFY(
                grid.base <= lowest + grid.step && grid.base + grid.count * grid.step >= highest);
    }

    void columns_data()
    {
        QTest::addColumn<QList<int>>("layout"); // left, right, day count
        QTest::addColumn<QList<int>>("expected"); // first x, width, days, x of last day
        QTest::addColumn<int>("mouseX");
        QTest::addColumn<int>("day");
        QTest::newRow("three days")
            << QList<int> { 50, 949, 3 } << QList<int> { 72, 90, 1, 252 } << 50 + 90 * 2 - 40 << 2;
        QTest::newRow("ten years")
            << QList<int> { 50, 949, 3650 } << QList<int> { 50, 90, 405, 860 } << 50 + 90 << 405;
        QTest::newRow("narrow plot")
            << QList<int> { 10, 89, 20 } << QList<int> { 10, 3, 1, 67 } << 14 << 1;
        QTest::newRow("too narrow for its days")
            << QList<int> { 10, 89, 100 } << QList<int> { 0, 0, 0, 0 } << 14 << -1;
        QTest::newRow("no width") << QList<int> { 100, 50, 3 } << QList<int> { 0, 0, 0, 0 } << 60
                                  << -1;
        QTest::newRow("no days") << QList<int> { 50, 949, 0 } << QList<int> { 0, 0, 0, 0 } << 60
                                 << -1;
    }

    void columns()
    {
        QFETCH(QList<int>, layout);
        QFETCH(QList<int>, expected);
        QFETCH(int, mouseX);
        QFETCH(int, day);
        const Columns columns = LayoutColumns(layout.at(0), layout.at(1), layout.at(2));
        QCOMPARE(QList<int>({ columns.firstDayX, columns.columnWidth, columns.daysPerColumn,
                     columns.IsUsable() ? XOfDay(columns, layout.at(2) - 1) : 0 }),
            expected);
        QCOMPARE(DayAt(columns, layout.at(0), mouseX), day);
    }

    // Points on days 0 (20), 2 (18) and 5 (17); -1: no point.
    void priceByDate_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("day");
        QTest::addColumn<double>("price");
        const int rows[][3] = { { 3, 0, 20 }, { 3, 1, 20 }, { 3, 2, 18 }, { 3, 4, 18 },
            { 3, 5, 17 }, { 3, 6, -1 }, { 3, -3, 20 }, { 1, -3, -1 }, { 1, 0, 20 }, { 0, 0, -1 } };
        for (const auto& row : rows)
            QTest::addRow("%d points, day %d", row[0], row[1])
                << row[0] << row[1] << double(row[2]);
    }

    void priceByDate()
    {
        QFETCH(int, points);
        QFETCH(int, day);
        QFETCH(double, price);
        DayClock clock;
        clock.SetTimeZone(QTimeZone("UTC"));
        const qint64 start
            = QDateTime(QDate(2024, 3, 1), QTime(23, 30), QTimeZone("UTC")).toSecsSinceEpoch();
        const QVariantList history = QVariantList {
            QVariantMap { { "Timestamp", start }, { "Price", 20 } },
            QVariantMap { { "Timestamp", start + 2 * Day - 3600 }, { "Price", 18 } },
            QVariantMap { { "Timestamp", start + 5 * Day }, { "Price", 17 } }
        }.mid(0, points);
        const QVariantMap point = PriceByDate(history, QDate(2024, 3, 1).addDays(day), clock);
        QCOMPARE(point.value("Price", -1).toDouble(), price);
    }

    void priceText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("expected");
        QTest::newRow("us") << "us" << 18.0 << "$18.00";
        QTest::newRow("de") << "de" << 3.456 << "EUR 3.46";
        QTest::newRow("jp without decimals") << "jp" << 1800.4 << "\uFFE51800";
        QTest::newRow("no offer") << "us" << 0.0 << "";
        QTest::newRow("not a number") << "us" << NaN << "";
    }

    void priceText()
    {
        QFETCH(QString, locale);
        QFETCH(double, price);
        QFETCH(QString, expected);
        QCOMPARE(PriceText(locale, price), expected);
    }

    void strokeOutline_data()
    {
        QTest::addColumn<QList<QPointF>>("line");
        QTest::addColumn<QList<QPointF>>("outline");
        // Outside the turn a bevel, inside through the corner, square caps.
        QTest::newRow("step down")
            << QList<QPointF> { { 0, 0 }, { 10, 0 }, { 10, 10 } }
            << QList<QPointF> { { -1, -1 }, { 10, -1 }, { 11, 0 }, { 11, 11 }, { 9, 11 }, { 9, 0 },
                   { 10, 0 }, { 10, 1 }, { -1, 1 } };
        QTest::newRow("reversal ends flat")
            << QList<QPointF> { { 0, 0 }, { 10, 0 }, { 5, 0 } }
            << QList<QPointF> { { -1, -1 }, { 10, -1 }, { 10, 1 }, { 4, 1 }, { 4, -1 }, { 10, -1 },
                   { 10, 1 }, { -1, 1 } };
        QTest::newRow("one repeated point")
            << QList<QPointF> { { 3, 3 }, { 3, 3 } } << QList<QPointF> {};
    }

    void strokeOutline()
    {
        QFETCH(QList<QPointF>, line);
        QFETCH(QList<QPointF>, outline);
        QList<QPointF> result;
        AppendStrokeOutline(line.constData(), int(line.size()), 1.0, &result);
        QCOMPARE(result, outline);
    }
};

QTEST_APPLESS_MAIN(TestPriceChartGeometry)
#include "tst_pricechartgeometry.moc"
