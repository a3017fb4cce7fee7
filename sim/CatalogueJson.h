#pragma once

#include "SimulatedCatalogue.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// The catalogue's JSON form, shared by catalogue files and the control
// interface:
//   { "stores": { "us": [ { "asin": "B0PW000001", "title": "...", ... } ], ... } }
// Field names and defaults are listed in docs/simulator.md.
class CatalogueJson
{
public:
    static QByteArray write(const SimulatedCatalogue& catalogue);
    // False with a readable error (naming the store and item) when the text
    // is not a valid catalogue; the output is then untouched.
    static bool read(const QByteArray& json, SimulatedCatalogue* catalogue, QString* error);

    static QJsonObject itemToJson(const SimulatedItem& item);
    // Applies the fields present in the object to the item, so the same call
    // serves complete items and partial updates. Unknown fields and values
    // of the wrong type or range are errors; nothing is applied then.
    static bool applyFields(const QJsonObject& fields, SimulatedItem* item, QString* error);
    // A complete item read from JSON: the ASIN must be valid, and a missing
    // offer listing identifier of an item with a price gets the default one.
    static bool readItem(
        const QJsonObject& object, const QString& locale, SimulatedItem* item, QString* error);

private:
    static QString imageStyleName(SimulatedItem::ImageStyle style);
    static bool imageStyleFromName(const QString& name, SimulatedItem::ImageStyle* style);
    static bool readAmount(
        const QJsonObject& fields, const QString& key, qint64* amount, QString* error);
};
