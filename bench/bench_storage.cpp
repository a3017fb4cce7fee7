// The price history at 1,000,000 rows: recording one ten-item lookup reply
// and reading a ten-year history, with the indexed literal look-ups of
// DatabaseManager beside the same work done with LIKE look-ups on a copy of
// the file without the index.

#include "BuildConfig.h"
#include "DatabaseManager.h"
#include "DayClock.h"
#include "StorageStatements.h"
#if PRICEWARDEN_SQLITE_DIRECT_READ
#include "SqliteStatement.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTimeZone>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <set>

namespace {

// Bump when the generated data changes, so a stale cache is not reused.
const QString kCacheDir = QStringLiteral("pricewarden-bench-storage-v2");
const QStringList kLocales { "us", "ca", "uk", "de", "fr", "jp" };
const int kProducts = 1000;
const int kBulkDays = 166;
const int kLongHistoryDays = 3650;
const int kTotalRows = 1000000;
const QString kLongHistoryAsin = QStringLiteral("B0HISTORY1");
const QString kFillerAsin = QStringLiteral("B0FILLER01");
const qint64 kFirstDay = QDateTime(QDate(2016, 1, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
const qint64 kDay = 24 * 3600;
const QStringList kPriceColumns { "Price", "PriceNew", "PriceUsed" };

QString BulkAsin(int nProduct)
{
    return QStringLiteral("B%1").arg(nProduct, 9, 10, QLatin1Char('0'));
}

// A connection of the benchmark's own, closed and removed with the object.
class Connection
{
public:
    explicit Connection(const QString& strPath)
        : m_strName(QStringLiteral("bench-%1").arg(++s_nCount))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strName);
        db.setDatabaseName(strPath);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(strPath));
    }
    ~Connection()
    {
        QSqlDatabase::database(m_strName).close();
        QSqlDatabase::removeDatabase(m_strName);
    }
    QSqlDatabase Db() const { return QSqlDatabase::database(m_strName); }
    void Exec(const QString& strStatement) const
    {
        QSqlQuery query(Db());
        if (!query.exec(strStatement))
            qFatal("%s: %s", qPrintable(strStatement), qPrintable(query.lastError().text()));
    }

private:
    static inline int s_nCount = 0;
    QString m_strName;
};

void InsertRow(QSqlQuery& insert, const QString& strAsin, const QString& strLocale, int nDay)
{
    insert.bindValue(0, strAsin);
    insert.bindValue(1, strLocale);
    insert.bindValue(2, 20.0 + nDay % 17);
    insert.bindValue(3, 18.0 + nDay % 13);
    insert.bindValue(4, nDay % 5 == 0 ? 0.0 : 9.0 + nDay % 7);
    insert.bindValue(5, kFirstDay + nDay * kDay);
    if (!insert.exec())
        qFatal("insert: %s", qPrintable(insert.lastError().text()));
}

// Days pass and every product is recorded each day, so one product's rows
// are spread over the whole file, as in real use.
void FillHistory(const QString& strPath)
{
    Connection connection(strPath);
    connection.Exec(StorageStatements::CreateWatchList());
    connection.Exec(StorageStatements::CreatePriceHistory());
    connection.Exec(QStringLiteral("PRAGMA journal_mode=OFF"));
    connection.Exec(QStringLiteral("PRAGMA synchronous=OFF"));
    connection.Exec(QStringLiteral("BEGIN"));
    QSqlQuery insert(connection.Db());
    insert.prepare(StorageStatements::InsertPoint());
    const int nFiller
        = kTotalRows - kProducts * int(kLocales.size()) * kBulkDays - kLongHistoryDays;
    for (int nDay = 0; nDay < kLongHistoryDays; ++nDay) {
        if (nDay < kBulkDays) {
            for (int nProduct = 0; nProduct < kProducts; ++nProduct)
                for (const QString& strLocale : kLocales)
                    InsertRow(insert, BulkAsin(nProduct), strLocale, nDay);
        }
        InsertRow(insert, kLongHistoryAsin, QStringLiteral("us"), nDay);
        if (nDay < nFiller)
            InsertRow(insert, kFillerAsin, QStringLiteral("us"), nDay);
    }
    connection.Exec(QStringLiteral("COMMIT"));
}

