#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One e-mail the simulated vendor service accepted for delivery.
struct SimulatedMail
{
    QDateTime date; // when it was accepted, by the store's clock (UTC)
    QString from;
    QString to;
    QString subject;
    QString body;
};

// Where the simulated vendor service delivers e-mails: appended to an mbox
// file that any mail client can open (mboxrd: a "From " line before each
// mail, body lines that begin with "From " or ">From " quoted with one more
// ">"), and kept readable in memory for the control interface.
class SimulatedMailbox
{
public:
    // The newest mails kept in memory; the file keeps all of them.
    static constexpr int MaximumKeptMails = 1000;

    // An empty path keeps mails in memory only.
    void setFilePath(const QString& path);
    QString filePath() const { return m_filePath; }

    // Appends the mail to the file (made with its directory if missing) and
    // to the list. False, with a reason, when the file cannot be written;
    // the mail is then not delivered at all.
    bool deliver(const SimulatedMail& mail, QString* error);
    QList<SimulatedMail> mails() const { return m_mails; }
    int deliveredCount() const { return m_delivered; }
    void clear();

    // The mail as one mbox entry, "From " line to the closing blank line.
    static QByteArray mboxEntry(const SimulatedMail& mail);

private:
    QString m_filePath;
    QList<SimulatedMail> m_mails;
    int m_delivered = 0;
};
