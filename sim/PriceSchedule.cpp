#include "PriceSchedule.h"

#include <QtMath>

// SplitMix64, seeded through FNV-1a: small, fast and the same everywhere
// (qHash is seeded per process and would not repeat across runs).
class PriceSchedule::Generator
{
public:
    Generator(quint32 seed, int tick, const QString& locale, const QString& asin)
    {
        const QByteArray key = QByteArray::number(seed) + '|' + QByteArray::number(tick) + '|'
            + locale.toUtf8() + '|' + asin.toUtf8();
        quint64 hash = 0xcbf29ce484222325ULL;
        for (const char c : key) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ULL;
        }
        m_state = hash;
    }

    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) / double(1ULL << 53); }
    bool chance(double probability) { return unit() < probability; }
    // Uniform in [low, high].
    int between(int low, int high) { return low + int(next() % quint64(high - low + 1)); }

private:
    quint64 m_state = 0;
};

void PriceSchedule::advance(SimulatedCatalogue& catalogue, quint32 seed, int tick)
{
    for (const QString& locale : SimulatedCatalogue::storeLocales()) {
        for (const QString& asin : catalogue.asins(locale)) {
            Generator random(seed, tick, locale, asin);
            advanceItem(*catalogue.find(locale, asin), locale, random);
        }
    }
}

// Each draw happens whether or not it leads to a change, so that one
// item's state never shifts the random sequence of the next change.
void PriceSchedule::advanceItem(SimulatedItem& item, const QString& locale, Generator& random)
{
    const bool movePrice = random.chance(0.35);
    const qint64 newPrice = moved(item.price, locale, random);
    const bool moveLowestNew = random.chance(0.25);
    const qint64 newLowestNew = moved(item.lowestNewPrice, locale, random);
    const bool moveLowestUsed = random.chance(0.25);
    const qint64 newLowestUsed = moved(item.lowestUsedPrice, locale, random);
    const bool stockEvent = random.chance(item.stock > 0 ? 0.2 : 0.3);
    const int pieces = random.between(1, 15);

    if (movePrice && item.price > 0)
        item.price = newPrice;
    if (moveLowestNew && item.lowestNewPrice > 0)
        item.lowestNewPrice = newLowestNew;
    if (moveLowestUsed && item.lowestUsedPrice > 0)
        item.lowestUsedPrice = newLowestUsed;
    if (!stockEvent || item.price <= 0)
        return;
    if (item.stock > 0) {
        item.stock = qMax(0, item.stock - qMin(pieces, 3));
        return;
    }
    item.stock = pieces;
    if (item.offerListingId.isEmpty())
        item.offerListingId = SimulatedCatalogue::defaultOfferListingId(locale, item.asin);
}

// A step of up to 15 % either way, even in log terms so that prices wander
// without drifting off to nothing over a long demo; never below one unit of
// the currency (100 yen in Japan).
qint64 PriceSchedule::moved(qint64 amount, const QString& locale, Generator& random)
{
    const double factor = qExp((random.unit() - 0.5) * 0.30);
    if (locale == QLatin1String("jp"))
        return qMax<qint64>(100, qRound64(amount * factor / 10.0) * 10);
    return qMax<qint64>(100, qRound64(amount * factor));
}
