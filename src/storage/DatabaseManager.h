#pragma once

#include "BuildConfig.h"
#include "DayClock.h"
#if PRICEWARDEN_SQLITE_DIRECT_READ
#include "SqliteStatement.h"
#endif

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <map>

class PriceHistoryBuilder;

// The user's watch list and price history in one SQLite file. All work is
// synchronous SQL on the calling (GUI) thread; failures are reported through
// Error and never thrown.
class DatabaseManager : public QObject
{
    Q_OBJECT

public:
    // Shows the user that the saved items could not be loaded. The storage
    // layer has no widgets: the application installs a handler that shows a
    // message box; without one nothing is shown.
    using LoadFailureHandler = std::function<void(const QString& strTitle, const QString& strText)>;
    static void SetLoadFailureHandler(LoadFailureHandler handler);

    // The file "userdata.dat" in the per-user application data directory.
    static QString DefaultFilePath();

    explicit DatabaseManager(QObject* parent = nullptr);
    explicit DatabaseManager(const QString& strFilePath, QObject* parent = nullptr);
    ~DatabaseManager() override;

    // The time that new price points get and the zone whose calendar days
    // group them. Defaults: the system clock and the system time zone.
    void SetClock(DayClock::TimeSource source);
    void SetTimeZone(const QTimeZone& zone);

    // Whether this build may step histories directly on the SQLite
    // connection of Qt's driver, which is sound only where the driver uses
    // the very SQLite library this program links. Otherwise, and whenever
    // the direct read is switched off, histories are read through QSqlQuery.
    static bool DirectHistoryReadAvailable();
    // On by default where available; switching it on elsewhere does nothing.
    void SetDirectHistoryRead(bool bDirect);
    bool DirectHistoryRead() const { return m_bDirectHistoryRead; }

    bool IsOpen() const;
    QString ConnectionName() const;

    bool HasItem(const QString& asin, const QString& locale);
    QVariantList GetItems(const QString& locale);
    QStringList GetTableFields(const QString& table);
    QVariantMap GetPriceHistory(const QString& asin, const QString& locale);
    // The newest price point of a product (every column by name); empty when
    // it has none or the look-up failed.
    QVariantMap LastPricePoint(const QString& strAsin, const QString& strLocale);

public slots:
    void SaveItems(const QVariantList& items);
    void RemoveItem(const QVariantMap& item);
    void UpdatePrice(const QVariantMap& item);
    void UpdateItems(const QVariantList& items);

signals:
    void Error(const QString& error_msg);
    void PriceUpdated();

private:
    void Open(const QString& strFilePath);
    bool ProbeFile();
    void ConfigureJournal();
    void CreateSchema();
    void ReportLoadFailure();

    bool ExecuteStatement(const QString& strStatement);
    QSqlQuery* Prepared(const QString& strStatement, bool bLogStatement);
    bool Run(QSqlQuery* pQuery, const QVariantList& values, bool bLogStatement);
    void ReportError(const QString& strText);
    QString FailureText(const QSqlQuery& query) const;
    void DeliverOpeningErrors();

    bool SaveItem(const QVariantMap& item);
    bool UpdateStoredItem(const QVariantMap& item, bool* pbUpdated);
    bool InsertItem(const QVariantMap& item);

    void InsertPricePoint(const QVariantMap& item);
    void LowerPricePoint(const QVariantMap& point, const QVariantMap& item);
    static bool PricesDiffer(const QVariantMap& point, const QVariantMap& item);
    bool ReadHistoryWithQt(
        const QString& strAsin, const QString& strLocale, PriceHistoryBuilder* pBuilder);
#if PRICEWARDEN_SQLITE_DIRECT_READ
    bool ReadHistoryDirectly(
        const QString& strAsin, const QString& strLocale, PriceHistoryBuilder* pBuilder);
    SqliteStatement* HistoryStatement();
    bool DriverUsesOurSqlite();
    static bool StepHistory(SqliteStatement* pQuery, const QString& strAsin,
        const QString& strLocale, PriceHistoryBuilder* pBuilder);
#endif

    QString m_strConnectionName;
    QSqlDatabase m_db;
    std::map<QString, QSqlQuery> m_statements; // prepared once, by statement text
#if PRICEWARDEN_SQLITE_DIRECT_READ
    SqliteStatement m_history; // a product's history, stepped row by row
#endif
    bool m_bDirectHistoryRead = DirectHistoryReadAvailable();
    DayClock m_clock;
    bool m_bOpening = true;
    QString m_strOpenFailure;
    QStringList m_openingErrors;
};
