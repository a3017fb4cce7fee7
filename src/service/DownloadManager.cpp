#include "DownloadManager.h"

#include "Global.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>

DownloadManager::DownloadManager(QObject* parent)
    : QObject(parent)
{
    // Images come through the system proxy, like every other request.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

DownloadManager::~DownloadManager()
{
    if (m_currentDownload) {
        disconnect(m_currentDownload, nullptr, this, nullptr);
        delete m_currentDownload;
    }
}

QString DownloadManager::GetSaveFileName(const QUrl& url)
{
    QString component = QFileInfo(url.path()).fileName();
    if (component.isEmpty())
        component = QStringLiteral("download");
    return QDir(Global::TempDir).absoluteFilePath(url.host() + QLatin1Char('.') + component);
}

void DownloadManager::Append(const QUrl& url)
{
    if (m_downloadQueue.contains(url))
        return;
    m_downloadQueue.append(url);
    ++m_totalCount;
    if (m_downloadQueue.size() == 1 && !m_currentDownload)
        QTimer::singleShot(0, this, &DownloadManager::StartNextDownload);
}

void DownloadManager::Append(const QString& url)
{
    Append(QUrl::fromEncoded(url.toLocal8Bit()));
}

void DownloadManager::Append(QStringList urlList)
{
    m_downloadedCount = 0;
    m_totalCount = 0;
    for (const QString& url : std::as_const(urlList))
        Append(url);
    if (m_downloadQueue.isEmpty())
        QTimer::singleShot(0, this, &DownloadManager::Finished);
}

void DownloadManager::StartNextDownload()
{
    if (m_currentDownload)
        return;
    // A URL that cannot be stored is skipped at once, and the next one tried.
    while (!m_downloadQueue.isEmpty()) {
        const QUrl url = m_downloadQueue.takeFirst();
        if (!OpenOutput(url)) {
            CountFinished();
            continue;
        }
        QNetworkRequest request(url);
        request.setTransferTimeout(TransferTimeoutMilliseconds);
        m_currentDownload = m_manager.get(request);
        connect(m_currentDownload, &QNetworkReply::downloadProgress, this,
            &DownloadManager::DownloadProgress);
        connect(
            m_currentDownload, &QNetworkReply::finished, this, &DownloadManager::DownloadFinished);
        connect(m_currentDownload, &QNetworkReply::readyRead, this,
            &DownloadManager::DownloadReadyRead);
        return;
    }
    emit Finished();
}

// The bytes go to a fresh private file in the cache directory; nothing is
// opened under the final name, where a link may have been planted.
bool DownloadManager::OpenOutput(const QUrl& url)
{
    m_outputName = GetSaveFileName(url);
    m_written = 0;
    m_failure.clear();
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        emit Error(tr("Download '%1' refused: only http and https addresses are fetched.")
                       .arg(url.toString()));
        return false;
    }
    m_output = std::make_unique<QTemporaryFile>(
        QFileInfo(m_outputName).absoluteDir().filePath(QStringLiteral(".download-XXXXXX")));
    if (m_output->open())
        return true;
    emit Error(tr("Problem opening save file '%1' for download '%2': %3")
                   .arg(m_outputName, url.toString(), m_output->errorString()));
    m_output.reset();
    return false;
}

void DownloadManager::DownloadReadyRead()
{
    if (!m_currentDownload || !m_failure.isEmpty())
        return;
    const QByteArray data = m_currentDownload->readAll();
    if (m_written + data.size() > MaximumFileBytes) {
        CutOff(tr("Download '%1' is larger than %2 MiB.")
                   .arg(m_currentDownload->url().toString())
                   .arg(MaximumFileBytes / (1024 * 1024)));
        return;
    }
    if (m_output->write(data) != data.size()) {
        CutOff(tr("Problem writing save file '%1': %2").arg(m_outputName, m_output->errorString()));
        return;
    }
    m_written += data.size();
}

void DownloadManager::DownloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    Q_UNUSED(bytesReceived);
    if (bytesTotal > MaximumFileBytes && m_currentDownload && m_failure.isEmpty())
        CutOff(tr("Download '%1' is larger than %2 MiB.")
                   .arg(m_currentDownload->url().toString())
                   .arg(MaximumFileBytes / (1024 * 1024)));
}

// Aborting finishes the reply; DownloadFinished reports the reason.
void DownloadManager::CutOff(const QString& reason)
{
    m_failure = reason;
    m_currentDownload->abort();
}

void DownloadManager::DownloadFinished()
{
    QNetworkReply* reply = m_currentDownload;
    if (!reply)
        return;
    if (m_failure.isEmpty() && reply->isOpen() && reply->bytesAvailable() > 0)
        DownloadReadyRead();
    if (m_failure.isEmpty() && reply->error() != QNetworkReply::NoError)
        m_failure = reply->errorString();
    const QString stored = m_failure.isEmpty() ? StoreOutput() : QString();
    // The temporary file, if it is still there, goes with its object.
    m_output.reset();
    if (stored.isEmpty())
        emit Error(m_failure);
    else
        emit FileDownloaded(stored);

    CountFinished();

    disconnect(reply, nullptr, this, nullptr);
    reply->deleteLater();
    m_currentDownload = nullptr;
    StartNextDownload();
}

// A skipped URL counts as finished too, so that a list always ends at 100.
void DownloadManager::CountFinished()
{
    ++m_downloadedCount;
    // A new list may have reset the count while this download ran.
    emit Progress(m_totalCount > 0 ? std::min(100, m_downloadedCount * 100 / m_totalCount) : 100);
}

// Renames the complete file into place. rename() replaces whatever has the
// target name, a symbolic link included, and never follows it. Returns the
// stored path, or an empty text with m_failure set.
QString DownloadManager::StoreOutput()
{
    if (!m_output->flush()) {
        m_failure
            = tr("Problem writing save file '%1': %2").arg(m_outputName, m_output->errorString());
        return QString();
    }
    const QString temporary = m_output->fileName();
    m_output->close();
    if (std::rename(
            QFile::encodeName(temporary).constData(), QFile::encodeName(m_outputName).constData())
        != 0) {
        m_failure = tr("Problem storing download as '%1'.").arg(m_outputName);
        return QString();
    }
    m_output->setAutoRemove(false);
    return m_outputName;
}
