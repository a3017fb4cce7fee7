#pragma once

#include <QDate>
#include <QString>

// The watch list and price history that the demo starts with, so the
// detail pane and the chart have something to show at once: one item of
// each store, taken from the built-in catalogue, each with a year of daily
// prices that lead to its catalogue price of today. The history is written
// through the app's own storage, day by day, by the rules the app records
// prices with (a new point only when a price changed).
class DemoProfile
{
public:
    // Seeds the database file; today is left free for the app's first
    // look-up. A file that already holds a watch list is left as it is.
    // False, with the reason, when the file cannot be opened or written.
    static bool Seed(const QString& strDatabaseFile, const QDate& today, QString* pError);
};
