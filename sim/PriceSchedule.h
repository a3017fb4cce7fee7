#pragma once

#include "SimulatedCatalogue.h"

#include <QtGlobal>

// Moves prices and stock one tick at a time. Every change is drawn from a
// generator seeded by the seed, the tick number, the store and the ASIN, so
// the same seed and the same starting catalogue give the same history on
// every run and every machine.
class PriceSchedule
{
public:
    static void advance(SimulatedCatalogue& catalogue, quint32 seed, int tick);

private:
    class Generator;
    static void advanceItem(SimulatedItem& item, const QString& locale, Generator& random);
    static qint64 moved(qint64 amount, const QString& locale, Generator& random);
};
