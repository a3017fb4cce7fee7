#include "SqliteStatement.h"

#include <QCoreApplication>
#include <QSqlError>
#include <cstring>
#include <sqlite3.h>

SqliteStatement::~SqliteStatement()
{
    Finalize();
}

sqlite3* SqliteStatement::ConnectionOf(const QVariant& driverHandle)
{
    if (!driverHandle.isValid() || qstrcmp(driverHandle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(driverHandle.constData());
}

QString SqliteStatement::LibrarySourceId()
{
    return QString::fromLatin1(sqlite3_sourceid());
}

bool SqliteStatement::Prepare(sqlite3* pConnection, const QString& strSql)
{
    Finalize();
    m_strError.clear();
    m_pConnection = pConnection;
    const QByteArray sql = strSql.toUtf8();
    if (sqlite3_prepare_v3(m_pConnection, sql.constData(), int(sql.size()) + 1,
            SQLITE_PREPARE_PERSISTENT, &m_pStatement, nullptr)
        != SQLITE_OK) {
        SetError("Unable to execute statement");
        sqlite3_finalize(m_pStatement);
        m_pStatement = nullptr;
        return false;
    }
    m_lastTexts.assign(size_t(ColumnCount()), LastText());
    return true;
}

void SqliteStatement::Finalize()
{
    sqlite3_finalize(m_pStatement);
    m_pStatement = nullptr;
    m_lastTexts.clear();
}

bool SqliteStatement::BindText(int nPosition, const QString& strValue)
{
    // An empty text, not NULL, even for a null QString.
    const void* pText = strValue.isNull() ? u"" : static_cast<const void*>(strValue.utf16());
    if (sqlite3_bind_text16(
            m_pStatement, nPosition, pText, int(strValue.size() * 2), SQLITE_TRANSIENT)
        == SQLITE_OK)
        return true;
    SetError("Unable to bind parameters");
    return false;
}

bool SqliteStatement::Step()
{
    const int nResult = sqlite3_step(m_pStatement);
    if (nResult == SQLITE_ROW)
        return true;
    if (nResult != SQLITE_DONE)
        SetError("Unable to fetch row");
    return false;
}

void SqliteStatement::Reset()
{
    sqlite3_reset(m_pStatement);
    sqlite3_clear_bindings(m_pStatement);
    m_strError.clear();
}

int SqliteStatement::ColumnCount() const
{
    return sqlite3_column_count(m_pStatement);
}

QString SqliteStatement::ColumnName(int nColumn) const
{
    return QString::fromUtf8(sqlite3_column_name(m_pStatement, nColumn));
}

// Read through the column's value object: one call into the statement per
// column, the rest are plain reads of that value. The connection belongs to
// one thread.
QVariant SqliteStatement::Value(int nColumn)
{
    sqlite3_value* pValue = sqlite3_column_value(m_pStatement, nColumn);
    switch (sqlite3_value_type(pValue)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_value_int64(pValue));
    case SQLITE_FLOAT:
        return sqlite3_value_double(pValue);
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QByteArray(
            static_cast<const char*>(sqlite3_value_blob(pValue)), sqlite3_value_bytes(pValue));
    default:
        // A statement prepared again after a change of the table may have
        // gained columns.
        if (size_t(nColumn) >= m_lastTexts.size())
            m_lastTexts.resize(size_t(nColumn) + 1);
        return Text(pValue, &m_lastTexts[size_t(nColumn)]);
    }
}

// Compared as stored; converted to UTF-16 by SQLite, as Qt's driver has it
// converted.
QVariant SqliteStatement::Text(sqlite3_value* pValue, LastText* pLast)
{
    const char* pUtf8 = reinterpret_cast<const char*>(sqlite3_value_text(pValue));
    const int nBytes = sqlite3_value_bytes(pValue);
    if (pLast->value.isValid() && pLast->utf8.size() == nBytes
        && std::memcmp(pLast->utf8.constData(), pUtf8, size_t(nBytes)) == 0)
        return pLast->value;
    pLast->utf8 = QByteArray(pUtf8, nBytes);
    const auto* pUtf16 = static_cast<const QChar*>(sqlite3_value_text16(pValue));
    pLast->value = QString(pUtf16, sqlite3_value_bytes16(pValue) / 2);
    return pLast->value;
}

void SqliteStatement::SetError(const char* szDoing)
{
    QString strMessage;
    QString strCode;
    if (m_pConnection) {
        strMessage = QString(static_cast<const QChar*>(sqlite3_errmsg16(m_pConnection)));
        strCode = QString::number(sqlite3_errcode(m_pConnection));
    }
    const QSqlError error(QCoreApplication::translate("QSQLiteResult", szDoing), strMessage,
        QSqlError::StatementError, strCode);
    m_strError = error.text();
}
