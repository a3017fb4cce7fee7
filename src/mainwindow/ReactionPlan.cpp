#include "ReactionPlan.h"

#include "AlertEmail.h"
#include "AlertRule.h"
#include "ItemRecordKeys.h"
#include "OptionKeys.h"
#include "WatchListCells.h"

namespace {

void AddToCart(QList<ReactionPlan::Cart>* carts, const QVariantMap& record)
{
    const QString locale = record.value(ItemKey::Locale).toString();
    auto cart = std::find_if(carts->begin(), carts->end(),
        [&locale](const ReactionPlan::Cart& each) { return each.locale == locale; });
    if (cart == carts->end())
        cart = carts->insert(carts->end(), ReactionPlan::Cart { locale, {} });
    // The same offer twice keeps the later quantity.
    cart->offers.insert(
        record.value(ItemKey::OfferListingId).toString(), record.value(ItemKey::Quantity).toInt());
}

} // namespace

ReactionPlan ReactionPlan::ForItems(
    const QVariantList& items, const QVariantMap& options, const QString& mailTemplate)
{
    ReactionPlan plan;
    plan.email = options.value(OptionKey::Email).toString();
    for (const QVariant& item : items) {
        const QVariantMap record = item.toMap();
        const QString priceKey = AlertRule::MetPrice(record);
        if (priceKey.isEmpty())
            continue;
        Alert alert;
        alert.record = AlertRule::Alerted(record, priceKey);
        alert.priceKey = priceKey;
        if (record.value(ItemKey::ActionEmail).toBool()) {
            alert.bMail = true;
            alert.mailText = AlertEmail::Text(mailTemplate, alert.record, plan.email);
        }
        if (record.value(ItemKey::ActionWebPage).toBool())
            alert.page = WatchListCells::ProductPageUrl(record);
        if (record.value(ItemKey::ActionCreateCart).toBool())
            AddToCart(&plan.carts, record);
        plan.alerts << alert;
    }
    if (plan.alerts.isEmpty())
        return plan;
    plan.bPlaySound = options.value(OptionKey::PlaySound).toBool();
    plan.soundFile = options.value(OptionKey::SoundFile).toString();
    plan.soundLoops = options.value(OptionKey::SoundLoops).toInt();
    plan.bRaiseWindows = !options.value(OptionKey::NoPopup).toBool();
    return plan;
}

QVariantList ReactionPlan::SwitchedOff() const
{
    QVariantList records;
    for (const Alert& alert : alerts) {
        QVariantMap record = alert.record;
        record.insert(ItemKey::WatchCondition, int(WatchCondition::NotWatched));
        records << record;
    }
    return records;
}
