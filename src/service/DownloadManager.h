#pragma once

#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <memory>

class QNetworkReply;
class QTemporaryFile;

// Fetches files one after the other into the image cache (Global::TempDir),
// each under the name GetSaveFileName() gives its URL. A URL already
// waiting is not queued twice.
//
// A download is written to a private temporary file beside its target and
// renamed into place only when it is complete, so a failed download leaves
// nothing behind and a link planted under the target name is replaced,
// never written through.
class DownloadManager : public QObject
{
    Q_OBJECT

public:
    // Product pictures are a few hundred KiB at most.
    static constexpr qint64 MaximumFileBytes = 16 * 1024 * 1024;
    // A download that stays silent this long fails, so that one dead host
    // cannot hold up the rest.
    static constexpr int TransferTimeoutMilliseconds = 60000;

    explicit DownloadManager(QObject* parent = nullptr);
    ~DownloadManager() override;

    void Append(const QUrl& url);
    // The text is taken as an already encoded URL.
    void Append(const QString& url);

    // Global::TempDir, "/", the URL's host, "." and the last component of
    // its path ("download" when that is empty). The same host and last
    // component give the same file.
    static QString GetSaveFileName(const QUrl& url);

signals:
    // The queue has run empty (also after a list that queued nothing).
    void Finished();
    void Error(QString);
    // URLs of the current list done with (fetched, failed or skipped), in
    // percent.
    void Progress(int);
    // A file is complete at this absolute path.
    void FileDownloaded(QString);

public slots:
    // Starts a new list: the progress counts begin again.
    void Append(QStringList urlList);

private slots:
    void StartNextDownload();
    void DownloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void DownloadFinished();
    void DownloadReadyRead();

private:
    bool OpenOutput(const QUrl& url);
    void CutOff(const QString& reason);
    QString StoreOutput();
    void CountFinished();

    QNetworkAccessManager m_manager;
    QList<QUrl> m_downloadQueue;
    QPointer<QNetworkReply> m_currentDownload;
    std::unique_ptr<QTemporaryFile> m_output;
    QString m_outputName;
    qint64 m_written = 0;
    QString m_failure; // why the download in progress was cut off
    int m_downloadedCount = 0;
    int m_totalCount = 0;
};
