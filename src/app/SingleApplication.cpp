#include "SingleApplication.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtEndian>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// A message travels as its UTF-8 length (4 bytes, big-endian) and its UTF-8
// bytes; the receiver confirms it with one byte.
constexpr int HeaderBytes = 4;
constexpr quint32 MaxMessageBytes = 64 * 1024;
constexpr char Acknowledgement = '\x06';
// A sender that connects and never completes its message is dropped.
constexpr int IncompleteMessageTimeoutMs = 10000;
// How long the sender waits before retrying when the running process holds
// the lock but does not listen yet.
constexpr qint64 ConnectRetryMs = 20;
// Socket addresses are limited to about a hundred bytes; longer runtime
// directories fall back to the temporary directory.
constexpr int MaxSocketPathBytes = 90;

QString CurrentUserId()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

QString FileNameSafe(const QString& text)
{
    QString safe;
    for (const QChar c : text.toLower())
        safe += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QLatin1Char('_');
    return safe;
}

int RemainingMs(const QDeadlineTimer& deadline)
{
    return deadline.isForever() ? -1 : static_cast<int>(deadline.remainingTime());
}

QByteArray Frame(const QString& message)
{
    const QByteArray text = message.toUtf8();
    QByteArray frame(HeaderBytes, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(text.size()), frame.data());
    return frame + text;
}

bool ConnectBeforeDeadline(
    QLocalSocket& socket, const QString& path, const QDeadlineTimer& deadline)
{
    for (;;) {
        socket.connectToServer(path);
        if (socket.waitForConnected(RemainingMs(deadline)))
            return true;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        const qint64 pause = deadline.isForever()
            ? ConnectRetryMs
            : std::min(ConnectRetryMs, deadline.remainingTime());
        QThread::msleep(static_cast<unsigned long>(pause));
    }
}

bool WriteAll(QLocalSocket& socket, const QByteArray& data, const QDeadlineTimer& deadline)
{
    if (socket.write(data) != data.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(RemainingMs(deadline)))
            return false;
    }
    return true;
}

bool ReadAcknowledgement(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(RemainingMs(deadline)))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == Acknowledgement;
}

} // namespace

SingleApplication::SingleApplication(int& argc, char** argv, const QString& appId)
    : QApplication(argc, argv)
    , m_appId(appId)
    , m_serverPath(serverPath(appId))
{
    m_bOtherInstanceRunning = !BecomePrimary();
}

SingleApplication::~SingleApplication()
{
    // Stop listening before the lock goes, so that a process starting right
    // now never finds the lock free while this one still answers.
    delete m_server;
    m_server = nullptr;
    m_lockFile.reset();
}

QString SingleApplication::serverPath(const QString& appId)
{
    const QString user = CurrentUserId();
    const QString dataLocation
        = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QByteArray scope
        = (appId + QLatin1Char('\n') + user + QLatin1Char('\n') + dataLocation).toUtf8();
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(scope, QCryptographicHash::Sha256).toHex().left(16));
    const QString name = FileNameSafe(appId) + QLatin1Char('-') + user + QLatin1Char('-') + digest;

    QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const auto fits = [&name](const QString& dir) {
        return QFile::encodeName(dir + QLatin1Char('/') + name + QStringLiteral(".lock")).size()
            <= MaxSocketPathBytes;
    };
    if (directory.isEmpty() || !fits(directory))
        directory = QDir::tempPath();
    return directory + QLatin1Char('/') + name;
}

bool SingleApplication::BecomePrimary()
{
    auto lock = std::make_unique<QLockFile>(m_serverPath + QStringLiteral(".lock"));
    // Only a dead owner makes a lock stale: Qt's default would also give up a
    // lock older than 30 s whose owner still runs.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lockFile = std::move(lock);
    } else if (lock->error() == QLockFile::LockFailedError) {
        return false;
    } else if (AnotherServerAnswers()) {
        // The lock cannot even be created here; the socket still tells
        // whether another process runs.
        return false;
    }

    // Holding the lock while another process answers on the socket happens
    // only when two starts took over the same stale lock at once; the one
    // that listens first wins.
    if (AnotherServerAnswers()) {
        m_lockFile.reset();
        return false;
    }
    // What is left at the socket path belongs to a killed process.
    QLocalServer::removeServer(m_serverPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(m_serverPath);
    connect(m_server, &QLocalServer::newConnection, this, &SingleApplication::OnNewConnection);
    return true;
}

bool SingleApplication::AnotherServerAnswers() const
{
    QLocalSocket probe;
    probe.connectToServer(m_serverPath);
    return probe.waitForConnected(1000);
}

bool SingleApplication::sendMessage(const QString& message, int nTimeoutMs)
{
    if (!m_bOtherInstanceRunning)
        return false;
    const QDeadlineTimer deadline(nTimeoutMs);
    QLocalSocket socket;
    if (!ConnectBeforeDeadline(socket, m_serverPath, deadline))
        return false;
    return WriteAll(socket, Frame(message), deadline) && ReadAcknowledgement(socket, deadline);
}

void SingleApplication::setActivationWindow(QWidget* window, bool bActivateOnMessage)
{
    m_activationWindow = window;
    m_bActivateOnMessage = bActivateOnMessage;
}

void SingleApplication::activateWindow()
{
    if (!m_activationWindow)
        return;
    if (m_activationWindow->isHidden())
        m_activationWindow->show();
    m_activationWindow->setWindowState(
        (m_activationWindow->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_activationWindow->raise();
    m_activationWindow->activateWindow();
}

void SingleApplication::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessage(socket); });
        QTimer::singleShot(IncompleteMessageTimeoutMs, socket, [socket] { socket->abort(); });
        ReadMessage(socket);
    }
}

void SingleApplication::ReadMessage(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < HeaderBytes)
        return;
    const quint32 length = qFromBigEndian<quint32>(socket->peek(HeaderBytes).constData());
    if (length > MaxMessageBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < HeaderBytes + static_cast<qint64>(length))
        return;
    socket->skip(HeaderBytes);
    const QString message = QString::fromUtf8(socket->read(length));
    socket->putChar(Acknowledgement);
    socket->flush();
    if (m_bActivateOnMessage)
        activateWindow();
    emit messageReceived(message);
}
