// The product reply parser: a lookup or cart reply of any store, as bytes.
// The first byte picks the operation, the store and whether the ASINs the
// lookup asked for are known; the rest is the reply.
#include "AmazonConnector.h"
#include "FuzzSupport.h"
#include "ItemRecordKeys.h"
#include "ReplyText.h"

#include <cmath>
#include <cstdint>

namespace {

struct Outcome
{
    int itemLists = 0;
    int carts = 0;
    int errors = 0;
};

Outcome outcome;
QString operation;
QString locale;
QStringList asked;

void CheckRecord(const QVariantMap& record)
{
    FUZZ_CHECK(record.value(ItemKey::Locale).toString() == locale);
    FUZZ_CHECK(record.contains(ItemKey::Asin));
    if (!asked.isEmpty())
        FUZZ_CHECK(asked.contains(record.value(ItemKey::Asin).toString(), Qt::CaseInsensitive));
    FUZZ_CHECK(
        record.value(ItemKey::DetailPageUrl).toString().startsWith(QLatin1String("http://")));
    for (const QString& key :
        { ItemKey::Price, ItemKey::LowestNewPrice, ItemKey::LowestUsedPrice, ItemKey::ListPrice }) {
        const double amount = record.value(key).toDouble();
        FUZZ_CHECK(std::isfinite(amount) && amount >= 0.0);
    }
    const bool inStock = record.value(ItemKey::Price).toDouble() > 0.0;
    FUZZ_CHECK(record.value(ItemKey::InStock).toBool() == inStock);
    if (!inStock)
        FUZZ_CHECK(
            record.value(ItemKey::Availability).toString() == QLatin1String("Not Available"));
    FUZZ_CHECK(FuzzSupport::IsOneSaneLine(
        record.value(ItemKey::Title).toString(), ReplyText::TitleLength));
    for (const QString& key : { ItemKey::Asin, ItemKey::Availability, ItemKey::FormattedPrice,
             ItemKey::FormattedListPrice, ItemKey::FormattedLowestNewPrice,
             ItemKey::FormattedLowestUsedPrice, ItemKey::IsEligibleForSuperSaverShipping })
        FUZZ_CHECK(
            FuzzSupport::IsOneSaneLine(record.value(key).toString(), ReplyText::ShortTextLength));
    for (const QString& key : { ItemKey::SmallImage, ItemKey::MediumImage, ItemKey::LargeImage }) {
        if (record.contains(key))
            FUZZ_CHECK(FuzzSupport::IsWebAddress(record.value(key).toString())
                && record.value(key).toString().size() <= ReplyText::LinkLength);
    }
}

AmazonConnector* Connector()
{
    static AmazonConnector* connector = [] {
        auto* created = new AmazonConnector;
        QObject::connect(created, &AmazonConnector::ProductInfoAvailable, created,
            [](const QVariantList& items) {
                ++outcome.itemLists;
                FUZZ_CHECK(operation == QLatin1String("ItemLookup"));
                FUZZ_CHECK(items.size() <= AmazonConnector::MaxAsinsPerRequest);
                for (const QVariant& item : items)
                    CheckRecord(item.toMap());
            });
        QObject::connect(created, &AmazonConnector::CartAvailable, created, [](const QString& url) {
            ++outcome.carts;
            FUZZ_CHECK(operation == QLatin1String("CartCreate"));
            FUZZ_CHECK(FuzzSupport::IsWebAddress(url));
        });
        QObject::connect(created, &AmazonConnector::Error, created, [](const QString& message) {
            ++outcome.errors;
            FUZZ_CHECK(!message.isEmpty() && message.size() <= 600 && !message.contains('\n'));
        });
        return created;
    }();
    return connector;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const QString operations[]
        = { QStringLiteral("ItemLookup"), QStringLiteral("CartCreate"), QStringLiteral("CartAdd") };
    const int selector = data[0] & 0x7f;
    operation = operations[selector % 3];
    const int store = (selector / 3) % (Global::AmazonLocale.size() + 1);
    locale = store < Global::AmazonLocale.size() ? Global::AmazonLocale.at(store)
                                                 : QStringLiteral("xx");
    asked = data[0] & 0x80
        ? QStringList { QStringLiteral("B0PW000001"), QStringLiteral("b0pw000003") }
        : QStringList();
    outcome = {};
    Connector()->ParseXml(QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)),
        operation, locale, asked);

    // One answer per reply: items, perhaps with the error that came along;
    // a cart page or an error; nothing for an operation never sent.
    FUZZ_CHECK(outcome.itemLists <= 1 && outcome.carts <= 1 && outcome.errors <= 1);
    if (operation == QLatin1String("CartCreate"))
        FUZZ_CHECK(outcome.carts + outcome.errors <= 1);
    if (operation == QLatin1String("CartAdd"))
        FUZZ_CHECK(outcome.itemLists + outcome.carts + outcome.errors == 0);
    return 0;
}
