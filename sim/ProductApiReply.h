#pragma once

#include "SimulatedItem.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QXmlStreamWriter;

// Writes the product API's 2011-08-01 XML replies: ItemLookup, CartCreate
// and the "<Operation>ErrorResponse" of a refused request.
class ProductApiReply
{
public:
    struct Error
    {
        QString code;
        QString message;
    };

    // Which parts of an item a lookup asked for.
    struct Groups
    {
        bool attributes = false;
        bool images = false;
        bool offerSummary = false;
        bool offers = false;
    };

    // What every reply echoes of its request.
    struct Echo
    {
        QString locale;
        QString userAgent;
        QList<QPair<QString, QString>> parameters;
        QString requestId;
    };

    struct Lookup
    {
        bool valid = true;
        QStringList itemIds;
        QStringList responseGroups;
        Groups groups;
        QList<Error> errors;
        QList<SimulatedItem> items;
    };

    struct CartLine
    {
        QString offerListingId;
        int quantity = 1;
        SimulatedItem item; // empty ASIN when the listing is unknown
    };

    struct Cart
    {
        bool valid = true;
        QList<CartLine> requested;
        QList<Error> errors;
        QString cartId; // empty: no cart was created
        QString hmac;
    };

    static QByteArray itemLookup(const Echo& echo, const Lookup& lookup);
    static QByteArray cartCreate(const Echo& echo, const Cart& cart);
    static QByteArray errorResponse(
        const QString& operation, const Error& error, const QString& requestId);

private:
    static void writeEnvelopeStart(QXmlStreamWriter& xml, const QString& response,
        const QString& container, const Echo& echo, bool valid);
    static void writeOperationRequest(QXmlStreamWriter& xml, const Echo& echo);
    static void writeErrors(QXmlStreamWriter& xml, const QList<Error>& errors);
    static void writeItem(QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item,
        const Groups& groups);
    static void writeImages(QXmlStreamWriter& xml, const SimulatedItem& item);
    static void writeImage(
        QXmlStreamWriter& xml, const QString& element, const QString& asin, const QString& size);
    static void writeAttributes(
        QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item);
    static void writeOfferSummary(
        QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item);
    static void writeOffers(
        QXmlStreamWriter& xml, const QString& locale, const SimulatedItem& item);
    static void writePrice(
        QXmlStreamWriter& xml, const QString& element, const QString& locale, qint64 amount);
    static void writeCartItems(QXmlStreamWriter& xml, const QString& locale, const Cart& cart);
    static QString purchaseUrl(const QString& locale, const Cart& cart);
    static QString merchantName(const QString& locale);
};
