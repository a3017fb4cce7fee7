#pragma once

#include <QProcess>

// QProcess::waitForFinished() answers false for a process that has already
// ended, which happens whenever a test processed events (QTRY_*, a signal
// spy) while the child was exiting. This waits only when there is still
// something to wait for.
inline bool WaitForExit(QProcess& process, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning)
        return true;
    return process.waitForFinished(timeoutMs) || process.state() == QProcess::NotRunning;
}
