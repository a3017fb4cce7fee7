#include "ItemRecordKeys.h"
#include "PriceChartGeometry.h"

#include <QTest>
#include <limits>

using namespace PriceChartGeometry;
using Numbers = QList<double>;
using Ints = QList<int>;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

// Extreme points as the store returns them; new offers have none, so their
// extremes hold a point with 0.
QVariantMap Extremes(double amazonLow, double amazonHigh, double usedLow, double usedHigh)
{
    const auto at = [](const QString& key, double price) { return QVariantMap { { key, price } }; };
    return { { HistoryKey::PriceLowest, at(HistoryKey::Price, amazonLow) },
        { HistoryKey::PriceHighest, at(HistoryKey::Price, amazonHigh) },
        { HistoryKey::NewLowest, at(HistoryKey::PriceNew, 0) },
        { HistoryKey::NewHighest, at(HistoryKey::PriceNew, 0) },
        { HistoryKey::UsedLowest, at(HistoryKey::PriceUsed, usedLow) },
        { HistoryKey::UsedHighest, at(HistoryKey::PriceUsed, usedHigh) } };
}

} // namespace

class TestPriceChartGeometry : public QObject
{
    Q_OBJECT

private slots:

    void roundToGrid_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        // The last five are refused: not positive, not finite, or too large.
        const double rows[][2] = { { 3.7, 5 }, { 0.037, 0.05 }, { 370, 500 }, { 12, 20 }, { 1, 1 },
            { 10, 10 }, { 0.01, 0.01 }, { 2.0001, 5 }, { 3e300, 5e300 }, { 0, 0 }, { -4, 0 },
            { NaN, 0 }, { Inf, 0 }, { 1.5e308, 0 } };
        for (const auto& row : rows)
            QTest::addRow("%g", row[0]) << row[0] << row[1];
    }

    void roundToGrid()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(RoundToGrid(value), expected);
    }

    void rangeAndGrid_data()
    {
        QTest::addColumn<Numbers>("in"); // Amazon low, high, used low, high, plot height
        QTest::addColumn<Numbers>("out"); // lowest, highest, step, base, count, step pixels
        const auto row = [](const char* name, const Numbers& in, const Numbers& out) {
            QTest::newRow(name) << in << out;
        };
        row("three days 20/18/18", { 18, 20, 0, 0, 344 }, { 17.6, 20.4, 1, 17, 4, 86 });
        row("equal extremes 50", { 50, 50, 0, 0, 344 }, { 0, 75, 10, 0, 8, 43 });
        row("only used offers", { 0, 0, 10, 30, 344 }, { 6, 34, 5, 5, 6, 57 });
        row("no positive price", { 0, 0, 0, 0, 344 }, { 0, 1, 1, 0, 2, 172 });
        row("range below zero", { 1, 100, 0, 0, 344 }, { -18.8, 119.8, 20, 0, 6, 57 });
        row("not finite highest left out", { 10, NaN, 12, Inf, 344 }, { 9.6, 12.4, 1, 9, 4, 86 });
        row("plot lower than a band", { 18, 20, 0, 0, 34 }, { 17.6, 20.4, 0, 0, 0, 0 });
        // Wild ranges give no grid or a bounded one, never endless lines.
        row("huge prices", { 1e300, 2e300, 0, 0, 344 }, { 8e299, 2.2e300, 2e299, 8e299, 8, 43 });
        row("tiny and huge", { 0.01, 1e300, 0, 0, 344 }, { -2e299, 1.2e300, 2e299, -2e299, 8, 43 });
        row("widened past the largest", { 1, 1.5e308, 0, 0, 344 }, { -3e307, Inf, 0, 0, 0, 0 });
    }

    void rangeAndGrid()
    {
        QFETCH(Numbers, in);
        QFETCH(Numbers, out);
        const ValueRange range = RangeOf(Extremes(in[0], in[1], in[2], in[3]));
        const ValueGrid grid = GridFor(range, int(in[4]));
        const Numbers actual { range.lowest, range.highest, grid.step, grid.base,
            double(grid.count), double(grid.stepPixels) };
        for (int i = 0; i < actual.size(); ++i)
            QCOMPARE(actual[i], out[i]);
    }

    void columns_data()
    {
        QTest::addColumn<Ints>("in"); // left, right, day count, mouse x
        QTest::addColumn<Ints>("out"); // first x, width, days, x of last day, day at mouse
        // The day under the mouse counts from the plot's edge, not the first day.
        QTest::newRow("three days") << Ints { 50, 949, 3, 190 } << Ints { 72, 90, 1, 252, 2 };
        QTest::newRow("ten years") << Ints { 50, 949, 3650, 140 } << Ints { 50, 90, 405, 860, 405 };
        QTest::newRow("narrow plot") << Ints { 10, 89, 20, 14 } << Ints { 10, 3, 1, 67, 1 };
        QTest::newRow("too narrow") << Ints { 10, 89, 100, 14 } << Ints { 0, 0, 0, 0, -1 };
        QTest::newRow("no width") << Ints { 100, 50, 3, 60 } << Ints { 0, 0, 0, 0, -1 };
        QTest::newRow("no days") << Ints { 50, 949, 0, 60 } << Ints { 0, 0, 0, 0, -1 };
    }

    void columns()
    {
        QFETCH(Ints, in);
        QFETCH(Ints, out);
        const Columns columns = LayoutColumns(in[0], in[1], in[2]);
        QCOMPARE(Ints({ columns.firstDayX, columns.columnWidth, columns.daysPerColumn,
                     columns.IsUsable() ? XOfDay(columns, in[2] - 1) : 0,
                     DayAt(columns, in[0], in[3]) }),
            out);
    }

    // Outside a turn a bevel, inside through the corner, a reversal ends
    // flat, square caps; a repeated point has no outline.
    void strokeOutline()
    {
        const auto outline = [](const QList<QPointF>& line) {
            QList<QPointF> result;
            AppendStrokeOutline(line.constData(), int(line.size()), 1.0, &result);
            return result;
        };
        QCOMPARE(outline({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 10, 5 } }),
            QList<QPointF>({ { -1, -1 }, { 10, -1 }, { 11, 0 }, { 11, 10 }, { 9, 10 }, { 9, 4 },
                { 11, 4 }, { 11, 10 }, { 9, 10 }, { 9, 0 }, { 10, 0 }, { 10, 1 }, { -1, 1 } }));
        QCOMPARE(outline({ { 3, 3 }, { 3, 3 } }), QList<QPointF>());
    }
};

QTEST_APPLESS_MAIN(TestPriceChartGeometry)
#include "tst_pricechartgeometry.moc"
