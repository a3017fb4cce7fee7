#include "DialogUpdate.h"
#include "ScratchEnvironment.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

// The new-version notice.
class TestDialogUpdate : public QObject
{
    Q_OBJECT

public slots:
    void Open(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase();
    void showsVersionAndNotes_data();
    void showsVersionAndNotes();

private:
    ScratchEnvironment m_scratch;
    QList<QUrl> m_opened;
};

void TestDialogUpdate::initTestCase()
{
    for (const char* scheme : { "http", "https", "file", "mailto" })
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "Open");
}

void TestDialogUpdate::showsVersionAndNotes_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("result");
    QTest::newRow("web link, download") << "https://pricewarden.example/news"
                                        << "pushButton" << true << int(QDialog::Accepted);
    QTest::newRow("local file, cancel") << "file:///etc/passwd"
                                        << "pushButton_2" << false << int(QDialog::Rejected);
    QTest::newRow("other scheme") << "mailto:a@example.org"
                                  << "pushButton" << false << int(QDialog::Accepted);
}

void TestDialogUpdate::showsVersionAndNotes()
{
    QFETCH(QString, link);
    QFETCH(QString, button);
    QFETCH(bool, opened);
    QFETCH(int, result);
    m_opened.clear();
    DialogUpdate dialog;
    dialog.SetVersionInfo({ { "LatestVersion", "<b>1.4</b>" },
        { "MoreInfo", QStringLiteral("<p>Faster. <a href=\"%1\">More</a></p>").arg(link) } });
    QCOMPARE(dialog.findChild<QLabel*>("labelNewVersion")->text(),
        QStringLiteral("New version <b>1.4</b> is available."));
    QCOMPARE(dialog.findChild<QLabel*>("labelNewVersion")->textFormat(), Qt::PlainText);
    auto* notes = dialog.findChild<QTextBrowser*>("textBrowserInfo");
    QCOMPARE(notes->toPlainText(), QStringLiteral("Faster. More"));

    dialog.show();
    QTextCursor anchor = notes->document()->find(QStringLiteral("More"));
    anchor.setPosition(anchor.selectionStart() + 1);
    QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, notes->cursorRect(anchor).center());
    QCOMPARE(m_opened, opened ? QList<QUrl> { QUrl(link) } : QList<QUrl>());
    // The notes stay; the browser did not follow the link itself.
    QCOMPARE(notes->toPlainText(), QStringLiteral("Faster. More"));
    dialog.findChild<QPushButton*>(button)->click();
    QCOMPARE(dialog.result(), result);
}

QTEST_MAIN(TestDialogUpdate)
#include "tst_dialogupdate.moc"
