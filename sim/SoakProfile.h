#pragma once

#include "SimulatedCatalogue.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

// The profile of a long unattended run (scripts/soak): a catalogue of many
// made-up products spread over the six stores, the watch list that watches
// nearly all of them, and the options that start watching at once at a
// short interval. Most items have price lines no price can reach, so they
// stay polled to the end; a quarter have lines the moving prices cross
// sooner or later, with alert window, e-mail, product page and cart
// reactions; a few wait for a restock.
class SoakProfile
{
public:
    static SimulatedCatalogue Catalogue(int nItems);
    static QVariantList WatchList(const SimulatedCatalogue& catalogue);
    static QVariantMap Options(int nIntervalSeconds, const QString& strEmail);

    // Writes the watch list into the database file (which must hold none
    // yet) and the options into the settings of the running application.
    // False, with the reason, when the file cannot be opened or written.
    static bool Seed(const QString& strDatabaseFile, const SimulatedCatalogue& catalogue,
        const QVariantMap& options, QString* pError);
};
