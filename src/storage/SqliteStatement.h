#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

// One statement prepared once on the SQLite connection under a Qt database
// connection and stepped directly, without Qt's per-row result machinery.
// Values come back as Qt's SQLite driver returns them: 64-bit integers,
// doubles, texts, byte arrays, and a null text for NULL.
class SqliteStatement
{
public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // The SQLite connection of an open Qt "QSQLITE" connection, or null.
    static sqlite3* ConnectionOf(const QVariant& driverHandle);
    // sqlite_source_id() of the SQLite library this program links.
    static QString LibrarySourceId();

    // Prepares for repeated use. Returns false, with ErrorText() set, when
    // the statement cannot be prepared.
    bool Prepare(sqlite3* pConnection, const QString& strSql);
    bool IsPrepared() const { return m_pStatement != nullptr; }
    // Must run before the connection is closed.
    void Finalize();

    // Positions count from 1.
    bool BindText(int nPosition, const QString& strValue);
    // True while a row is there; false at the end or on failure (then
    // Failed() tells which).
    bool Step();
    bool Failed() const { return !m_strError.isEmpty(); }
    // Ends the current use, so that no read stays open between uses.
    void Reset();

    int ColumnCount() const;
    QString ColumnName(int nColumn) const;
    // The value of a column of the current row. A text equal to the last
    // one read from the same column shares that string's storage: a
    // product's rows repeat their ASIN and locale.
    QVariant Value(int nColumn);

    // SQLite's message, joined to what was being done as Qt's driver words
    // its errors.
    QString ErrorText() const { return m_strError; }

private:
    struct LastText
    {
        QByteArray utf8;
        QVariant value;
    };

    static QVariant Text(sqlite3_value* pValue, LastText* pLast);
    void SetError(const char* szDoing);

    sqlite3* m_pConnection = nullptr;
    sqlite3_stmt* m_pStatement = nullptr;
    QString m_strError;
    std::vector<LastText> m_lastTexts; // by column
};