// Builds the two cached files once: "unindexed.dat" as a file written before
// the index existed, "indexed.dat" the same file after DatabaseManager has
// opened it.
QDir PrepareCache()
{
    QDir cache(QDir::temp().filePath(kCacheDir));
    if (cache.exists(QStringLiteral("complete")))
        return cache;
    cache.removeRecursively();
    QDir::temp().mkpath(kCacheDir);
    QElapsedTimer timer;
    timer.start();
    std::printf("Building the 1,000,000-row history in %s ...\n", qPrintable(cache.path()));
    std::fflush(stdout);
    FillHistory(cache.filePath(QStringLiteral("unindexed.dat")));
    QFile::copy(cache.filePath(QStringLiteral("unindexed.dat")), cache.filePath("indexed.dat"));
    {
        DatabaseManager manager(cache.filePath(QStringLiteral("indexed.dat")));
        if (!manager.IsOpen())
            qFatal("cannot open the indexed copy");
    }
    QFile(cache.filePath(QStringLiteral("complete"))).open(QIODevice::WriteOnly);
    std::printf("... built in %.1f s\n", double(timer.elapsed()) / 1000.0);
    return cache;
}

// Two rows of one local day: the smaller of two positive prices, else the
// larger value; the later row keeps its other columns.
QVariantMap MergedRow(const QVariantMap& earlier, QVariantMap later)
{
    for (const QString& strColumn : kPriceColumns) {
        const double dEarlier = earlier.value(strColumn).toDouble();
        const double dLater = later.value(strColumn).toDouble();
        later.insert(strColumn,
            dEarlier > 0 && dLater > 0 ? qMin(dEarlier, dLater) : qMax(dEarlier, dLater));
    }
    return later;
}

// The list with the points of the lowest and highest positive value of
// each price column; ties keep the earlier point.
QVariantMap HistoryMap(const QVariantList& points, const QString& strLocale)
{
    QVariantMap history { { "PriceHistory", points }, { "Locale", strLocale } };
    if (points.isEmpty())
        return history;
    const QStringList lowestKeys { "PriceLowest", "NewLowest", "UsedLowest" };
    const QStringList highestKeys { "PriceHighest", "NewHighest", "UsedHighest" };
    for (int nColumn = 0; nColumn < kPriceColumns.size(); ++nColumn) {
        int nLowest = 0;
        int nHighest = 0;
        double dLowest = 0;
        double dHighest = 0;
        for (int i = 0; i < points.size(); ++i) {
            const double dValue = points.at(i).toMap().value(kPriceColumns.at(nColumn)).toDouble();
            if (!(dValue > 0))
                continue;
            if (dLowest == 0 || dValue < dLowest) {
                dLowest = dValue;
                nLowest = i;
            }
            if (dValue > dHighest) {
                dHighest = dValue;
                nHighest = i;
            }
        }
        history.insert(lowestKeys.at(nColumn), points.at(nLowest));
        history.insert(highestKeys.at(nColumn), points.at(nHighest));
    }
    return history;
}

// The store's price-history work with LIKE look-ups, which find no index
// and read every row of the file.
class UnindexedHistory
{
public:
    explicit UnindexedHistory(const QString& strPath)
        : m_connection(strPath)
    {
        m_connection.Exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        m_connection.Exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }

