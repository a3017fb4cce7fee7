// pricewarden-demo-seed: fills the Pricewarden profile of the environment it
// runs in (XDG_DATA_HOME and so on) with the demo's watch list and a year of
// price history. scripts/demo runs it in a profile of its own.

#include "DatabaseManager.h"
#include "DemoProfile.h"
#include "Global.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The app's own names, so the file is the one the app opens here.
    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    Global::InitializeSettings();

    QTextStream err(stderr);
    const QString file = DatabaseManager::DefaultFilePath();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        err << "pricewarden-demo-seed: cannot create the directory of " << file << Qt::endl;
        return 1;
    }
    QString error;
    if (!DemoProfile::Seed(file, QDate::currentDate(), &error)) {
        err << "pricewarden-demo-seed: " << file << ": " << error << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "Demo watch list and price history in " << file << Qt::endl;
    return 0;
}
