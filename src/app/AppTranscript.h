#pragma once

#include <QFile>
#include <QObject>
#include <QUrl>

class QTextDocument;
class QWidget;

// A plain-text account of what the program shows and asks the desktop to
// do, for end-to-end and soak runs, which have no screen to look at. Only
// when the environment variable PRICEWARDEN_TRANSCRIPT names a file; users
// never set it. Each line is appended and flushed at once:
//   "log: <line>"     a new line of the log pane
//   "alert: <text>"   a new paragraph of the alert window
//   "error: <text>"   an error of the product client or the database, as the
//                     window's error box is given it
//   "open: <url>"     a page the program asks the desktop to open; the
//                     transcript takes the desktop's place, so nothing opens
class AppTranscript : public QObject
{
    Q_OBJECT

public:
    static constexpr char Variable[] = "PRICEWARDEN_TRANSCRIPT";

    // Watches the main window and its children; null when the variable is
    // not set or its file cannot be written. The window owns the transcript.
    static AppTranscript* InstallFromEnvironment(QWidget* window);
    ~AppTranscript() override;

public slots:
    void Open(const QUrl& url);
    void Error(const QString& text);

private:
    AppTranscript(QWidget* window, const QString& fileName);
    void Watch(QTextDocument* document, const char* kind);
    void Write(const char* kind, QString text);

    QFile m_file;
};