    void UpdatePrice(const QVariantMap& item, qint64 nNow)
    {
        QSqlQuery last(m_connection.Db());
        last.prepare(QStringLiteral("SELECT * FROM pricehistory WHERE ASIN LIKE ? AND Locale "
                                    "LIKE ? order by Timestamp desc LIMIT 1"));
        last.addBindValue(item.value("ASIN").toString());
        last.addBindValue(item.value("Locale").toString());
        if (!last.exec())
            qFatal("%s", qPrintable(last.lastError().text()));
        if (last.next() && last.value("Price").toDouble() == item.value("Price").toDouble()
            && last.value("PriceNew").toDouble() == item.value("LowestNewPrice").toDouble()
            && last.value("PriceUsed").toDouble() == item.value("LowestUsedPrice").toDouble())
            return;
        QSqlQuery insert(m_connection.Db());
        insert.prepare(StorageStatements::InsertPoint());
        insert.addBindValue(item.value("ASIN").toString());
        insert.addBindValue(item.value("Locale").toString());
        insert.addBindValue(item.value("Price").toDouble());
        insert.addBindValue(item.value("LowestNewPrice").toDouble());
        insert.addBindValue(item.value("LowestUsedPrice").toDouble());
        insert.addBindValue(nNow);
        if (!insert.exec())
            qFatal("%s", qPrintable(insert.lastError().text()));
    }

    QSqlDatabase Db() const { return m_connection.Db(); }

    // Reading as the historical statement shape does it: Qt reads each row
    // into a map of its columns, rows of one local day are merged map by
    // map, and the extremes come from the finished list. The results equal
    // DatabaseManager's (checked before the timings).
    QVariantMap GetPriceHistory(const QString& strAsin, const QString& strLocale)
    {
        QSqlQuery query(m_connection.Db());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT * from pricehistory WHERE ASIN LIKE ? AND Locale "
                                     "LIKE ? order by Timestamp asc"));
        query.addBindValue(strAsin);
        query.addBindValue(strLocale);
        if (!query.exec())
            qFatal("%s", qPrintable(query.lastError().text()));
        const QSqlRecord record = query.record();
        QVariantList points;
        QDate lastDate;
        while (query.next()) {
            QVariantMap row;
            for (int i = 0; i < record.count(); ++i)
                row.insert(record.fieldName(i), query.value(i));
            const QDate date = m_clock.DateOf(row.value(QStringLiteral("Timestamp")).toLongLong());
            if (!points.isEmpty() && date == lastDate) {
                points.last() = MergedRow(points.last().toMap(), row);
                continue;
            }
            points.append(row);
            lastDate = date;
        }
        return HistoryMap(points, strLocale);
    }

private:
    Connection m_connection;
    DayClock m_clock;
};

// Only finding and stepping through a product's rows, without building the
// points: the share of the work that the index itself changes.
int StepThroughHistory(const QSqlDatabase& db, const QString& strStatement)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(strStatement);
    query.addBindValue(kLongHistoryAsin);
    query.addBindValue(QStringLiteral("us"));
    if (!query.exec())
        qFatal("%s", qPrintable(query.lastError().text()));
    int nRows = 0;
    while (query.next())
        ++nRows;
    return nRows;
}

// The same rows stepped on SQLite directly, as DatabaseManager reads them,
// still without building the points.
#if PRICEWARDEN_SQLITE_DIRECT_READ
int StepThroughHistoryDirectly(const QSqlDatabase& db)
{
    SqliteStatement statement;
    if (!statement.Prepare(SqliteStatement::ConnectionOf(db.driver()->handle()),
            StorageStatements::SelectHistory())
        || !statement.BindText(1, kLongHistoryAsin) || !statement.BindText(2, "us"))
        qFatal("%s", qPrintable(statement.ErrorText()));
    int nRows = 0;
    while (statement.Step()) {
        for (int i = 0; i < statement.ColumnCount(); ++i)
            benchmark::DoNotOptimize(statement.Value(i));
        ++nRows;
    }
    return nRows;
}
#endif

