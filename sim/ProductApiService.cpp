#include "ProductApiService.h"

#include <QCryptographicHash>
#include <QMap>
#include <QRegularExpression>
#include <QUuid>

using Error = ProductApiReply::Error;

namespace {

QString invalidValueMessage(const QString& value, const QString& parameter)
{
    return QStringLiteral("%1 is not a valid value for %2. Please change this value and retry your "
                          "request.")
        .arg(value, parameter);
}

} // namespace

ProductApiService::Outcome ProductApiService::answer(
    const Request& request, const SimulatedCatalogue& catalogue, const Settings& settings)
{
    if (request.path != QLatin1String("/onca/xml")) {
        Outcome outcome;
        outcome.answer = HttpAnswer::text(404, "Not Found\n");
        outcome.rejection = QStringLiteral("unknown path");
        return outcome;
    }
    if (request.method != QLatin1String("GET"))
        return refused(request, 405,
            { QStringLiteral("MethodNotAllowed"),
                QStringLiteral("The simulated product API answers GET requests only.") });

    Outcome outcome;
    if (!checkSignature(request, settings, &outcome))
        return outcome;

    if (parameter(request, QStringLiteral("Service")) != QLatin1String("AWSECommerceService"))
        return refused(request, 400,
            { QStringLiteral("AWS.InvalidServiceParameter"),
                QStringLiteral("The Service parameter is invalid. Please modify the Service "
                               "parameter and retry. Valid values for the Service parameter "
                               "include AWSECommerceService.") });
    const QString operation = parameter(request, QStringLiteral("Operation"));
    if (operation == QLatin1String("ItemLookup"))
        outcome.answer = itemLookup(request, catalogue);
    else if (operation == QLatin1String("CartCreate"))
        outcome.answer = cartCreate(request, catalogue, settings);
    else if (operation.isEmpty())
        return refused(request, 400,
            { QStringLiteral("AWS.MissingOperationParameter"),
                QStringLiteral("Your request should have at least 1 of the following "
                               "parameters: 'Operation'.") });
    else
        return refused(request, 400,
            { QStringLiteral("AWS.InvalidOperationParameter"),
                QStringLiteral("The Operation parameter is invalid. Please modify the Operation "
                               "parameter and retry. Valid values for the Operation parameter "
                               "include ItemLookup, CartCreate.") });
    return outcome;
}

QString ProductApiService::parameter(const Request& request, const QString& name)
{
    for (const auto& pair : request.parameters) {
        if (pair.first == name)
            return pair.second;
    }
    return {};
}

ProductApiService::Outcome ProductApiService::refused(
    const Request& request, int status, const Error& error)
{
    QString operation = parameter(request, QStringLiteral("Operation"));
    if (operation != QLatin1String("ItemLookup") && operation != QLatin1String("CartCreate"))
        operation.clear();
    Outcome outcome;
    outcome.answer = HttpAnswer::xml(
        status, ProductApiReply::errorResponse(operation, error, requestId(request)));
    outcome.rejection = error.code;
    return outcome;
}

// Fills the refusal and returns false when the request must not be served.
// The verdict is recorded even when checking is off, so the log always says
// whether the client signed correctly.
bool ProductApiService::checkSignature(
    const Request& request, const Settings& settings, Outcome* refusal)
{
    using Verdict = ProductApiSignature::Verdict;
    const Verdict verdict = ProductApiSignature::verify(request.method, request.host, request.path,
        request.parameters, settings.account, settings.now);
    const bool valid = verdict == Verdict::Accepted;
    if (valid || !settings.checkSignature) {
        refusal->signatureValid = valid;
        return true;
    }
    int status = 403;
    Error error;
    switch (verdict) {
    case Verdict::MissingSignature:
        status = 400;
        error = { QStringLiteral("MissingParameter"),
            QStringLiteral("The request must contain the parameter Signature.") };
        break;
    case Verdict::MissingTimestamp:
        status = 400;
        error = { QStringLiteral("MissingParameter"),
            QStringLiteral("The request must contain the parameter Timestamp.") };
        break;
    case Verdict::InvalidTimestamp:
        status = 400;
        error = { QStringLiteral("InvalidParameterValue"),
            QStringLiteral("Value %1 for parameter Timestamp is invalid. Reason: Must be in "
                           "ISO8601 format.")
                .arg(parameter(request, QStringLiteral("Timestamp"))) };
        break;
    case Verdict::UnknownAccessKey:
        error = { QStringLiteral("InvalidClientTokenId"),
            QStringLiteral("The AWS Access Key Id you provided does not exist in our records.") };
        break;
    case Verdict::Expired:
        error = { QStringLiteral("RequestExpired"),
            QStringLiteral("Request has expired. Timestamp date is %1.")
                .arg(parameter(request, QStringLiteral("Timestamp"))) };
        break;
    case Verdict::BadSignature:
    case Verdict::Accepted:
        error = { QStringLiteral("SignatureDoesNotMatch"),
            QStringLiteral("The request signature we calculated does not match the signature "
                           "you provided. Check your AWS Secret Access Key and signing method. "
                           "Consult the service documentation for details.") };
        break;
    }
    *refusal = refused(request, status, error);
    return false;
}

