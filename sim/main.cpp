// pricewarden-sim: the simulated store as a process of its own, for the
// demo, the end-to-end tests and anyone without access to the real API.

#include "Global.h"
#include "SimulatedStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace {

struct Options
{
    quint16 port = 0;
    int tickSeconds = 60;
    quint32 seed = 1;
    QString catalogueFile;
    QString mailboxFile;
    bool signatureCheck = true;
    bool quiet = false;
};

bool readNumber(const QCommandLineParser& parser, const QString& name, qulonglong maximum,
    qulonglong* value, QString* error)
{
    if (!parser.isSet(name))
        return true;
    bool numeric = false;
    const qulonglong number = parser.value(name).toULongLong(&numeric);
    if (!numeric || number > maximum) {
        *error = QStringLiteral("--%1 needs a whole number from 0 to %2").arg(name).arg(maximum);
        return false;
    }
    *value = number;
    return true;
}

bool parseOptions(const QCoreApplication& app, Options* options, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated product API and vendor service for Pricewarden. Point http_proxy at the "
        "printed address."));
    parser.addHelpOption();
    parser.addOption({ QStringLiteral("port"),
        QStringLiteral("Port on 127.0.0.1 (default 0: a free port)."), QStringLiteral("N") });
    parser.addOption({ QStringLiteral("tick"),
        QStringLiteral("Seconds between price and stock changes; 0 freezes them (default 60)."),
        QStringLiteral("SECONDS") });
    parser.addOption({ QStringLiteral("seed"),
        QStringLiteral("Seed of the price schedule (default 1)."), QStringLiteral("N") });
    parser.addOption({ QStringLiteral("catalogue"),
        QStringLiteral("JSON catalogue replacing the built-in one."), QStringLiteral("FILE") });
    parser.addOption({ QStringLiteral("mbox"),
        QStringLiteral("Mailbox file that alert e-mails are appended to (default: "
                       "pricewarden-sim.mbox in the user's data directory)."),
        QStringLiteral("FILE") });
    parser.addOption({ QStringLiteral("no-signature-check"),
        QStringLiteral("Accept product API and vendor service requests whatever their "
                       "signature.") });
    parser.addOption(
        { QStringLiteral("quiet"), QStringLiteral("Do not log each request on stderr.") });
    parser.process(app);

    qulonglong port = 0;
    qulonglong tick = 60;
    qulonglong seed = 1;
    if (!readNumber(parser, QStringLiteral("port"), 65535, &port, error)
        || !readNumber(parser, QStringLiteral("tick"), 86400, &tick, error)
        || !readNumber(parser, QStringLiteral("seed"), 4294967295ULL, &seed, error))
        return false;
    options->port = quint16(port);
    options->tickSeconds = int(tick);
    options->seed = quint32(seed);
    options->catalogueFile = parser.value(QStringLiteral("catalogue"));
    options->mailboxFile = parser.isSet(QStringLiteral("mbox"))
        ? parser.value(QStringLiteral("mbox"))
        : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
            + QStringLiteral("/pricewarden-sim.mbox");
    options->signatureCheck = !parser.isSet(QStringLiteral("no-signature-check"));
    options->quiet = parser.isSet(QStringLiteral("quiet"));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setApplicationName(QStringLiteral("pricewarden-sim"));
    QTextStream err(stderr);

    Options options;
    QString error;
    if (!parseOptions(app, &options, &error)) {
        err << "pricewarden-sim: " << error << Qt::endl;
        return 2;
    }
    // The same compiled-in defaults and INI override as the app, so both
    // agree on keys, tags and hosts without further setup.
    Global::InitializeSettings();

    SimulatedStore store;
    if (!options.catalogueFile.isEmpty() && !store.loadCatalogue(options.catalogueFile, &error)) {
        err << "pricewarden-sim: catalogue " << options.catalogueFile << ": " << error << Qt::endl;
        return 2;
    }
    store.setSeed(options.seed);
    store.setTickSeconds(options.tickSeconds);
    store.setSignatureCheckEnabled(options.signatureCheck);
    store.setLogToStderr(!options.quiet);
    store.setMailboxFile(QFileInfo(options.mailboxFile).absoluteFilePath());
    if (!store.listen(options.port)) {
        err << "pricewarden-sim: cannot listen on 127.0.0.1:" << options.port << Qt::endl;
        return 1;
    }

    QTextStream out(stdout);
    out << "http_proxy=" << store.proxyUrl() << Qt::endl;
    err << "pricewarden-sim: control interface at " << store.proxyUrl() << "/control/status"
        << ", images on " << SimulatedStore::imageHost() << ", vendor service on "
        << Global::DomainName << ", mail to " << store.mailboxFile() << ", tick "
        << options.tickSeconds << " s, seed " << options.seed << Qt::endl;
    return app.exec();
}