// Ten products of one store, with prices that change every day.
QVariantList TenItemReply(int nDay)
{
    QVariantList items;
    for (int i = 0; i < 10; ++i) {
        items.append(QVariantMap { { "ASIN", BulkAsin(400 + i) }, { "Locale", "de" },
            { "Price", 30.0 + (nDay + i) % 9 }, { "LowestNewPrice", 28.0 + nDay % 4 },
            { "LowestUsedPrice", 0.0 } });
    }
    return items;
}

struct Workspace
{
    QTemporaryDir dir;
    std::unique_ptr<DatabaseManager> indexed;
    std::unique_ptr<UnindexedHistory> unindexed;
    qint64 nNow = kFirstDay + (kLongHistoryDays + 10) * kDay;
    int nDay = 0;
};

Workspace* g_workspace = nullptr;

void RecordReplyIndexed(benchmark::State& state)
{
    for (auto _ : state) {
        ++g_workspace->nDay;
        g_workspace->nNow += kDay;
        g_workspace->indexed->UpdateItems(TenItemReply(g_workspace->nDay));
    }
}

void RecordReplyUnindexed(benchmark::State& state)
{
    for (auto _ : state) {
        ++g_workspace->nDay;
        g_workspace->nNow += kDay;
        for (const QVariant& item : TenItemReply(g_workspace->nDay))
            g_workspace->unindexed->UpdatePrice(item.toMap(), g_workspace->nNow);
    }
}

void ReadHistoryIndexed(benchmark::State& state)
{
    qsizetype nPoints = 0;
    for (auto _ : state) {
        const QVariantMap history = g_workspace->indexed->GetPriceHistory(kLongHistoryAsin, "us");
        nPoints = history.value("PriceHistory").toList().size();
        benchmark::DoNotOptimize(nPoints);
    }
    state.counters["points"] = double(nPoints);
}

void ReadHistoryUnindexed(benchmark::State& state)
{
    qsizetype nPoints = 0;
    for (auto _ : state) {
        const QVariantMap history = g_workspace->unindexed->GetPriceHistory(kLongHistoryAsin, "us");
        nPoints = history.value("PriceHistory").toList().size();
        benchmark::DoNotOptimize(nPoints);
    }
    state.counters["points"] = double(nPoints);
}

void StepHistoryIndexed(benchmark::State& state)
{
    const QSqlDatabase db = QSqlDatabase::database(g_workspace->indexed->ConnectionName());
    for (auto _ : state)
        benchmark::DoNotOptimize(StepThroughHistory(db, StorageStatements::SelectHistory()));
}

// The read every build can do: Qt's per-row results instead of stepping
// on Qt's SQLite connection.
void ReadHistoryIndexedWithQt(benchmark::State& state)
{
    const bool bDirect = g_workspace->indexed->DirectHistoryRead();
    g_workspace->indexed->SetDirectHistoryRead(false);
    qsizetype nPoints = 0;
    for (auto _ : state) {
        const QVariantMap history = g_workspace->indexed->GetPriceHistory(kLongHistoryAsin, "us");
        nPoints = history.value("PriceHistory").toList().size();
        benchmark::DoNotOptimize(nPoints);
    }
    g_workspace->indexed->SetDirectHistoryRead(bDirect);
    state.counters["points"] = double(nPoints);
}

#if PRICEWARDEN_SQLITE_DIRECT_READ
void StepHistoryIndexedDirectly(benchmark::State& state)
{
    const QSqlDatabase db = QSqlDatabase::database(g_workspace->indexed->ConnectionName());
    for (auto _ : state)
        benchmark::DoNotOptimize(StepThroughHistoryDirectly(db));
}
#endif

void StepHistoryUnindexed(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(StepThroughHistory(g_workspace->unindexed->Db(),
            QStringLiteral("SELECT * from pricehistory WHERE ASIN LIKE ? AND Locale LIKE ? order "
                           "by Timestamp asc")));
    }
}

