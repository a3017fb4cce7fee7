#pragma once

#include <QList>
#include <QObject>

// Turns POSIX signals such as SIGTERM and SIGINT into the Qt signal
// unixSignal(), delivered by the event loop of the thread the watcher lives
// in, so that the program can end in order when the desktop session ends or
// the user presses Ctrl+C in a terminal.
//
// The signal handler only writes the signal number into a pipe (the one
// thing it may safely do); a socket notifier reads it back on the event loop.
// Several watchers may exist at once. When the last watcher of a signal goes,
// the signal's earlier disposition comes back.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

    // Starts watching `signalNumber`. False when no handler can be installed
    // for it (an invalid number, SIGKILL, SIGSTOP).
    bool watch(int signalNumber);
    QList<int> watchedSignals() const { return m_signals; }

signals:
    void unixSignal(int signalNumber);

private:
    QList<int> m_signals;
};
