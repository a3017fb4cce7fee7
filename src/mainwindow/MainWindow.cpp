#include "MainWindow.h"

#include <QCoreApplication>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QCoreApplication::applicationName());
    resize(800, 560);
}