// Keeps each benchmark's time next to the console output, for the ratio
// table: the median when it runs repeatedly (--benchmark_repetitions=N),
// else its one run.
class RecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& reports) override
    {
        for (const Run& run : reports) {
            const std::string& strName = run.run_name.function_name;
            const bool bMedian
                = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (bMedian || (run.run_type == Run::RT_Iteration && !m_medians.count(strName)))
                m_times[strName] = { run.GetAdjustedRealTime(), run.GetAdjustedCPUTime() };
            if (bMedian)
                m_medians.insert(strName);
        }
        ConsoleReporter::ReportRuns(reports);
    }
    // Wall-clock and CPU milliseconds per iteration.
    std::pair<double, double> Milliseconds(const std::string& strName) const
    {
        const auto found = m_times.find(strName);
        return found == m_times.end() ? std::pair<double, double>() : found->second;
    }

private:
    std::map<std::string, std::pair<double, double>> m_times;
    std::set<std::string> m_medians;
};

void PrintComparison(const RecordingReporter& reporter, const char* szWork,
    const std::string& strIndexed, const std::string& strUnindexed, double dTargetMs)
{
    const auto [dIndexed, dIndexedCpu] = reporter.Milliseconds(strIndexed);
    const auto [dUnindexed, dUnindexedCpu] = reporter.Milliseconds(strUnindexed);
    const double dRatio = dIndexed > 0 ? dUnindexed / dIndexed : 0.0;
    const double dCpuRatio = dIndexedCpu > 0 ? dUnindexedCpu / dIndexedCpu : 0.0;
    std::printf("%-36s %9.3f %9.3f %11.3f %11.3f %8.0fx %8.0fx", szWork, dIndexed, dIndexedCpu,
        dUnindexed, dUnindexedCpu, dRatio, dCpuRatio);
    if (dTargetMs > 0) {
        const bool bMetCpu = dIndexedCpu <= dTargetMs && dCpuRatio >= 50.0;
        const bool bMetWall = dIndexed <= dTargetMs && dRatio >= 50.0;
        std::printf("   <= %2.0f ms, >= 50x: cpu %s, wall %s", dTargetMs,
            bMetCpu ? "met" : "MISSED", bMetWall ? "met" : "MISSED");
    }
    std::printf("\n");
}

// Equal values of equal types, all the way down: the fast reading must
// return exactly what reading through Qt's driver returns.
bool Identical(const QVariant& first, const QVariant& second)
{
    if (first.typeId() != second.typeId() || first.isNull() != second.isNull())
        return false;
    if (first.typeId() == QMetaType::QVariantMap) {
        const QVariantMap firstMap = first.toMap();
        const QVariantMap secondMap = second.toMap();
        if (firstMap.keys() != secondMap.keys())
            return false;
        for (auto it = firstMap.cbegin(); it != firstMap.cend(); ++it) {
            if (!Identical(it.value(), secondMap.value(it.key())))
                return false;
        }
        return true;
    }
    if (first.typeId() == QMetaType::QVariantList) {
        const QVariantList firstList = first.toList();
        const QVariantList secondList = second.toList();
        if (firstList.size() != secondList.size())
            return false;
        for (int i = 0; i < firstList.size(); ++i) {
            if (!Identical(firstList.at(i), secondList.at(i)))
                return false;
        }
        return true;
    }
    return first == second;
}

