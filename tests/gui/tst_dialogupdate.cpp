#include "DialogUpdate.h"
#include "ScratchEnvironment.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

// The new-version notice and the links of its release notes.
class TestDialogUpdate : public QObject
{
    Q_OBJECT

public slots:
    void Open(const QUrl& url) { m_opened << url; }

private slots:
    void showsVersionAndNotes();

private:
    ScratchEnvironment m_scratch;
    QList<QUrl> m_opened;
};

void TestDialogUpdate::showsVersionAndNotes()
{
    for (const char* scheme : { "http", "https", "file" })
        QDesktopServices::setUrlHandler(scheme, this, "Open");
    DialogUpdate dialog;
    dialog.SetVersionInfo({ { "LatestVersion", "<b>1.4</b>" },
        { "MoreInfo",
            "<p><a href=\"https://pricewarden.example/news\">Web</a> <a "
            "href=\"file:///etc/passwd\">File</a></p>" } });
    auto* label = dialog.findChild<QLabel*>("labelNewVersion");
    QCOMPARE(label->text(), "New version <b>1.4</b> is available.");
    QCOMPARE(label->textFormat(), Qt::PlainText);

    dialog.show();
    auto* notes = dialog.findChild<QTextBrowser*>("textBrowserInfo");
    for (const char* word : { "Web", "File" }) {
        QTextCursor anchor = notes->document()->find(word);
        anchor.setPosition(anchor.selectionStart() + 1);
        QTest::mouseClick(
            notes->viewport(), Qt::LeftButton, {}, notes->cursorRect(anchor).center());
    }
    // Only the web page opens, outside; the notes stay where they are.
    QCOMPARE(m_opened, QList<QUrl> { QUrl("https://pricewarden.example/news") });
    QCOMPARE(notes->toPlainText(), "Web File");

    for (const char* button : { "pushButton", "pushButton_2" }) {
        dialog.show();
        dialog.findChild<QPushButton*>(button)->click();
        QCOMPARE(dialog.result(), button == QLatin1String("pushButton") ? 1 : 0);
    }
}

QTEST_MAIN(TestDialogUpdate)
#include "tst_dialogupdate.moc"
