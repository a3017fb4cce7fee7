#pragma once

#include "SimulatedCatalogue.h"

// The fictional products every store carries unless a catalogue file
// replaces them: the same ten ASINs in all six stores, titled in the store's
// language, chosen to cover each case the app must handle (in stock, out of
// stock, used or third-party offers only, with and without list price,
// images directly, only in image sets, or none).
class BuiltInCatalogue
{
public:
    struct Product;

    static SimulatedCatalogue create();

private:
    static SimulatedItem itemFor(const Product& product, const QString& locale);
    static qint64 localAmount(qint64 usCents, const QString& locale);
    static QString titleFor(const Product& product, const QString& locale);
    static QString availabilityFor(int productIndex, const QString& locale);
};