HttpAnswer ProductApiService::itemLookup(
    const Request& request, const SimulatedCatalogue& catalogue)
{
    ProductApiReply::Lookup lookup;
    const QString idText = parameter(request, QStringLiteral("ItemId"));
    for (const QString& id : idText.split(QLatin1Char(','), Qt::SkipEmptyParts))
        lookup.itemIds << id.trimmed();
    const QString groupText = parameter(request, QStringLiteral("ResponseGroup"));
    lookup.responseGroups = groupText.isEmpty()
        ? QStringList { QStringLiteral("Small") }
        : groupText.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& group : lookup.responseGroups)
        group = group.trimmed();

    QString unknownGroup;
    if (parameter(request, QStringLiteral("AssociateTag")).isEmpty()) {
        lookup.valid = false;
        lookup.errors << Error { QStringLiteral("AWS.MissingParameters"),
            QStringLiteral("Your request is missing required parameter AssociateTag.") };
    } else if (lookup.itemIds.isEmpty()) {
        lookup.valid = false;
        lookup.errors << Error { QStringLiteral("AWS.MissingParameters"),
            QStringLiteral("Your request is missing required parameters. Required parameters "
                           "include ItemId.") };
    } else if (lookup.itemIds.size() > MaximumItemIds) {
        lookup.valid = false;
        lookup.errors << Error { QStringLiteral("AWS.InvalidParameterValue"),
            QStringLiteral("ItemId carries %1 values; at most %2 are allowed per request.")
                .arg(lookup.itemIds.size())
                .arg(MaximumItemIds) };
    } else if (!readResponseGroups(lookup.responseGroups, &lookup.groups, &unknownGroup)) {
        lookup.valid = false;
        lookup.errors << Error { QStringLiteral("AWS.InvalidResponseGroup"),
            QStringLiteral("The value you specified for ResponseGroup is invalid: %1. Valid "
                           "values include ItemAttributes, Images, OfferFull, Offers, "
                           "OfferSummary, Small, Medium, Large.")
                .arg(unknownGroup) };
    }
    if (lookup.valid) {
        for (const QString& id : std::as_const(lookup.itemIds)) {
            if (const SimulatedItem* item = catalogue.find(request.locale, id))
                lookup.items << *item;
            else
                lookup.errors << Error { QStringLiteral("AWS.InvalidParameterValue"),
                    invalidValueMessage(id, QStringLiteral("ItemId")) };
        }
    }
    return HttpAnswer::xml(200, ProductApiReply::itemLookup(echoOf(request), lookup));
}

bool ProductApiService::readResponseGroups(
    const QStringList& names, ProductApiReply::Groups* groups, QString* unknownName)
{
    for (const QString& name : names) {
        if (name == QLatin1String("ItemAttributes") || name == QLatin1String("Small")) {
            groups->attributes = true;
        } else if (name == QLatin1String("Images")) {
            groups->images = true;
        } else if (name == QLatin1String("OfferSummary")) {
            groups->offerSummary = true;
        } else if (name == QLatin1String("OfferFull") || name == QLatin1String("Offers")) {
            groups->offerSummary = groups->offers = true;
        } else if (name == QLatin1String("Medium")) {
            groups->attributes = groups->images = groups->offerSummary = true;
        } else if (name == QLatin1String("Large")) {
            groups->attributes = groups->images = groups->offerSummary = groups->offers = true;
        } else {
            *unknownName = name;
            return false;
        }
    }
    return true;
}

