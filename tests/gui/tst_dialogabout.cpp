#include "DialogAbout.h"
#include "Global.h"
#include "ScratchEnvironment.h"
#include "ServiceManager.h"
#include "SimulatedStoreSession.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

// The about box and its check for a newer release.
class TestDialogAbout : public QObject
{
    Q_OBJECT

private slots:
    void everyShowingAsksAgain();
    void answer_data();
    void answer();

private:
    ScratchEnvironment m_scratch;
};

namespace {

const QString Failed
    = QStringLiteral("Can not check version information. \nPlease go to website for more info.");

QString NewVersionText(const DialogAbout& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("labelNewVersion"))->text();
}

} // namespace

void TestDialogAbout::everyShowingAsksAgain()
{
    SimulatedStoreSession session;
    QVERIFY(session.isReady());
    const auto versionQueries = [&session] {
        int count = 0;
        for (const SimulatedRequest& request : session.store().requestLog()) {
            count += request.target == SimulatedRequest::Target::VendorService
                && request.parameter(QStringLiteral("Service")) == QLatin1String("Version");
        }
        return count;
    };
    DialogAbout dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Pricewarden"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("labelVersion"))->text(),
        QStringLiteral("Version ") + Global::VersionString);
    QCOMPARE(NewVersionText(dialog), QStringLiteral("Checking for new version..."));
    QCOMPARE(versionQueries(), 0);

    // The simulated store does not answer for the vendor: the check fails.
    for (int showing = 1; showing <= 2; ++showing) {
        dialog.show();
        QTRY_COMPARE(versionQueries(), showing);
        QTRY_COMPARE(NewVersionText(dialog), Failed);
        dialog.hide();
    }
}

void TestDialogAbout::answer_data()
{
    QTest::addColumn<QVariantMap>("info"); // empty: the check failed
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("notes");
    const auto reply = [](const QString& latest, const QString& link) {
        return QVariantMap { { "Service", "Version" }, { "LatestVersion", latest },
            { "DownloadLink", link }, { "MoreInfo", "<p>Faster</p>" } };
    };
    const QString upToDate = QStringLiteral("Pricewarden is up to date.");
    const QString offer = QStringLiteral("New version %1 is available. <a "
                                         "href=\"https://pricewarden.example/get?a=1&amp;b=2\">"
                                         "Download here</a>.");
    const QString page = QStringLiteral("https://pricewarden.example/get?a=1&b=2");
    QTest::newRow("newer") << reply("1.4", page) << offer.arg("1.4") << true;
    QTest::newRow("newer, two digits") << reply("1.10", page) << offer.arg("1.10") << true;
    QTest::newRow("newer, link to a local file")
        << reply("1.4", "file:///usr/bin/xterm") << "New version 1.4 is available." << true;
    QTest::newRow("same") << reply(Global::VersionString, page) << upToDate << false;
    QTest::newRow("same, longer") << reply(Global::VersionString + ".0", page) << upToDate << false;
    QTest::newRow("older") << reply("1.2", page) << upToDate << false;
    QTest::newRow("no number") << QVariantMap { { "Service", "Version" } } << upToDate << false;
    QTest::newRow("error") << QVariantMap() << Failed << false;
}

void TestDialogAbout::answer()
{
    QFETCH(QVariantMap, info);
    QFETCH(QString, text);
    QFETCH(bool, notes);
    // Never shown, so no query of its own goes out; the answers come from
    // its client as if the service had sent them.
    DialogAbout dialog;
    auto* service = dialog.findChild<ServiceManager*>();
    if (info.isEmpty())
        emit service->Error(QStringLiteral("Network error: (1) refused"), "Version");
    else
        emit service->VersionInfoAvailable(info);
    QCOMPARE(NewVersionText(dialog), text);
    auto* browser = dialog.findChild<QTextBrowser*>(QStringLiteral("textBrowserReleaseNotes"));
    QCOMPARE(browser->isVisibleTo(&dialog), notes);
    QCOMPARE(browser->toPlainText(), notes ? QStringLiteral("Faster") : QString());

    // A later answer replaces the text; notes once shown stay.
    emit service->VersionInfoAvailable({ { "LatestVersion", Global::VersionString } });
    QCOMPARE(NewVersionText(dialog), QStringLiteral("Pricewarden is up to date."));
    QCOMPARE(browser->isVisibleTo(&dialog), notes);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    TestDialogAbout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogabout.moc"
