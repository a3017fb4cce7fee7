#pragma once

#include "DayClock.h"
#include "SqliteStatement.h"

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

    bool IsInTransaction() const;
    bool SaveItem(const QVariantMap& item);
    bool UpdateStoredItem(const QVariantMap& item, bool* pbUpdated);
    bool InsertItem(const QVariantMap& item);

    void InsertPricePoint(const QVariantMap& item);
    void LowerPricePoint(const QVariantMap& point, const QVariantMap& item);
    static bool PricesDiffer(const QVariantMap& point, const QVariantMap& item);
    SqliteStatement* HistoryStatement();
    static bool ReadHistory(SqliteStatement* pQuery, const QString& strAsin,
        const QString& strLocale, PriceHistoryBuilder* pBuilder);

    QString m_strConnectionName;
    QSqlDatabase m_db;
    std::map<QString, QSqlQuery> m_statements; // prepared once, by statement text
    SqliteStatement m_history; // a product's history, stepped row by row
    DayClock m_clock;
    bool m_bOpening = true;
    QString m_strOpenFailure;
    QStringList m_openingErrors;
};
