#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

// One request that reached the simulated store through its proxy side (the
// control interface's own requests are not logged).
struct SimulatedRequest
{
    enum class Target
    {
        ProductApi, // a store's product API host
        VendorService, // the vendor's service host
        Image, // the image host
        Unknown // any other host: answered 404
    };

    QDateTime arrival; // UTC, with milliseconds
    QString method; // "GET", "POST", ...
    QString host; // target host of the absolute-form request
    QString path; // decoded path, e.g. "/onca/xml"
    Target target = Target::Unknown;
    QString locale; // the store of a product API request ("us" ... "jp")
    QString operation; // "Operation" parameter of a product API request
    QList<QPair<QString, QString>> parameters; // decoded query parameters, in arrival order
    bool signatureValid = false; // signature, access key and timestamp all accepted
    QString rejection; // why a product API request was refused; empty when accepted
    int httpStatus = 0; // status sent (or to be sent); 0 when no answer is given
    QString fault; // name of the injected fault applied; empty when none

    // The decoded value of the first parameter of that name; empty if absent.
    QString parameter(const QString& name) const
    {
        for (const auto& pair : parameters) {
            if (pair.first == name)
                return pair.second;
        }
        return {};
    }
    bool hasParameter(const QString& name) const
    {
        for (const auto& pair : parameters) {
            if (pair.first == name)
                return true;
        }
        return false;
    }
};

Q_DECLARE_METATYPE(SimulatedRequest)
