#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A program run to its end, with what it printed on both channels.
struct ProgramRun
{
    int exitCode = -1; // -1 when it did not start, crashed or ran too long
    QString output;
};

inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
    int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return { -1, program + QStringLiteral(": ") + process.errorString() };
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAll()) };
}
