// The orders of the watch-list columns, on records as the list and the
// database hand them over: amounts as numbers or as texts, any store, any
// title. The view sorts with these comparisons, so each must be a strict
// weak order, or the sort has nothing consistent to work with.
#include "FuzzSupport.h"
#include "ItemRecordKeys.h"
#include "WatchListSortRules.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString Text(FuzzedDataProvider& input)
{
    return QString::fromStdString(input.ConsumeRandomLengthString(64));
}

QVariantMap Record(FuzzedDataProvider& input)
{
    static const char* const locales[] = { "us", "ca", "uk", "de", "fr", "jp", "", "xx" };
    QVariantMap record;
    record.insert(
        ItemKey::Locale, QString::fromLatin1(locales[input.ConsumeIntegralInRange(0, 7)]));
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: { // any double, NaN and infinities included
        double amount = 0;
        const std::string bytes = input.ConsumeBytesAsString(sizeof amount);
        std::memcpy(&amount, bytes.data(), bytes.size());
        record.insert(ItemKey::Price, amount);
        break;
    }
    case 1:
        record.insert(ItemKey::Price, input.ConsumeIntegralInRange(0, 4) * 0.5);
        break;
    case 2: // as read back from the file
        record.insert(ItemKey::Price, Text(input));
        break;
    default: // no price
        break;
    }
    return record;
}

template <typename T>
void CheckStrictWeakOrder(
    const T& a, const T& b, const T& c, const std::function<bool(const T&, const T&)>& less)
{
    const T items[] = { a, b, c };
    const auto equivalent = [&less](const T& x, const T& y) { return !less(x, y) && !less(y, x); };
    for (const T& x : items) {
        FUZZ_CHECK(!less(x, x));
        for (const T& y : items) {
            FUZZ_CHECK(!(less(x, y) && less(y, x)));
            for (const T& z : items) {
                if (less(x, y) && less(y, z))
                    FUZZ_CHECK(less(x, z));
                if (equivalent(x, y) && equivalent(y, z))
                    FUZZ_CHECK(equivalent(x, z));
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QVariantMap a = Record(input);
    const QVariantMap b = Record(input);
    const QVariantMap c = Record(input);
    CheckStrictWeakOrder<QVariantMap>(a, b, c, [](const QVariantMap& x, const QVariantMap& y) {
        return WatchListSort::AmountLessThan(x, y, ItemKey::Price);
    });

    const QString x = Text(input);
    const QString y = Text(input);
    const QString z = Text(input);
    CheckStrictWeakOrder<QString>(x, y, z, WatchListSort::TextLessThan);
    // Only a leading article goes: the key is the end of the text.
    const QString key = Global::ToSortableString(x);
    FUZZ_CHECK(x.endsWith(key) && x.size() - key.size() <= 9);
    return 0;
}
