#include "StorageStatements.h"

namespace StorageStatements {

namespace {

// Rows are found by ASIN and locale, ignoring the case of ASCII letters.
// Values are compared as literals: "%" and "_" in an ASIN match only
// themselves. The indexes carry the same collation, so a look-up seeks.
const QString& MatchItem()
{
    static const QString statement
        = QStringLiteral("ASIN = ? COLLATE NOCASE AND Locale = ? COLLATE NOCASE");
    return statement;
}

} // namespace

const QString& CreateWatchList()
{
    static const QString statement = QStringLiteral(
        "CREATE TABLE IF NOT EXISTS watchlist (id int primary key,ASIN char(20),Locale "
        "char(2),WatchCondition int,PriceLine double,ThirdParty bool,ThirdPartyUsed "
        "bool,ActionEmail bool,ActionWebPage bool,ActionCreateCart bool,Quantity int,Title "
        "tinytext )");
    return statement;
}

const QString& CreatePriceHistory()
{
    static const QString statement = QStringLiteral(
        "CREATE TABLE IF NOT EXISTS pricehistory (id int primary key,ASIN char(20),Locale "
        "char(2),Price double,PriceNew double,PriceUsed double,Timestamp int )");
    return statement;
}

const QString& AddThirdPartyUsed()
{
    static const QString statement
        = QStringLiteral("ALTER TABLE watchlist ADD ThirdPartyUsed bool");
    return statement;
}

const QString& CreateWatchListIndex()
{
    static const QString statement = QStringLiteral(
        "CREATE INDEX IF NOT EXISTS watchlist_item ON watchlist (ASIN COLLATE NOCASE, Locale "
        "COLLATE NOCASE)");
    return statement;
}

// The history index also orders a product's points by time, so neither the
// last point nor the whole history needs a sort, and it holds every column:
// a product's points lie side by side in the index, while in the table each
// day's points of all products are interleaved, one page per point.
const QString& CreatePriceHistoryIndex()
{
    static const QString statement = QStringLiteral(
        "CREATE INDEX IF NOT EXISTS pricehistory_point ON pricehistory (ASIN COLLATE NOCASE, "
        "Locale COLLATE NOCASE, Timestamp, Price, PriceNew, PriceUsed, id)");
    return statement;
}

const QString& Probe()
{
    static const QString statement = QStringLiteral("SELECT count(*) FROM sqlite_master");
    return statement;
}

const QString& SelectItem()
{
    static const QString statement = QStringLiteral("SELECT ASIN FROM watchlist WHERE ")
        + MatchItem() + QStringLiteral(" LIMIT 1");
    return statement;
}

const QString& SelectItems()
{
    static const QString statement = QStringLiteral("SELECT * FROM watchlist");
    return statement;
}

const QString& SelectItemsOfLocale()
{
    static const QString statement
        = SelectItems() + QStringLiteral(" WHERE Locale = ? COLLATE NOCASE");
    return statement;
}

const QString& InsertItem()
{
    static const QString statement = QStringLiteral(
        "INSERT INTO watchlist ( ASIN, Locale, WatchCondition, PriceLine, ActionEmail, "
        "ActionWebPage, ActionCreateCart, Title, Quantity, ThirdParty, ThirdPartyUsed) VALUES "
        "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    return statement;
}

const QString& UpdateItem()
{
    static const QString statement
        = QStringLiteral("UPDATE watchlist SET WatchCondition = ?, PriceLine = ?, ActionEmail = "
                         "?, ActionWebPage = ?, ActionCreateCart = ?, Quantity = ?, Title = ?, "
                         "ThirdParty = ?, ThirdPartyUsed = ? WHERE ")
        + MatchItem();
    return statement;
}

const QString& DeleteItem()
{
    static const QString statement = QStringLiteral("DELETE FROM watchlist WHERE ") + MatchItem();
    return statement;
}

// The table name is bound, never pasted into the statement.
const QString& TableColumns()
{
    static const QString statement = QStringLiteral("SELECT name FROM pragma_table_info(?)");
    return statement;
}

const QString& SelectLastPoint()
{
    static const QString statement = QStringLiteral("SELECT * FROM pricehistory WHERE ")
        + MatchItem() + QStringLiteral(" order by Timestamp desc LIMIT 1");
    return statement;
}

const QString& SelectHistory()
{
    static const QString statement = QStringLiteral("SELECT * from pricehistory WHERE ")
        + MatchItem() + QStringLiteral(" order by Timestamp asc");
    return statement;
}

const QString& InsertPoint()
{
    static const QString statement = QStringLiteral(
        "INSERT INTO pricehistory ( ASIN, Locale, Price, PriceNew, PriceUsed, Timestamp) VALUES "
        "(?, ?, ?, ?, ?, ?)");
    return statement;
}

QString LowerPoint(const QStringList& columns)
{
    QStringList assignments;
    for (const QString& strColumn : columns)
        assignments.append(strColumn + QStringLiteral(" = ?"));
    return QStringLiteral("UPDATE pricehistory SET ") + assignments.join(QStringLiteral(", "))
        + QStringLiteral(" WHERE ") + MatchItem() + QStringLiteral(" AND Timestamp = ?");
}

} // namespace StorageStatements
