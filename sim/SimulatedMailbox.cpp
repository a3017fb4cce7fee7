#include "SimulatedMailbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace {

// Header texts outside ASCII go as RFC 2047 encoded words.
QByteArray headerText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return "=?UTF-8?B?" + utf8.toBase64() + "?=";
    }
    return utf8;
}

// An address or subject never spans lines: a line break there would start
// a header of the sender's choosing.
QString singleLine(const QString& text)
{
    QString line = text;
    line.replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));
    return line;
}

} // namespace

void SimulatedMailbox::setFilePath(const QString& path)
{
    m_filePath = path;
}

bool SimulatedMailbox::deliver(const SimulatedMail& mail, QString* error)
{
    if (!m_filePath.isEmpty()) {
        QFile file(m_filePath);
        const bool fresh = !file.exists();
        if (!QDir().mkpath(QFileInfo(m_filePath).absolutePath())
            || !file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            *error = QStringLiteral("cannot write the mailbox %1: %2")
                         .arg(m_filePath, file.errorString());
            return false;
        }
        // Mail is private.
        if (fresh)
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray entry = mboxEntry(mail);
        if (file.write(entry) != entry.size() || !file.flush()) {
            *error = QStringLiteral("cannot write the mailbox %1: %2")
                         .arg(m_filePath, file.errorString());
            return false;
        }
    }
    m_mails.append(mail);
    if (m_mails.size() > MaximumKeptMails)
        m_mails.removeFirst();
    ++m_delivered;
    return true;
}

void SimulatedMailbox::clear()
{
    m_mails.clear();
}

QByteArray SimulatedMailbox::mboxEntry(const SimulatedMail& mail)
{
    const QLocale c = QLocale::c();
    const QDateTime date = mail.date.toUTC();
    // The date of the "From " line is in the form of C's asctime().
    const QString stamp = c.toString(date, QStringLiteral("ddd MMM "))
        + QString::number(date.date().day()).rightJustified(2, QLatin1Char(' '))
        + c.toString(date, QStringLiteral(" HH:mm:ss yyyy"));
    QByteArray entry = "From " + singleLine(mail.from).toUtf8() + ' ' + stamp.toUtf8() + '\n';
    entry += "From: " + singleLine(mail.from).toUtf8() + '\n';
    entry += "To: " + singleLine(mail.to).toUtf8() + '\n';
    entry += "Subject: " + headerText(singleLine(mail.subject)) + '\n';
    entry += "Date: " + c.toString(date, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss +0000")).toUtf8()
        + '\n';
    entry += "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
             "Content-Transfer-Encoding: 8bit\n\n";
    QString body = mail.body;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    static const QRegularExpression fromLine(
        QStringLiteral("^(>*From )"), QRegularExpression::MultilineOption);
    body.replace(fromLine, QStringLiteral(">\\1"));
    if (!body.endsWith(QLatin1Char('\n')))
        body += QLatin1Char('\n');
    return entry + body.toUtf8() + '\n';
}
