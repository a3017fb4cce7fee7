#pragma once

#include <QDir>
#include <QFile>
#include <QTest>

// Qt Multimedia loads the samples of QSoundEffect in a thread of its own
// ("QSampleCache::LoadingThread"), which ends when nothing is left to load.
// At exit the cache's destructor locks a mutex and then waits for that
// thread, while the thread, still busy with a sample, waits for the same
// mutex: the process hangs (or, cut short, leaks the sample). A test that
// plays sounds therefore ends only after the thread has (its cleanup()
// verifies WaitUntilIdle()).
namespace SampleLoader {

inline bool IsRunning()
{
    const QStringList threads
        = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& thread : threads) {
        QFile name(QStringLiteral("/proc/self/task/%1/comm").arg(thread));
        // The kernel keeps the first 15 bytes of a thread's name.
        if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("QSampleCache"))
            return true;
    }
    return false;
}

// QTRY_VERIFY gives up at once in cleanup(), where the test has already
// passed; this waits for the condition all the same.
inline bool WaitUntilIdle()
{
    return QTest::qWaitFor([] { return !IsRunning(); }, 10000);
}

} // namespace SampleLoader
