#include "DialogAbout.h"
#include "Global.h"
#include "ScratchEnvironment.h"
#include "ServiceManager.h"
#include "SimulatedStoreSession.h"

#include <QLabel>
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

const QString Failed = "Can not check version information. \nPlease go to website for more info.";
const QString UpToDate = "Pricewarden is up to date.";

QString Label(const DialogAbout& dialog, const char* name)
{
    return dialog.findChild<QLabel*>(name)->text();
}

} // namespace

void TestDialogAbout::everyShowingAsksAgain()
{
    SimulatedStoreSession session;
    QVERIFY(session.isReady());
    const auto queries = [&session] {
        int count = 0;
        for (const SimulatedRequest& request : session.store().requestLog())
            count += request.target == SimulatedRequest::Target::VendorService
                && request.parameter("Service") == "Version";
        return count;
    };
    // The store's vendor service fails both checks.
    SimulatedFault fault;
    fault.kind = SimulatedFault::Kind::Http500;
    fault.target = SimulatedFault::Target::VendorService;
    fault.count = 2;
    session.store().injectFault(fault);
    DialogAbout dialog;
    QCOMPARE(Label(dialog, "labelVersion"), "Version " + Global::VersionString);
    QCOMPARE(Label(dialog, "labelNewVersion"), "Checking for new version...");
    for (int showing = 1; showing <= 2; ++showing) {
        dialog.show();
        QTRY_COMPARE(queries(), showing);
        QTRY_COMPARE(Label(dialog, "labelNewVersion"), Failed);
        dialog.hide();
    }
}

void TestDialogAbout::answer_data()
{
    QTest::addColumn<QString>("latest"); // null: the check failed
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("text");
    const QString page = "https://pricewarden.example/get?a=1&b=2";
    const QString offer = "New version %1 is available. <a "
                          "href=\"https://pricewarden.example/get?a=1&amp;b=2\">Download here</a>.";
    const auto row = [](const char* name, const QString& latest, const QString& link,
                         const QString& text) { QTest::newRow(name) << latest << link << text; };
    row("newer", "1.4", page, offer.arg("1.4"));
    row("newer, two digits", "1.10", page, offer.arg("1.10"));
    row("newer, local file link", "1.4", "file:///usr/bin/xterm", "New version 1.4 is available.");
    row("same", Global::VersionString, page, UpToDate);
    row("no number", "", page, UpToDate);
    row("error", QString(), QString(), Failed);
}

void TestDialogAbout::answer()
{
    QFETCH(QString, latest);
    QFETCH(QString, link);
    QFETCH(QString, text);
    // Never shown, so it sends nothing; its client answers as the service would.
    DialogAbout dialog;
    auto* service = dialog.findChild<ServiceManager*>();
    if (latest.isNull())
        emit service->Error("Network error: (1) refused", "Version");
    else
        emit service->VersionInfoAvailable({ { "LatestVersion", latest }, { "DownloadLink", link },
            { "MoreInfo", "<p>New</p>" } });
    QCOMPARE(Label(dialog, "labelNewVersion"), text);
    const bool notes = text.startsWith("New version");
    auto* browser = dialog.findChild<QTextBrowser*>("textBrowserReleaseNotes");
    QCOMPARE(browser->isVisibleTo(&dialog), notes);
    QCOMPARE(browser->toPlainText(), notes ? "New" : "");

    // A later answer replaces the text; notes once shown stay.
    emit service->VersionInfoAvailable({ { "LatestVersion", Global::VersionString } });
    QCOMPARE(Label(dialog, "labelNewVersion"), UpToDate);
    QCOMPARE(browser->isVisibleTo(&dialog), notes);
}

QTEST_MAIN(TestDialogAbout)
#include "tst_dialogabout.moc"
