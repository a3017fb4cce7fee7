#include "AppTranscript.h"

#include "AmazonConnector.h"
#include "DatabaseManager.h"
#include "DialogAlert.h"

#include <QDesktopServices>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <memory>

AppTranscript* AppTranscript::InstallFromEnvironment(QWidget* window)
{
    const QString fileName = qEnvironmentVariable(Variable);
    if (fileName.isEmpty())
        return nullptr;
    auto* transcript = new AppTranscript(window, fileName);
    if (transcript->m_file.isOpen())
        return transcript;
    delete transcript;
    return nullptr;
}

AppTranscript::AppTranscript(QWidget* window, const QString& fileName)
    : QObject(window)
    , m_file(fileName)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    if (auto* log = window->findChild<QTextBrowser*>(QStringLiteral("textBrowserLog")))
        Watch(log->document(), "log");
    if (auto* alerts = window->findChild<DialogAlert*>()) {
        if (auto* paragraphs = alerts->findChild<QTextBrowser*>())
            Watch(paragraphs->document(), "alert");
    }
    for (auto* client : window->findChildren<AmazonConnector*>())
        connect(client, &AmazonConnector::Error, this, &AppTranscript::Error);
    for (auto* database : window->findChildren<DatabaseManager*>())
        connect(database, &DatabaseManager::Error, this, &AppTranscript::Error);
    for (const char* scheme : { "http", "https" })
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
}

AppTranscript::~AppTranscript()
{
    if (!m_file.isOpen())
        return;
    for (const char* scheme : { "http", "https" })
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

// Both panes only ever gain whole paragraphs at their end. What they hold
// already is written at once: the window logs the automatic start of
// watching before the transcript is installed.
void AppTranscript::Watch(QTextDocument* document, const char* kind)
{
    auto written = std::make_shared<int>(0);
    const auto writeNew = [this, document, kind, written] {
        if (document->isEmpty()) {
            *written = 0;
            return;
        }
        for (int i = *written; i < document->blockCount(); ++i)
            Write(kind, document->findBlockByNumber(i).text());
        *written = document->blockCount();
    };
    connect(document, &QTextDocument::contentsChanged, this, writeNew);
    writeNew();
}

void AppTranscript::Open(const QUrl& url)
{
    Write("open", QString::fromUtf8(url.toEncoded()));
}

void AppTranscript::Error(const QString& text)
{
    Write("error", text);
}

void AppTranscript::Write(const char* kind, QString text)
{
    // One line per event: line breaks inside a paragraph become blanks.
    text.replace(QChar::LineSeparator, QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_file.write(QByteArray(kind) + ": " + text.toUtf8() + '\n');
    m_file.flush();
}
