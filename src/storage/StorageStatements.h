#pragma once

#include <QString>
#include <QStringList>

// The SQL of the local store, in one place so that the query plans of the
// look-ups can be checked against the indexes.
namespace StorageStatements {

const QString& CreateWatchList();
const QString& CreatePriceHistory();
const QString& AddThirdPartyUsed();
const QString& CreateWatchListIndex();
const QString& CreatePriceHistoryIndex();
const QString& Probe();

const QString& SelectItem();
const QString& SelectItems();
const QString& SelectItemsOfLocale();
const QString& InsertItem();
const QString& UpdateItem();
const QString& DeleteItem();
const QString& TableColumns();

const QString& SelectLastPoint();
const QString& SelectHistory();
const QString& InsertPoint();
// Sets each named price column to a bound value on the point of one
// product with one timestamp.
QString LowerPoint(const QStringList& columns);

} // namespace StorageStatements
