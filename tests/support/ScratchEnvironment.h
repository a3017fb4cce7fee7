#pragma once

#include <QString>
#include <QTemporaryDir>

// Gives a test its own configuration and data directories: QStandardPaths in
// test mode, and a temporary directory for anything else the test writes.
class ScratchEnvironment
{
public:
    ScratchEnvironment();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
