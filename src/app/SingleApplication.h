#pragma once

#include <QApplication>
#include <QPointer>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// The application object of a program that runs once per user and data
// directory. The first process to start takes a lock file and listens on a
// local socket; every later start finds the lock taken (isRunning()) and
// passes its message to the running process with sendMessage(), which then
// brings its activation window to the front.
//
// Lock and socket live in the per-user runtime directory and are named after
// the application id, the user and the per-user data location, so two
// programs, two users or two test runs with their own data directories never
// meet. A process that was killed leaves both files behind; the next start
// recognises them as stale and takes over.
class SingleApplication : public QApplication
{
    Q_OBJECT

public:
    SingleApplication(int& argc, char** argv, const QString& appId = QStringLiteral("Pricewarden"));
    ~SingleApplication() override;

    // True when another process of this application already runs for this
    // user; decided once, at construction.
    bool isRunning() const { return m_bOtherInstanceRunning; }

    // Hands `message` to the running process. True only when that process
    // confirmed receipt within `nTimeoutMs`; always false in the running
    // process itself.
    bool sendMessage(const QString& message, int nTimeoutMs = 5000);

    // The window brought to the front (un-minimised, raised, activated) when
    // a message arrives and `bActivateOnMessage` is on.
    void setActivationWindow(QWidget* window, bool bActivateOnMessage = true);
    QWidget* activationWindow() const { return m_activationWindow; }

    QString id() const { return m_appId; }

    // The local socket a process of `appId` listens on, for the current user
    // and environment; its lock file is the same path with ".lock".
    static QString serverPath(const QString& appId);

public slots:
    void activateWindow();

signals:
    void messageReceived(const QString& message);

private slots:
    void OnNewConnection();

private:
    bool BecomePrimary();
    bool AnotherServerAnswers() const;
    void ReadMessage(QLocalSocket* socket);

    QString m_appId;
    QString m_serverPath;
    std::unique_ptr<QLockFile> m_lockFile;
    QLocalServer* m_server = nullptr;
    QPointer<QWidget> m_activationWindow;
    bool m_bActivateOnMessage = false;
    bool m_bOtherInstanceRunning = false;
};
