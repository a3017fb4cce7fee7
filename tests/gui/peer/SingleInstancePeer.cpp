// Starts like pricewarden (message handler, single instance, activation
// window, -minimize, SIGTERM/SIGINT) with a plain main window, and reports on
// stdout, one line each, what happened:
//   "primary minimized=<0|1> visible=<0|1>"   it runs as the first instance
//   "message <text> minimized=<0|1> visible=<0|1>"   a later start woke it
//   "signal <number>"   a watched signal arrived; the event loop ends
//   "exited <code>"   the event loop returned
//   "sent <0|1>"   it was a later start and delivered its message (or not)
// PEER_MESSAGE and PEER_TIMEOUT_MS change the message a later start sends
// and how long it waits (default "Wake up!", 5000 ms).
#include "CommandLine.h"
#include "MessageHandler.h"
#include "SingleApplication.h"
#include "UnixSignalWatcher.h"

#include <QMainWindow>
#include <csignal>
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

int SendToRunningInstance(SingleApplication& app)
{
    bool ok = false;
    const int configuredTimeout = qEnvironmentVariableIntValue("PEER_TIMEOUT_MS", &ok);
    const QString configuredMessage = qEnvironmentVariable("PEER_MESSAGE");
    const bool sent = app.sendMessage(
        configuredMessage.isEmpty() ? QStringLiteral("Wake up!") : configuredMessage,
        ok ? configuredTimeout : 5000);
    Report(QStringLiteral("sent %1").arg(int(sent)));
    return sent ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(myMessageOutput);
    SingleApplication app(argc, argv);
    if (app.isRunning())
        return SendToRunningInstance(app);

    QMainWindow window;
    window.show();
    app.setActivationWindow(&window, true);
    if (CommandLine::StartMinimized(QCoreApplication::arguments()))
        window.showMinimized();

    QObject::connect(
        &app, &SingleApplication::messageReceived, &window, [&window](const QString& message) {
            Report(QStringLiteral("message %1 %2").arg(message, WindowState(window)));
        });
    UnixSignalWatcher signalWatcher;
    signalWatcher.watch(SIGTERM);
    signalWatcher.watch(SIGINT);
    QObject::connect(&signalWatcher, &UnixSignalWatcher::unixSignal, &app, [](int signalNumber) {
        Report(QStringLiteral("signal %1").arg(signalNumber));
        QCoreApplication::quit();
    });

    Report(QStringLiteral("primary %1").arg(WindowState(window)));
    const int exitCode = app.exec();
    Report(QStringLiteral("exited %1").arg(exitCode));
    return exitCode;
}
