#include "AppTranscript.h"
#include "ApplicationIcon.h"
#include "BuildConfig.h"
#include "CommandLine.h"
#include "Global.h"
#include "MainWindow.h"
#include "MessageHandler.h"
#include "RuntimeReport.h"
#include "SingleApplication.h"
#include "Translations.h"
#include "UnixSignalWatcher.h"

#include <QMessageBox>
#include <csignal>
#include <cstdio>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int WakeUpTimeoutMs = 5000;

void ShowInitializationFailure()
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("main", "Critial Error"),
        QCoreApplication::translate("main",
            "Program failed to initialize. Data will not be saved! Please close it and try "
            "again."),
        QMessageBox::Ok);
    box.exec();
}

QStringList ArgumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
#if defined(__GLIBC__)
    // Now and then a run holds one large block for a moment: a reply read up
    // to its size limit before it is refused. glibc then raises its mapping
    // threshold to that size and keeps such blocks in the heap once freed,
    // resident for the rest of a run that lasts weeks. A fixed threshold maps
    // every large block afresh and gives it back as soon as it is freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    qInstallMessageHandler(myMessageOutput);

    // Answered without the single-instance application: it needs no display
    // and never reaches a running instance. The plain application object only
    // carries the translation.
    const QStringList arguments = ArgumentList(argc, argv);
    if (!CommandLine::InformationText(arguments).isEmpty()) {
        QCoreApplication informationApp(argc, argv);
        const Translations translations;
        std::fputs(CommandLine::InformationText(arguments).toLocal8Bit().constData(), stdout);
        return 0;
    }

    SingleApplication app(argc, argv);
    if (app.isRunning())
        return app.sendMessage(QStringLiteral("Wake up!"), WakeUpTimeoutMs) ? 0 : 1;
    // Before the first text is shown: the start-up failure box, the window.
    const Translations translations;

    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setOrganizationDomain(Global::DomainName);
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    // Ties the windows to the installed desktop entry (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral(PRICEWARDEN_DESKTOP_ID));
    QApplication::setWindowIcon(ApplicationIcon::Create());
    if (!Global::Initialize()) {
        ShowInitializationFailure();
        return 0;
    }

    MainWindow window;
    AppTranscript::InstallFromEnvironment(&window);
    window.show();
    app.setActivationWindow(&window, true);
    if (CommandLine::StartMinimized(QCoreApplication::arguments()))
        window.showMinimized();

    // The session manager ends the desktop with SIGTERM, a terminal with
    // SIGINT: both leave through the event loop instead of killing the
    // process. SIGUSR1 asks what a long run has piled up (on stderr).
    UnixSignalWatcher signalWatcher;
    signalWatcher.watch(SIGTERM);
    signalWatcher.watch(SIGINT);
    signalWatcher.watch(SIGUSR1);
    QObject::connect(
        &signalWatcher, &UnixSignalWatcher::unixSignal, &window, [&window](int signalNumber) {
            if (signalNumber != SIGUSR1) {
                window.Quit();
                return;
            }
            const QString line = QStringLiteral("pricewarden: ")
                + RuntimeReport::Line(RuntimeReport::Count()) + QLatin1Char('\n');
            std::fputs(line.toLocal8Bit().constData(), stderr);
            std::fflush(stderr);
        });

    return app.exec();
}
