// pricewarden-demo-seed: fills the Pricewarden profile of the environment it
// runs in (XDG_DATA_HOME and so on) with the demo's watch list and a year of
// price history. scripts/demo runs it in a profile of its own.
//
// With --soak it seeds the profile of a long unattended run instead
// (scripts/soak): the catalogue the store is to serve goes to the file given
// with --catalogue, the watch list into the profile, and options that start
// watching at once, every --interval seconds, mailing alerts to --email.

#include "CatalogueJson.h"
#include "DatabaseManager.h"
#include "DemoProfile.h"
#include "Global.h"
#include "SoakProfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {

int SeedSoakProfile(const QCommandLineParser& parser, const QString& databaseFile)
{
    QTextStream err(stderr);
    bool countOk = false;
    bool intervalOk = false;
    const int count = parser.value(QStringLiteral("soak")).toInt(&countOk);
    const int interval = parser.value(QStringLiteral("interval")).toInt(&intervalOk);
    const QString catalogueFile = parser.value(QStringLiteral("catalogue"));
    if (!countOk || count < 1 || count > 9999 || !intervalOk || interval < 1
        || catalogueFile.isEmpty()) {
        err << "pricewarden-demo-seed: --soak needs 1 to 9999 items, --interval seconds and "
               "--catalogue FILE"
            << Qt::endl;
        return 2;
    }
    const SimulatedCatalogue catalogue = SoakProfile::Catalogue(count);
    QSaveFile file(catalogueFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(CatalogueJson::write(catalogue)) < 0
        || !file.commit()) {
        err << "pricewarden-demo-seed: " << catalogueFile << ": " << file.errorString() << Qt::endl;
        return 1;
    }
    QString error;
    if (!SoakProfile::Seed(databaseFile, catalogue,
            SoakProfile::Options(interval, parser.value(QStringLiteral("email"))), &error)) {
        err << "pricewarden-demo-seed: " << error << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "Soak watch list of " << count << " items in " << databaseFile
                        << ", catalogue in " << catalogueFile << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The app's own names, so the file is the one the app opens here.
    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    Global::InitializeSettings();

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({
        { QStringLiteral("soak"), QStringLiteral("Seed a soak run of N items."),
            QStringLiteral("N") },
        { QStringLiteral("catalogue"), QStringLiteral("Where the soak catalogue goes."),
            QStringLiteral("FILE") },
        { QStringLiteral("interval"), QStringLiteral("Seconds between two polls."),
            QStringLiteral("SECONDS"), QStringLiteral("5") },
        { QStringLiteral("email"), QStringLiteral("Address of the alert e-mails."),
            QStringLiteral("ADDRESS"), QStringLiteral("soak@pricewarden.example") },
    });
    parser.process(app);

    QTextStream err(stderr);
    const QString file = DatabaseManager::DefaultFilePath();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        err << "pricewarden-demo-seed: cannot create the directory of " << file << Qt::endl;
        return 1;
    }
    if (parser.isSet(QStringLiteral("soak")))
        return SeedSoakProfile(parser, file);
    QString error;
    if (!DemoProfile::Seed(file, QDate::currentDate(), &error)) {
        err << "pricewarden-demo-seed: " << file << ": " << error << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "Demo watch list and price history in " << file << Qt::endl;
    return 0;
}