qint64 CountRows(const QString& strPath)
{
    Connection connection(strPath);
    QSqlQuery query(connection.Db());
    query.exec(QStringLiteral("SELECT count(*) FROM pricehistory"));
    return query.next() ? query.value(0).toLongLong() : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    const QDir cache = PrepareCache();
    Workspace workspace;
    const QString strIndexed = workspace.dir.filePath(QStringLiteral("indexed.dat"));
    const QString strUnindexed = workspace.dir.filePath(QStringLiteral("unindexed.dat"));
    QFile::copy(cache.filePath(QStringLiteral("indexed.dat")), strIndexed);
    QFile::copy(cache.filePath(QStringLiteral("unindexed.dat")), strUnindexed);
    std::printf("History rows: %lld (indexed copy), %lld (unindexed copy)\n",
        static_cast<long long>(CountRows(strIndexed)),
        static_cast<long long>(CountRows(strUnindexed)));

    workspace.indexed = std::make_unique<DatabaseManager>(strIndexed);
    workspace.indexed->SetClock(
        [&workspace]() { return QDateTime::fromSecsSinceEpoch(workspace.nNow, Qt::UTC); });
    workspace.unindexed = std::make_unique<UnindexedHistory>(strUnindexed);
    g_workspace = &workspace;

    const QVariantMap indexedHistory = workspace.indexed->GetPriceHistory(kLongHistoryAsin, "us");
    const QVariantMap likeHistory = workspace.unindexed->GetPriceHistory(kLongHistoryAsin, "us");
    workspace.indexed->SetDirectHistoryRead(false);
    const QVariantMap qtHistory = workspace.indexed->GetPriceHistory(kLongHistoryAsin, "us");
    workspace.indexed->SetDirectHistoryRead(true);
    std::printf("History read on Qt's SQLite connection: %s\n",
        workspace.indexed->DirectHistoryRead() ? "yes" : "no (this build reads through QSqlQuery)");
    const bool bIdentical
        = Identical(indexedHistory, likeHistory) && Identical(indexedHistory, qtHistory);
    std::printf("History read all three ways: %lld points, identical values and types: %s\n",
        static_cast<long long>(indexedHistory.value("PriceHistory").toList().size()),
        bIdentical ? "yes" : "NO");
    if (!bIdentical)
        return 1;

    benchmark::RegisterBenchmark("RecordReply/indexed", RecordReplyIndexed)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5);
    benchmark::RegisterBenchmark("RecordReply/unindexed_like", RecordReplyUnindexed)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(4);
    benchmark::RegisterBenchmark("ReadHistory3650/indexed", ReadHistoryIndexed)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5);
    benchmark::RegisterBenchmark("ReadHistory3650/unindexed_like", ReadHistoryUnindexed)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(4);
    benchmark::RegisterBenchmark("ReadHistory3650/indexed_qt", ReadHistoryIndexedWithQt)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5);
    benchmark::RegisterBenchmark("StepHistory3650/indexed", StepHistoryIndexed)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5);
#if PRICEWARDEN_SQLITE_DIRECT_READ
    benchmark::RegisterBenchmark("StepHistory3650/indexed_sqlite", StepHistoryIndexedDirectly)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5);
#endif
    benchmark::RegisterBenchmark("StepHistory3650/unindexed_like", StepHistoryUnindexed)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(4);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::cout.flush();
    std::printf("\n%-36s %19s %23s %18s\n", "", "indexed, ms", "LIKE, no index, ms", "ratio");
    std::printf("%-36s %9s %9s %11s %11s %9s %9s   %s\n", "work at 1,000,000 rows", "wall", "cpu",
        "wall", "cpu", "wall", "cpu", "target");
    PrintComparison(reporter, "record a ten-item reply", "RecordReply/indexed",
        "RecordReply/unindexed_like", 2.0);
    PrintComparison(reporter, "read a 3,650-point history", "ReadHistory3650/indexed",
        "ReadHistory3650/unindexed_like", 15.0);
    PrintComparison(reporter, "  the same through QSqlQuery", "ReadHistory3650/indexed_qt",
        "ReadHistory3650/unindexed_like", 15.0);
    PrintComparison(reporter, "  of it: find and step the rows (Qt)", "StepHistory3650/indexed",
        "StepHistory3650/unindexed_like", 0);
#if PRICEWARDEN_SQLITE_DIRECT_READ
    PrintComparison(reporter, "  the same stepped on SQLite", "StepHistory3650/indexed_sqlite",
        "StepHistory3650/unindexed_like", 0);
#endif
    return 0;
}
