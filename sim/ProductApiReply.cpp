#include "ProductApiReply.h"

#include "Global.h"
#include "ProductImage.h"
#include "StorePriceFormat.h"

#include <QUrl>
#include <QXmlStreamWriter>

namespace {

const QString ServiceNamespace
    = QStringLiteral("http://webservices.amazon.com/AWSECommerceService/2011-08-01");

QString productUrl(const QString& locale, const QString& path, const QString& asin)
{
    return QStringLiteral("http://%1/%2/%3?tag=%4")
        .arg(Global::WebHost(locale), path, asin, Global::AssociateIdString.value(locale));
}

} // namespace

QByteArray ProductApiReply::itemLookup(const Echo& echo, const Lookup& lookup)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    writeEnvelopeStart(
        xml, QStringLiteral("ItemLookupResponse"), QStringLiteral("Items"), echo, lookup.valid);
    xml.writeStartElement(QStringLiteral("ItemLookupRequest"));
    xml.writeTextElement(QStringLiteral("IdType"), QStringLiteral("ASIN"));
    for (const QString& id : lookup.itemIds)
        xml.writeTextElement(QStringLiteral("ItemId"), id);
    for (const QString& group : lookup.responseGroups)
        xml.writeTextElement(QStringLiteral("ResponseGroup"), group);
    xml.writeTextElement(QStringLiteral("VariationPage"), QStringLiteral("All"));
    xml.writeEndElement();
    writeErrors(xml, lookup.errors);
    xml.writeEndElement(); // Request
    for (const SimulatedItem& item : lookup.items)
        writeItem(xml, echo.locale, item, lookup.groups);
    xml.writeEndElement(); // Items
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

QByteArray ProductApiReply::cartCreate(const Echo& echo, const Cart& cart)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    writeEnvelopeStart(
        xml, QStringLiteral("CartCreateResponse"), QStringLiteral("Cart"), echo, cart.valid);
    xml.writeStartElement(QStringLiteral("CartCreateRequest"));
    xml.writeStartElement(QStringLiteral("Items"));
    for (const CartLine& line : cart.requested) {
        xml.writeStartElement(QStringLiteral("Item"));
        xml.writeTextElement(QStringLiteral("OfferListingId"), line.offerListingId);
        xml.writeTextElement(QStringLiteral("Quantity"), QString::number(line.quantity));
        xml.writeEndElement();
    }
    xml.writeEndElement(); // Items
    xml.writeEndElement(); // CartCreateRequest
    writeErrors(xml, cart.errors);
    xml.writeEndElement(); // Request
    if (!cart.cartId.isEmpty()) {
        xml.writeTextElement(QStringLiteral("CartId"), cart.cartId);
        xml.writeTextElement(QStringLiteral("HMAC"), cart.hmac);
        xml.writeTextElement(QStringLiteral("URLEncodedHMAC"),
            QString::fromLatin1(QUrl::toPercentEncoding(cart.hmac)));
        xml.writeTextElement(QStringLiteral("PurchaseURL"), purchaseUrl(echo.locale, cart));
        writeCartItems(xml, echo.locale, cart);
    }
    xml.writeEndElement(); // Cart
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

QByteArray ProductApiReply::errorResponse(
    const QString& operation, const Error& error, const QString& requestId)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    const QString root = (operation.isEmpty() ? QStringLiteral("Request") : operation)
        + QStringLiteral("ErrorResponse");
    xml.writeStartElement(root);
    xml.writeDefaultNamespace(QStringLiteral("http://ecs.amazonaws.com/doc/2011-08-01/"));
    xml.writeStartElement(QStringLiteral("Error"));
    xml.writeTextElement(QStringLiteral("Code"), error.code);
    xml.writeTextElement(QStringLiteral("Message"), error.message);
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("RequestId"), requestId);
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

// Every answer opens the same way: the response element in the service's
// namespace, the echoed request, then the container ("Items" or "Cart") with
// its Request element and validity. The caller closes what it opened.
void ProductApiReply::writeEnvelopeStart(QXmlStreamWriter& xml, const QString& response,
    const QString& container, const Echo& echo, bool valid)
{
    xml.writeStartDocument();
    xml.writeStartElement(response);
    xml.writeDefaultNamespace(ServiceNamespace);
    writeOperationRequest(xml, echo);
    xml.writeStartElement(container);
    xml.writeStartElement(QStringLiteral("Request"));
    xml.writeTextElement(
        QStringLiteral("IsValid"), valid ? QStringLiteral("True") : QStringLiteral("False"));
}

