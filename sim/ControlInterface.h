#pragma once

#include "HttpAnswer.h"
#include "SimulatedRequest.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

class SimulatedStore;

// The simulated store's JSON control interface, reached in origin form on
// its own address (http://127.0.0.1:<port>/control/...). Every answer is a
// JSON object; failures carry {"error": "..."} with status 400, 404 or 405.
// The endpoints are listed in docs/simulator.md.
class ControlInterface
{
public:
    explicit ControlInterface(SimulatedStore& store);

    HttpAnswer answer(
        const QString& method, const QString& path, const QString& query, const QByteArray& body);

    static QJsonObject requestToJson(const SimulatedRequest& request);

private:
    HttpAnswer status() const;
    HttpAnswer log(const QString& method, const QString& query);
    HttpAnswer catalogue(const QString& method, const QStringList& rest, const QByteArray& body);
    HttpAnswer item(
        const QString& method, const QString& locale, const QString& asin, const QByteArray& body);
    HttpAnswer faults(const QString& method, const QByteArray& body);
    HttpAnswer tick(const QString& method, const QByteArray& body);
    HttpAnswer settings(const QString& method, const QByteArray& body);
    HttpAnswer release(const QString& method);
    HttpAnswer mail(const QString& method);
    HttpAnswer version(const QString& method, const QByteArray& body);
    QJsonObject faultList() const;

    static HttpAnswer ok(const QJsonObject& object);
    static HttpAnswer failure(int status, const QString& message);
    static HttpAnswer wrongMethod(const QString& allowed);
    static bool readObject(const QByteArray& body, QJsonObject* object, QString* error);

    SimulatedStore& m_store;
};
