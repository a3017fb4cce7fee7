#pragma once

#include "HttpAnswer.h"
#include "ProductApiReply.h"
#include "ProductApiSignature.h"
#include "SimulatedCatalogue.h"

#include <QDateTime>
#include <QString>

// Answers one product API request (GET /onca/xml on a store's API host)
// from the catalogue: the signature and timestamp checks, then ItemLookup
// or CartCreate.
class ProductApiService
{
public:
    struct Request
    {
        QString method;
        QString host;
        QString path;
        QString locale;
        QString userAgent;
        ProductApiSignature::Parameters parameters;
    };

    struct Settings
    {
        ProductApiSignature::Account account;
        bool checkSignature = true;
        QDateTime now;
        int cartNumber = 0; // makes each created cart's identifier unique
    };

    struct Outcome
    {
        HttpAnswer answer;
        bool signatureValid = false;
        QString rejection; // why the request was refused, empty when it was served
    };

    static constexpr int MaximumItemIds = 10;

    static Outcome answer(
        const Request& request, const SimulatedCatalogue& catalogue, const Settings& settings);

private:
    static QString parameter(const Request& request, const QString& name);
    static Outcome refused(const Request& request, int status, const ProductApiReply::Error& error);
    static bool checkSignature(const Request& request, const Settings& settings, Outcome* refusal);
    static HttpAnswer itemLookup(const Request& request, const SimulatedCatalogue& catalogue);
    static bool readResponseGroups(
        const QStringList& names, ProductApiReply::Groups* groups, QString* unknownName);
    static HttpAnswer cartCreate(
        const Request& request, const SimulatedCatalogue& catalogue, const Settings& settings);
    static void readCartLines(
        const Request& request, const SimulatedCatalogue& catalogue, ProductApiReply::Cart* cart);
    static ProductApiReply::Echo echoOf(const Request& request);
    static QString requestId(const Request& request);
};
