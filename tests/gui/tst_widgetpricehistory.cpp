#include "Global.h"
#include "ItemRecordKeys.h"
#include "PriceHistoryBuilder.h"
#include "WidgetPriceHistory.h"
#include "WidgetPriceHistoryContent.h"

#include <QLocale>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimeZone>
#include <array>
#include <functional>
#include <limits>
#include <memory>

// The chart rendered with a fixed today in UTC and checked at chosen
// pixels; its arithmetic is tested as numbers in tst_pricechartgeometry.
namespace {

using namespace PriceChartGeometry;

const QDateTime Now(QDate(2024, 3, 10), QTime(12, 0), QTimeZone("UTC"));

// Days before today, then the Amazon, new and used price of that day.
using Day = std::array<double, 4>;

// Per series (green, red, blue): the first and last day its pixels cover,
// or {1, 0} for none.
using Spans = QList<QPair<int, int>>;
const QPair<int, int> None { 1, 0 };
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

DayClock FixedClock()
{
    DayClock clock;
    clock.SetTimeZone(QTimeZone("UTC"));
    clock.SetTimeSource([] { return Now; });
    return clock;
}

// A history map as the store builds it from its rows.
QVariantMap History(const QList<Day>& days, const QString& locale = "us")
{
    const DayClock clock = FixedClock();
    PriceHistoryBuilder builder(clock);
    builder.SetColumns(
        { HistoryKey::Timestamp, HistoryKey::Price, HistoryKey::PriceNew, HistoryKey::PriceUsed });
    for (const Day& day : days) {
        std::vector<QVariant> row { Now.addDays(-qint64(day[0])).toSecsSinceEpoch(), day[1], day[2],
            day[3] };
        builder.Add(&row);
    }
    return builder.Result(locale);
}

QList<Day> Daily(int count)
{
    QList<Day> days;
    for (int i = 0; i < count; ++i)
        days << Day { double(count - 1 - i), 50.0 + i % 7, 40.0 + i % 5, 30.0 };
    return days;
}

std::unique_ptr<WidgetPriceHistory> Chart(const QVariantMap& history, QSize size = { 900, 400 })
{
    auto chart = std::make_unique<WidgetPriceHistory>();
    chart->Content()->SetClock(FixedClock());
    chart->resize(size);
    chart->show();
    chart->SetData(history);
    return chart;
}

QImage Render(const WidgetPriceHistory& chart)
{
    return chart.Content()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The bounds of the pixels that match.
QRect Bounds(const QImage& image, const std::function<bool(QRgb)>& match)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// A series' colour (green, red, blue) and antialiased shades of it.
QRect SeriesBounds(const QImage& image, int series)
{
    return Bounds(image, [series](QRgb pixel) {
        const int channels[3] = { qGreen(pixel), qRed(pixel), qBlue(pixel) };
        return channels[series] > 150
            && channels[0] + channels[1] + channels[2] < 200 + channels[series];
    });
}

} // namespace

class TestWidgetPriceHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::InitializeSettings(); }

    void seriesPixels_data()
    {
        QTest::addColumn<QVariantMap>("history");
        QTest::addColumn<QVariantMap>("options");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Spans>("spans");
        const auto row = [](const char* name, const QList<Day>& days, QSize size, Spans spans,
                             const QVariantMap& options = {}) {
            QTest::newRow(name) << History(days) << options << size << spans;
        };
        const QList<Day> three { { 2, 20, 15, 12 }, { 1, 18, 15, 12 }, { 0, 18, 14, 11 } };
        row("Amazon hidden", three, { 900, 400 }, { None, { 0, 2 }, { 0, 2 } },
            { { ShowAmazon, false } });
        row("only used offers, continued to today", { { 6, 0, 0, 9 }, { 4, 0, 0, 8 } },
            { 900, 400 }, { None, None, { 0, 6 } });
        row("one point today", { { 0, 20, 0, 12 } }, { 900, 400 }, { { 0, 0 }, None, { 0, 0 } });
        row("long daily history reaches today", Daily(400), { 900, 400 },
            { { 0, 399 }, { 0, 399 }, { 0, 399 } });
        row("prices that are not finite leave gaps", { { 2, 20, 15, NaN }, { 0, Inf, 14, 11 } },
            { 900, 400 }, { None, { 0, 2 }, None });
        row("plot lower than a band", three, { 900, 80 }, { None, None, None });
        row("plot too narrow for its days", Daily(400), { 130, 400 }, { None, None, None });
        row("empty, all white", {}, { 900, 400 }, { None, None, None });
    }

    void seriesPixels()
    {
        QFETCH(QVariantMap, history);
        QFETCH(QVariantMap, options);
        QFETCH(QSize, size);
        QFETCH(Spans, spans);
        const auto chart = Chart(history, size);
        chart->SetOptions(options);
        const QImage image = Render(*chart);
        const Columns columns = chart->Content()->Columns();
        for (int series = 0; series < 3; ++series) {
            const QRect bounds = SeriesBounds(image, series);
            QCOMPARE(bounds.isNull(), spans[series] == None);
            // The pen and its square cap reach up to two pixels beyond a day.
            QVERIFY(bounds.isNull()
                || (qAbs(bounds.left() - XOfDay(columns, spans[series].first)) <= 2
                    && qAbs(bounds.right() - XOfDay(columns, spans[series].second)) <= 2));
        }
        QVERIFY(!history.value(HistoryKey::PriceHistory).toList().isEmpty()
            || Bounds(image, [](QRgb pixel) { return pixel != qRgb(255, 255, 255); }).isNull());
    }

    // 20, 18, 18 (today): green runs at 20 to the second day, then at 18 to
    // today; the labels of the days after today are gray.
    void stepsAndFutureDays()
    {
        const auto chart = Chart(History({ { 2, 20, 0, 0 }, { 1, 18, 0, 0 }, { 0, 18, 0, 0 } }));
        const QImage image = Render(*chart);
        const Columns columns = chart->Content()->Columns();
        const QRect plot = chart->Content()->PlotRect();
        const ValueGrid grid = GridFor({ 17.6, 20.4 }, plot.height());
        const auto greenAfter = [&](int day) {
            const int x = (XOfDay(columns, day) + XOfDay(columns, day + 1)) / 2;
            return SeriesBounds(image.copy(x, 0, 1, image.height()), 0);
        };
        QVERIFY(qAbs(greenAfter(0).center().y() - YOf(grid, plot.bottom(), 20)) <= 1);
        QVERIFY(qAbs(greenAfter(1).center().y() - YOf(grid, plot.bottom(), 18)) <= 1);
        const auto darker = [&](int day, int gray) {
            const int width = columns.columnWidth;
            const QRect label(XOfDay(columns, day) - width / 2, plot.bottom() + 5, width, 18);
            return !Bounds(image.copy(label), [gray](QRgb p) { return qGray(p) < gray; }).isNull();
        };
        QVERIFY(darker(2, 64));
        QVERIFY(darker(3, 230) && !darker(3, 120));
    }

    // Points on days 0 (20) and 3 (18, new 7); today is day 6 of nine laid out.
    void readOut()
    {
        const auto chart = Chart(History({ { 6, 20, 0, 0 }, { 3, 18, 7, 0 } }, "jp"));
        WidgetPriceHistoryContent* content = chart->Content();
        Render(*chart); // painting continues the last prices to today
        const QRect plot = content->PlotRect();
        const auto tipAt = [&](int x) {
            const QPoint at(x, plot.center().y());
            QMouseEvent move(QEvent::MouseMove, at, content->mapToGlobal(at), Qt::NoButton,
                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(content, &move);
            QCoreApplication::processEvents();
            return content->toolTip();
        };
        const int day = content->Columns().columnWidth;
        QVERIFY(tipAt(plot.left() + 2 * day).contains("\uFFE520<"));
        const QString today = tipAt(plot.left() + 6 * day);
        QVERIFY(today.contains("\uFFE518<") && today.contains("\uFFE57<") && !today.contains("18.")
            && today.contains(QLocale().toString(Now.date(), QLocale::LongFormat)));
        QCOMPARE(tipAt(plot.left() + 7 * day), QString());
        // A mouse move repaints only where the hover line was and is: the
        // window shows what a full repaint shows.
        chart->SetData(History(Daily(400)));
        QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
        for (int x = plot.left(); x < plot.right(); x += 37) {
            tipAt(x);
            const QPoint origin = content->mapTo(chart.get(), QPoint(0, 0));
            const QPixmap shown = chart->screen()->grabWindow(
                chart->winId(), origin.x(), origin.y(), content->width(), content->height());
            QCOMPARE(shown.toImage().convertToFormat(QImage::Format_RGB32), Render(*chart));
        }
    }
};

QTEST_MAIN(TestWidgetPriceHistory)
#include "tst_widgetpricehistory.moc"