HttpAnswer ProductApiService::cartCreate(
    const Request& request, const SimulatedCatalogue& catalogue, const Settings& settings)
{
    ProductApiReply::Cart cart;
    readCartLines(request, catalogue, &cart);
    if (parameter(request, QStringLiteral("AssociateTag")).isEmpty()) {
        cart.valid = false;
        cart.errors.prepend({ QStringLiteral("AWS.MissingParameters"),
            QStringLiteral("Your request is missing required parameter AssociateTag.") });
    } else if (cart.requested.isEmpty() && cart.errors.isEmpty()) {
        cart.valid = false;
        cart.errors << Error { QStringLiteral("AWS.MissingParameters"),
            QStringLiteral("Your request is missing required parameters. Required parameters "
                           "include Items.") };
    }
    bool anyItem = false;
    for (const auto& line : std::as_const(cart.requested))
        anyItem = anyItem || !line.item.asin.isEmpty();
    if (cart.valid && anyItem) {
        const int store = int(SimulatedCatalogue::storeLocales().indexOf(request.locale));
        cart.cartId = QStringLiteral("%1-%2-%3")
                          .arg(101 + store)
                          .arg(settings.cartNumber, 7, 10, QLatin1Char('0'))
                          .arg((settings.cartNumber * 7919LL + store * 104729LL) % 10000000, 7, 10,
                              QLatin1Char('0'));
        cart.hmac = QString::fromLatin1(
            QCryptographicHash::hash(cart.cartId.toUtf8(), QCryptographicHash::Sha1).toBase64());
    }
    return HttpAnswer::xml(200, ProductApiReply::cartCreate(echoOf(request), cart));
}

// Lines are read by their index in numeric order; a listing that the store
// does not carry, or that is out of stock, becomes an error of its own while
// the other lines still make the cart.
void ProductApiService::readCartLines(
    const Request& request, const SimulatedCatalogue& catalogue, ProductApiReply::Cart* cart)
{
    static const QRegularExpression itemParameter(
        QStringLiteral("^Item\\.(\\d+)\\.(OfferListingId|Quantity)$"));
    QMap<int, QPair<QString, QString>> lines; // index -> (listing id, quantity text)
    for (const auto& pair : request.parameters) {
        const QRegularExpressionMatch match = itemParameter.match(pair.first);
        if (!match.hasMatch())
            continue;
        auto& line = lines[match.captured(1).toInt()];
        if (match.captured(2) == QLatin1String("OfferListingId"))
            line.first = pair.second;
        else
            line.second = pair.second;
    }
    for (auto line = lines.cbegin(); line != lines.cend(); ++line) {
        const QString prefix = QStringLiteral("Item.%1.").arg(line.key());
        bool numeric = false;
        const int quantity = line.value().second.toInt(&numeric);
        if (line.value().first.isEmpty()) {
            cart->errors << Error { QStringLiteral("AWS.MissingParameters"),
                QStringLiteral("Your request is missing required parameter %1OfferListingId.")
                    .arg(prefix) };
            continue;
        }
        if (!numeric || quantity < 1 || quantity > 999) {
            cart->errors << Error { QStringLiteral("AWS.InvalidParameterValue"),
                invalidValueMessage(line.value().second, prefix + QStringLiteral("Quantity")) };
            continue;
        }
        ProductApiReply::CartLine cartLine;
        cartLine.offerListingId = line.value().first;
        cartLine.quantity = quantity;
        const SimulatedItem* item
            = catalogue.findByOfferListingId(request.locale, cartLine.offerListingId);
        if (!item)
            cart->errors << Error { QStringLiteral("AWS.InvalidParameterValue"),
                invalidValueMessage(cartLine.offerListingId, QStringLiteral("OfferListingId")) };
        else if (!item->hasOffer())
            cart->errors << Error { QStringLiteral("AWS.ECommerceService.ItemNotEligibleForCart"),
                QStringLiteral("The item you specified, %1, is not eligible to be added to the "
                               "cart. Check the item's availability to make sure it is "
                               "available.")
                    .arg(item->asin) };
        else
            cartLine.item = *item;
        cart->requested << cartLine;
    }
}

ProductApiReply::Echo ProductApiService::echoOf(const Request& request)
{
    ProductApiReply::Echo echo;
    echo.locale = request.locale;
    echo.userAgent = request.userAgent;
    echo.parameters = request.parameters;
    echo.requestId = requestId(request);
    return echo;
}

QString ProductApiService::requestId(const Request&)
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}
