#include "UnixSignalWatcher.h"

#include <QHash>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe between the signal handler and the event loop: [0] is read by the
// notifier, [1] written by the handler. It is made once and stays open for
// the life of the process, so the handler never writes to a closed
// descriptor.
int g_signalPipe[2] = { -1, -1 };

void WriteSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // The write end does not block: with a full pipe the number is lost, the
    // handler never hangs.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &number, 1);
    errno = savedErrno;
}

struct Relay
{
    QSocketNotifier* notifier = nullptr;
    QList<UnixSignalWatcher*> watchers;
    QHash<int, struct sigaction> previousActions;
};

Relay& TheRelay()
{
    static Relay relay;
    return relay;
}

bool OpenSignalPipe()
{
    if (g_signalPipe[0] >= 0)
        return true;
    return ::pipe2(g_signalPipe, O_NONBLOCK | O_CLOEXEC) == 0;
}

QList<int> DrainSignalPipe()
{
    QList<int> numbers;
    unsigned char buffer[64];
    for (;;) {
        const ssize_t count = ::read(g_signalPipe[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        for (ssize_t i = 0; i < count; ++i)
            numbers << buffer[i];
    }
    return numbers;
}

void DeliverPendingSignals()
{
    const QList<int> numbers = DrainSignalPipe();
    QList<QPointer<UnixSignalWatcher>> watchers;
    for (UnixSignalWatcher* watcher : std::as_const(TheRelay().watchers))
        watchers << watcher;
    for (const int number : numbers) {
        for (const QPointer<UnixSignalWatcher>& watcher : std::as_const(watchers)) {
            if (watcher && watcher->watchedSignals().contains(number))
                emit watcher->unixSignal(number);
        }
    }
}

bool StartNotifier()
{
    Relay& relay = TheRelay();
    if (relay.notifier)
        return true;
    if (!OpenSignalPipe())
        return false;
    // Numbers left over from watchers that are gone belong to nobody now.
    DrainSignalPipe();
    relay.notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(relay.notifier, &QSocketNotifier::activated, relay.notifier,
        [] { DeliverPendingSignals(); });
    return true;
}

bool InstallHandler(int signalNumber)
{
    Relay& relay = TheRelay();
    if (relay.previousActions.contains(signalNumber))
        return true;
    struct sigaction action = {};
    action.sa_handler = WriteSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    struct sigaction previous = {};
    if (::sigaction(signalNumber, &action, &previous) != 0)
        return false;
    relay.previousActions.insert(signalNumber, previous);
    return true;
}

bool SignalStillWatched(int signalNumber)
{
    for (const UnixSignalWatcher* watcher : std::as_const(TheRelay().watchers)) {
        if (watcher->watchedSignals().contains(signalNumber))
            return true;
    }
    return false;
}

void RestoreHandler(int signalNumber)
{
    Relay& relay = TheRelay();
    if (!relay.previousActions.contains(signalNumber))
        return;
    const struct sigaction previous = relay.previousActions.take(signalNumber);
    ::sigaction(signalNumber, &previous, nullptr);
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(QObject* parent)
    : QObject(parent)
{
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    Relay& relay = TheRelay();
    relay.watchers.removeAll(this);
    for (const int signalNumber : std::as_const(m_signals)) {
        if (!SignalStillWatched(signalNumber))
            RestoreHandler(signalNumber);
    }
    if (relay.watchers.isEmpty()) {
        delete relay.notifier;
        relay.notifier = nullptr;
    }
}

bool UnixSignalWatcher::watch(int signalNumber)
{
    if (m_signals.contains(signalNumber))
        return true;
    if (signalNumber <= 0 || signalNumber > 255 || !StartNotifier())
        return false;
    Relay& relay = TheRelay();
    if (!relay.watchers.contains(this))
        relay.watchers << this;
    if (!InstallHandler(signalNumber)) {
        if (m_signals.isEmpty())
            relay.watchers.removeAll(this);
        return false;
    }
    m_signals << signalNumber;
    return true;
}
