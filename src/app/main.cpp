#include "Global.h"
#include "MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    Global::Initialize();
    MainWindow window;
    window.show();
    return app.exec();
}
