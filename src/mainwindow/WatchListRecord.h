#pragma once

#include <QString>
#include <QVariantMap>

// Rules about the record a watch-list row keeps, kept free of widgets.
namespace WatchListRecord {

// The record's ASIN and Locale, the pair that identifies a row.
QString AsinOf(const QVariantMap& record);
QString LocaleOf(const QVariantMap& record);

// Whether both parts of the identity are present; a record without them
// cannot be polled, matched or stored.
bool HasIdentity(const QVariantMap& record);

// Whether the record was read back from the database (such records carry
// the key "id"), so a row made from it adds nothing that is not stored yet.
bool IsReadFromDatabase(const QVariantMap& record);

// The map with the defaults of a new row added for every key it lacks.
QVariantMap WithNewRowDefaults(const QVariantMap& map);

// Whether the parts that the watch list stores on disk (watch settings and
// title) differ between the two records.
bool StoredPartDiffers(const QVariantMap& before, const QVariantMap& after);

} // namespace WatchListRecord