void ProductApiReply::writeOperationRequest(QXmlStreamWriter& xml, const Echo& echo)
{
    xml.writeStartElement(QStringLiteral("OperationRequest"));
    xml.writeStartElement(QStringLiteral("HTTPHeaders"));
    xml.writeStartElement(QStringLiteral("Header"));
    xml.writeAttribute(QStringLiteral("Name"), QStringLiteral("UserAgent"));
    xml.writeAttribute(QStringLiteral("Value"), echo.userAgent);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("RequestId"), echo.requestId);
    xml.writeStartElement(QStringLiteral("Arguments"));
    for (const auto& parameter : echo.parameters) {
        // The signature is not echoed: it would only help someone replaying
        // the request.
        if (parameter.first == QLatin1String("Signature"))
            continue;
        xml.writeStartElement(QStringLiteral("Argument"));
        xml.writeAttribute(QStringLiteral("Name"), parameter.first);
        xml.writeAttribute(QStringLiteral("Value"), parameter.second);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeTextElement(
        QStringLiteral("RequestProcessingTime"), QStringLiteral("0.0041230000000000"));
    xml.writeEndElement();
}

void ProductApiReply::writeErrors(QXmlStreamWriter& xml, const QList<Error>& errors)
{
    if (errors.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("Errors"));
    for (const Error& error : errors) {
        xml.writeStartElement(QStringLiteral("Error"));
        xml.writeTextElement(QStringLiteral("Code"), error.code);
        xml.writeTextElement(QStringLiteral("Message"), error.message);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void ProductApiReply::writeItem(
    QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item, const Groups& groups)
{
    xml.writeStartElement(QStringLiteral("Item"));
    xml.writeTextElement(QStringLiteral("ASIN"), item.asin);
    if (groups.attributes)
        xml.writeTextElement(
            QStringLiteral("DetailPageURL"), productUrl(locale, QStringLiteral("dp"), item.asin));
    if (groups.images)
        writeImages(xml, item);
    if (groups.attributes)
        writeAttributes(xml, locale, item);
    if (groups.offerSummary)
        writeOfferSummary(xml, locale, item);
    if (groups.offers)
        writeOffers(xml, locale, item);
    xml.writeEndElement();
}

void ProductApiReply::writeImages(QXmlStreamWriter& xml, const SimulatedItem& item)
{
    if (item.images == SimulatedItem::ImageStyle::None)
        return;
    if (item.images == SimulatedItem::ImageStyle::Direct) {
        writeImage(xml, QStringLiteral("SmallImage"), item.asin, QStringLiteral("small"));
        writeImage(xml, QStringLiteral("MediumImage"), item.asin, QStringLiteral("medium"));
        writeImage(xml, QStringLiteral("LargeImage"), item.asin, QStringLiteral("large"));
    }
    xml.writeStartElement(QStringLiteral("ImageSets"));
    xml.writeStartElement(QStringLiteral("ImageSet"));
    xml.writeAttribute(QStringLiteral("Category"), QStringLiteral("primary"));
    writeImage(xml, QStringLiteral("SwatchImage"), item.asin, QStringLiteral("swatch"));
    writeImage(xml, QStringLiteral("SmallImage"), item.asin, QStringLiteral("small"));
    writeImage(xml, QStringLiteral("MediumImage"), item.asin, QStringLiteral("medium"));
    writeImage(xml, QStringLiteral("LargeImage"), item.asin, QStringLiteral("large"));
    xml.writeEndElement();
    xml.writeEndElement();
}

void ProductApiReply::writeImage(
    QXmlStreamWriter& xml, const QString& element, const QString& asin, const QString& size)
{
    const QString pixels = QString::number(ProductImage::side(size));
    xml.writeStartElement(element);
    xml.writeTextElement(QStringLiteral("URL"), ProductImage::url(asin, size));
    for (const QString& dimension : { QStringLiteral("Height"), QStringLiteral("Width") }) {
        xml.writeStartElement(dimension);
        xml.writeAttribute(QStringLiteral("Units"), QStringLiteral("pixels"));
        xml.writeCharacters(pixels);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

void ProductApiReply::writeAttributes(
    QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item)
{
    xml.writeStartElement(QStringLiteral("ItemAttributes"));
    xml.writeTextElement(QStringLiteral("Binding"), QStringLiteral("Misc."));
    if (item.listPrice > 0)
        writePrice(xml, QStringLiteral("ListPrice"), locale, item.listPrice);
    xml.writeTextElement(QStringLiteral("Manufacturer"), QStringLiteral("Pricewarden Sim Goods"));
    xml.writeTextElement(QStringLiteral("Title"), item.title);
    xml.writeEndElement();
}

void ProductApiReply::writeOfferSummary(
    QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item)
{
    const int totalNew = (item.hasOffer() ? 1 : 0) + (item.lowestNewPrice > 0 ? 1 : 0);
    xml.writeStartElement(QStringLiteral("OfferSummary"));
    if (item.lowestNewPrice > 0)
        writePrice(xml, QStringLiteral("LowestNewPrice"), locale, item.lowestNewPrice);
    if (item.lowestUsedPrice > 0)
        writePrice(xml, QStringLiteral("LowestUsedPrice"), locale, item.lowestUsedPrice);
    xml.writeTextElement(QStringLiteral("TotalNew"), QString::number(totalNew));
    xml.writeTextElement(
        QStringLiteral("TotalUsed"), QString::number(item.lowestUsedPrice > 0 ? 1 : 0));
    xml.writeTextElement(QStringLiteral("TotalCollectible"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("TotalRefurbished"), QStringLiteral("0"));
    xml.writeEndElement();
}

void ProductApiReply::writeOffers(
    QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item)
{
    const bool offered = item.hasOffer();
    xml.writeStartElement(QStringLiteral("Offers"));
    xml.writeTextElement(
        QStringLiteral("TotalOffers"), offered ? QStringLiteral("1") : QStringLiteral("0"));
    xml.writeTextElement(
        QStringLiteral("TotalOfferPages"), offered ? QStringLiteral("1") : QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("MoreOffersUrl"),
        offered ? productUrl(locale, QStringLiteral("gp/offer-listing"), item.asin)
                : QStringLiteral("0"));
    if (offered) {
        xml.writeStartElement(QStringLiteral("Offer"));
        xml.writeStartElement(QStringLiteral("Merchant"));
        xml.writeTextElement(QStringLiteral("Name"), merchantName(locale));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("OfferAttributes"));
        xml.writeTextElement(QStringLiteral("Condition"), QStringLiteral("New"));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("OfferListing"));
        xml.writeTextElement(QStringLiteral("OfferListingId"), item.offerListingId);
        writePrice(xml, QStringLiteral("Price"), locale, item.price);
        if (item.listPrice > item.price) {
            writePrice(xml, QStringLiteral("AmountSaved"), locale, item.listPrice - item.price);
            xml.writeTextElement(QStringLiteral("PercentageSaved"),
                QString::number((item.listPrice - item.price) * 100 / item.listPrice));
        }
        xml.writeTextElement(QStringLiteral("Availability"), item.availability);
        xml.writeStartElement(QStringLiteral("AvailabilityAttributes"));
        xml.writeTextElement(QStringLiteral("AvailabilityType"), QStringLiteral("now"));
        xml.writeTextElement(QStringLiteral("MinimumHours"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("MaximumHours"), QStringLiteral("0"));
        xml.writeEndElement();
        xml.writeTextElement(QStringLiteral("IsEligibleForSuperSaverShipping"),
            item.superSaverShipping ? QStringLiteral("1") : QStringLiteral("0"));
        xml.writeEndElement(); // OfferListing
        xml.writeEndElement(); // Offer
    }
    xml.writeEndElement();
}

void ProductApiReply::writePrice(
    QXmlStreamWriter& xml, const QString& element, const QString& locale, qint64 amount)
{
    xml.writeStartElement(element);
    xml.writeTextElement(QStringLiteral("Amount"), QString::number(amount));
    xml.writeTextElement(QStringLiteral("CurrencyCode"), StorePriceFormat::currencyCode(locale));
    xml.writeTextElement(
        QStringLiteral("FormattedPrice"), StorePriceFormat::format(locale, amount));
    xml.writeEndElement();
}

void ProductApiReply::writeCartItems(QXmlStreamWriter& xml, const QString& locale, const Cart& cart)
{
    qint64 subTotal = 0;
    for (const CartLine& line : cart.requested)
        subTotal += line.item.asin.isEmpty() ? 0 : line.item.price * line.quantity;
    writePrice(xml, QStringLiteral("SubTotal"), locale, subTotal);
    xml.writeStartElement(QStringLiteral("CartItems"));
    writePrice(xml, QStringLiteral("SubTotal"), locale, subTotal);
    int itemNumber = 0;
    for (const CartLine& line : cart.requested) {
        if (line.item.asin.isEmpty())
            continue;
        xml.writeStartElement(QStringLiteral("CartItem"));
        xml.writeTextElement(QStringLiteral("CartItemId"),
            QStringLiteral("U%1%2").arg(cart.cartId.right(6)).arg(++itemNumber));
        xml.writeTextElement(QStringLiteral("ASIN"), line.item.asin);
        xml.writeTextElement(QStringLiteral("SellerNickname"), merchantName(locale));
        xml.writeTextElement(QStringLiteral("Quantity"), QString::number(line.quantity));
        xml.writeTextElement(QStringLiteral("Title"), line.item.title);
        xml.writeTextElement(QStringLiteral("ProductGroup"), QStringLiteral("Home"));
        writePrice(xml, QStringLiteral("Price"), locale, line.item.price);
        writePrice(xml, QStringLiteral("ItemTotal"), locale, line.item.price * line.quantity);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

QString ProductApiReply::purchaseUrl(const QString& locale, const Cart& cart)
{
    return QStringLiteral("http://%1/gp/cart/aws-merge.html?cart-id=%2&associate-id=%3&hmac=%4"
                          "&MergeCart=False")
        .arg(Global::WebHost(locale), cart.cartId, Global::AssociateIdString.value(locale),
            QString::fromLatin1(QUrl::toPercentEncoding(cart.hmac)));
}

QString ProductApiReply::merchantName(const QString& locale)
{
    return QStringLiteral("Amazon.") + Global::CountryDomainSuffix.value(locale);
}
