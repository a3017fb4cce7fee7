// Starts like pricewarden (message handler, single instance, activation
// window, -minimize) with a plain main window, and reports on stdout, one
// line each, what happened:
//   "primary minimized=<0|1> visible=<0|1>"   it runs as the first instance
//   "message <text> minimized=<0|1> visible=<0|1>"   a later start woke it
//   "sent <0|1>"   it was a later start and delivered "Wake up!" (or not)
// PEER_TIMEOUT_MS changes how long a later start waits (default 5000 ms).
#include "CommandLine.h"
#include "MessageHandler.h"
#include "SingleApplication.h"

#include <QMainWindow>
#include <cstdio>

namespace {

void Report(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString WindowState(const QWidget& window)
{
    return QStringLiteral("minimized=%1 visible=%2")
        .arg(int(window.isMinimized()))
        .arg(int(window.isVisible()));
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(myMessageOutput);
    SingleApplication app(argc, argv);
    if (app.isRunning()) {
        bool ok = false;
        const int timeoutMs = qEnvironmentVariableIntValue("PEER_TIMEOUT_MS", &ok);
        const bool sent = app.sendMessage(QStringLiteral("Wake up!"), ok ? timeoutMs : 5000);
        Report(QStringLiteral("sent %1").arg(int(sent)));
        return sent ? 0 : 1;
    }

    QMainWindow window;
    window.show();
    app.setActivationWindow(&window, true);
    if (CommandLine::StartMinimized(QCoreApplication::arguments()))
        window.showMinimized();
    QObject::connect(
        &app, &SingleApplication::messageReceived, &window, [&window](const QString& message) {
            Report(QStringLiteral("message %1 %2").arg(message, WindowState(window)));
        });
    Report(QStringLiteral("primary %1").arg(WindowState(window)));
    return app.exec();
}
