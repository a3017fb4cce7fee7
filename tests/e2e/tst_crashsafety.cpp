#include "AmazonConnector.h"
#include "AppTranscript.h"
#include "DatabaseManager.h"
#include "Global.h"
#include "ItemRecordKeys.h"
#include "MainWindow.h"
#include "OptionKeys.h"
#include "ProcessWait.h"
#include "SimulatedStore.h"
#include "WatchCycle.h"
#include "WatchListWidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <map>

// The program killed at random moments while it polls, alerts and saves
// edits made through its window, then started again on the same profile.
// After every kill the file must hold each edit the window had confirmed,
// pass SQLite's integrity check, and no alert may have reacted twice.
// CRASH_SEED repeats a run; the seed is printed either way.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void killedAtRandomMoments();

private:
    enum class Phase
    {
        Polling,
        Alerting,
        Editing
    };
    QProcessEnvironment Profile() const;
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString DatabaseFile() const { return Path("data/Pricewarden/Pricewarden/userdata.dat"); }
    void Seed();
    // Arms the next alert of one of the alert items, unless its last one
    // has not fired yet; answers the item's locale.
    QString Arm();
    // Waits for the moment the phase is about, then kills 0 to 300 ms later.
    void KillAfterTrigger(Phase phase, const QString& alertLocale);
    void CheckProfile();
    void ReadEditReports();
    QStringList Transcript(const QString& kind) const;

    QTemporaryDir m_dir;
    SimulatedStore m_store;
    QProcess m_process;
    QRandomGenerator m_random;
    int m_generation = 0;
    int m_nextEdit = 1;
    int m_confirmedEdits = 0;
    // Per edited value: what the window confirmed, and what it was saving.
    std::map<QString, QString> m_confirmed;
    std::map<QString, QString> m_pending;
    QString m_output;
};

namespace {

const char ChildFlag[] = "--edit-child";
const QString Email = QStringLiteral("crash@example.org");

// Watched for price drops with every reaction; re-armed with a new price
// and offer for every alert, so each alert's mail, cart and paragraph can
// be told apart.
const std::pair<const char*, const char*> AlertItems[]
    = { { "us", "B0PW000001" }, { "de", "B0PW000001" } };
// Edited through the window: a price line far below the price, a condition
// of an item that is out of stock, and an item removed and added again.
// None of them can alert.
const char LineItem[] = "B0PW000007";
const char ConditionItem[] = "B0PW000003";
const char AddedItem[] = "B0PW000002";

QString Bin(const char* name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// --- the editing child -----------------------------------------------------

void Report(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Edit n of the script: the edited value's name and its new value.
std::pair<QString, QString> EditOf(int n, bool bAddedPresent)
{
    switch (n % 3) {
    case 0:
        return { "line", QString::number(1.0 + (n % 89) / 100.0, 'f', 2) };
    case 1:
        return { "condition", QString::number((n / 3) % 3) };
    default:
        return { "present", bAddedPresent ? "0" : "1" };
    }
}

// Arguments: the flag and the number of the first edit. Edits follow each
// other as fast as the window takes them: "try <n> <name> <value>" before
// edit n, "confirmed <n>" once the window has saved it.
int EditChildMain(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    Global::Initialize();
    MainWindow window;
    AppTranscript::InstallFromEnvironment(&window);
    window.findChild<AmazonConnector*>()->SetPause(0);
    window.show();
    auto& list = *window.findChild<WatchListWidget*>(QStringLiteral("treeWidgetWatchList"));
    const auto present = [&list] {
        for (const QVariant& item : list.GetItems()) {
            if (item.toMap().value(ItemKey::Asin) == AddedItem)
                return true;
        }
        return false;
    };

    int n = QCoreApplication::arguments().value(2).toInt();
    bool bAdding = false;
    QTimer editor;
    QObject::connect(&editor, &QTimer::timeout, &window, [&] {
        if (bAdding) {
            if (!present())
                return;
            bAdding = false;
            Report(QStringLiteral("confirmed %1").arg(n++));
            return;
        }
        const auto [name, value] = EditOf(n, present());
        Report(QStringLiteral("try %1 %2 %3").arg(n).arg(name, value));
        if (name == QLatin1String("line")) {
            list.SetCurrentItem(LineItem, QStringLiteral("us"));
            window.findChild<QDoubleSpinBox*>(QStringLiteral("doubleSpinBoxPriceLine"))
                ->setValue(value.toDouble());
        } else if (name == QLatin1String("condition")) {
            static const char* const buttons[]
                = { "radioButtonDoNotWatch", "radioButtonItemInStock", "radioButtonPriceDrop" };
            list.SetCurrentItem(ConditionItem, QStringLiteral("us"));
            window.findChild<QRadioButton*>(QLatin1String(buttons[value.toInt()]))->click();
        } else if (value == QLatin1String("0")) {
            list.SetCurrentItem(AddedItem, QStringLiteral("us"));
            window.findChild<QAction*>(QStringLiteral("actionRemove"))->trigger();
        } else {
            window.findChild<QLineEdit*>(QStringLiteral("lineEditAsin"))->setText(AddedItem);
            window.OnButtonAdd();
            bAdding = true;
            return;
        }
        Report(QStringLiteral("confirmed %1").arg(n++));
    });
    editor.start(5);
    return app.exec();
}

} // namespace

// --- the test side -----------------------------------------------------------

void TestCrashSafety::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_store.listen());
    for (const char* dir : { "home", "config", "data", "cache", "tmp", "run" })
        QVERIFY(QDir().mkpath(Path(dir)));
    QFile::setPermissions(Path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    bool ok = false;
    quint32 seed = qEnvironmentVariableIntValue("CRASH_SEED", &ok);
    if (!ok)
        seed = QRandomGenerator::global()->generate();
    m_random.seed(seed);
    connect(&m_process, &QProcess::readyReadStandardOutput, this,
        [this] { m_output += QString::fromUtf8(m_process.readAllStandardOutput()); });
    qInfo("crash test seed %u (CRASH_SEED=%u repeats this run)", seed, seed);
    Seed();
}

void TestCrashSafety::cleanup()
{
    m_process.kill();
    WaitForExit(m_process, 5000);
}

QProcessEnvironment TestCrashSafety::Profile() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QList<std::pair<const char*, QString>> variables { { "HOME", Path("home") },
        { "XDG_CONFIG_HOME", Path("config") }, { "XDG_DATA_HOME", Path("data") },
        { "XDG_CACHE_HOME", Path("cache") }, { "XDG_RUNTIME_DIR", Path("run") },
        { "TMPDIR", Path("tmp") }, { "QT_QPA_PLATFORM", "offscreen" }, { "PRICEWARDEN_CONFIG", "" },
        { "http_proxy", m_store.proxyUrl() }, { "no_proxy", "127.0.0.1,localhost" },
        { AppTranscript::Variable, Path("transcript.txt") },
        { WatchCycle::MinimumIntervalVariable, "1" }, { "DBUS_SESSION_BUS_ADDRESS", "" } };
    for (const auto& [name, value] : variables)
        environment.insert(QString::fromLatin1(name), value);
    return environment;
}

void TestCrashSafety::Seed()
{
    QVariantList items;
    for (const auto& [locale, asin] : AlertItems) {
        // Above the line until armed.
        QVERIFY(m_store.setPrice(locale, asin, 9000));
        items << QVariantMap { { ItemKey::Asin, asin }, { ItemKey::Locale, locale },
            { ItemKey::WatchCondition, WatchCondition::NotWatched }, { ItemKey::PriceLine, 50.0 },
            { ItemKey::ActionEmail, true }, { ItemKey::ActionWebPage, true },
            { ItemKey::ActionCreateCart, true }, { ItemKey::Quantity, 1 } };
    }
    items << QVariantMap { { ItemKey::Asin, LineItem }, { ItemKey::Locale, "us" },
        { ItemKey::WatchCondition, WatchCondition::PriceDrop }, { ItemKey::PriceLine, 1.0 } };
    items << QVariantMap { { ItemKey::Asin, ConditionItem }, { ItemKey::Locale, "us" },
        { ItemKey::WatchCondition, WatchCondition::NotWatched } };
    QVERIFY(QDir().mkpath(QFileInfo(DatabaseFile()).path()));
    {
        DatabaseManager database(DatabaseFile());
        database.SaveItems(items);
        QCOMPARE(database.GetItems(QString()).size(), items.size());
    }
    m_confirmed = { { "line", "1.00" }, { "condition", "0" }, { "present", "0" } };

    QSettings settings(Path("config/Pricewarden/Pricewarden.conf"), QSettings::IniFormat);
    settings.setValue("MainWindow/Options",
        QVariantMap { { OptionKey::AutoStart, true }, { OptionKey::Email, Email },
            { OptionKey::WatchIntervalSeconds, 1 }, { OptionKey::PlaySound, false } });
    settings.setValue("Amazon/Locale", "us");
    settings.setValue("DialogConfirm/RemoveItem", true);
}

QString TestCrashSafety::Arm()
{
    const auto& [locale, asin] = AlertItems[m_random.bounded(2)];
    DatabaseManager database(DatabaseFile());
    for (const QVariant& item : database.GetItems(QString())) {
        QVariantMap record = item.toMap();
        if (record.value(ItemKey::Asin) != asin || record.value(ItemKey::Locale) != locale
            || record.value(ItemKey::WatchCondition).toInt() != WatchCondition::NotWatched)
            continue;
        ++m_generation;
        m_store.setPrice(locale, asin, 2000 - m_generation);
        m_store.setOfferListingId(locale, asin, QStringLiteral("crash%1").arg(m_generation));
        record.insert(ItemKey::WatchCondition, WatchCondition::PriceDrop);
        database.SaveItems({ record });
    }
    return locale;
}

void TestCrashSafety::KillAfterTrigger(Phase phase, const QString& alertLocale)
{
    const QString operation
        = QStringList { "ItemLookup", "SendEmail", "CartCreate" }[m_random.bounded(3)];
    bool bTriggered = false;
    const auto trigger = [&](const SimulatedRequest& request) {
        if (phase == Phase::Polling)
            bTriggered = true;
        else if (phase == Phase::Alerting && request.operation == operation)
            bTriggered |= operation != QLatin1String("ItemLookup") || request.locale == alertLocale;
    };
    const QMetaObject::Connection connection
        = connect(&m_store, &SimulatedStore::requestLogged, this, trigger);
    const bool bEditing = phase == Phase::Editing;
    m_output.clear();
    m_process.setProcessEnvironment(Profile());
    if (bEditing)
        m_process.start(
            QCoreApplication::applicationFilePath(), { ChildFlag, QString::number(m_nextEdit) });
    else
        m_process.start(Bin("pricewarden"));
    QTRY_VERIFY_WITH_TIMEOUT(
        bTriggered || m_output.contains(QLatin1String("confirmed ")), (bEditing ? 30000 : 15000));
    disconnect(connection);
    bool bAliveAtKill = false;
    QTimer::singleShot(m_random.bounded(301), this, [this, &bAliveAtKill] {
        bAliveAtKill = m_process.state() == QProcess::Running;
        if (bAliveAtKill)
            ::kill(pid_t(m_process.processId()), SIGKILL);
    });
    QTRY_VERIFY_WITH_TIMEOUT(m_process.state() == QProcess::NotRunning, 10000);
    QVERIFY2(bAliveAtKill, m_process.readAllStandardError().constData());
    m_output += QString::fromUtf8(m_process.readAllStandardOutput());
    ReadEditReports();
}

void TestCrashSafety::ReadEditReports()
{
    for (const QString& line : m_output.split('\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(' ');
        if (words.value(0) == QLatin1String("try")) {
            m_pending = { { words.value(2), words.value(3) } };
        } else if (words.value(0) == QLatin1String("confirmed")) {
            QCOMPARE(words.value(1).toInt(), m_nextEdit);
            m_confirmed[m_pending.begin()->first] = m_pending.begin()->second;
            m_pending.clear();
            ++m_nextEdit;
            ++m_confirmedEdits;
        }
    }
}

QStringList TestCrashSafety::Transcript(const QString& kind) const
{
    QFile file(Path("transcript.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith(kind + ": "))
            lines << line.mid(kind.size() + 2);
    }
    return lines;
}

void TestCrashSafety::CheckProfile()
{
    {
        DatabaseManager database(DatabaseFile());
        QSqlQuery sql(QSqlDatabase::database(database.ConnectionName()));
        QVERIFY(sql.exec("PRAGMA integrity_check") && sql.next());
        QCOMPARE(sql.value(0).toString(), "ok");
        std::map<QString, QString> stored { { "present", "0" } };
        for (const QVariant& item : database.GetItems(QString())) {
            const QVariantMap record = item.toMap();
            const QString asin = record.value(ItemKey::Asin).toString();
            if (asin == LineItem)
                stored["line"]
                    = QString::number(record.value(ItemKey::PriceLine).toDouble(), 'f', 2);
            else if (asin == ConditionItem)
                stored["condition"] = record.value(ItemKey::WatchCondition).toString();
            else if (asin == AddedItem)
                stored["present"] = "1";
        }
        // The edit under way when the kill came may or may not have landed.
        for (const auto& [name, value] : m_confirmed) {
            const auto pending = m_pending.find(name);
            const bool bUnderWay = pending != m_pending.end() && stored[name] == pending->second;
            QVERIFY2(stored[name] == value || bUnderWay,
                qPrintable(
                    QStringLiteral("%1: stored %2, confirmed %3").arg(name, stored[name], value)));
        }
        // From here on the file is what the next start builds on.
        m_confirmed = stored;
        m_pending.clear();
    }

    // Every alert reacts at most once: its paragraph, its mail (by its
    // price) and its cart (by its offer) are unique, and no product page
    // opens more often than its item has alerted.
    static const QRegularExpression stamp(QStringLiteral("^On [^:]*:\\d\\d:\\d\\d [ap]m: "));
    QStringList alerts = Transcript("alert").replaceInStrings(stamp, QString());
    QCOMPARE(alerts.removeDuplicates(), 0);
    QStringList prices;
    for (const SimulatedMail& mail : m_store.mails())
        prices << mail.body.section(QStringLiteral("Price: "), 1).section('\n', 0, 0);
    QCOMPARE(prices.removeDuplicates(), 0);
    QStringList offers;
    for (const SimulatedRequest& request : m_store.requestLog()) {
        if (request.operation == QLatin1String("CartCreate"))
            offers << request.parameter(QStringLiteral("Item.0.OfferListingId"));
    }
    QCOMPARE(offers.removeDuplicates(), 0);
    for (const auto& [locale, asin] : AlertItems) {
        const QString host = Global::WebHost(locale);
        const QStringList opened = Transcript("open");
        const qsizetype pages
            = std::count_if(opened.cbegin(), opened.cend(), [&](const QString& url) {
                  return QUrl(url).host() == host && QUrl(url).path().endsWith(QLatin1String(asin));
              });
        const QString currency = Global::CurrencyString.value(locale);
        const qsizetype alerted = std::count_if(alerts.cbegin(), alerts.cend(),
            [&](const QString& alert) { return alert.contains(currency); });
        QVERIFY2(pages <= alerted,
            qPrintable(
                QStringLiteral("%1: %2 pages for %3 alerts").arg(locale).arg(pages).arg(alerted)));
    }
}

void TestCrashSafety::killedAtRandomMoments()
{
    constexpr int Kills = 50;
    int integrityOk = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        const auto phase = Phase(m_random.bounded(3));
        const QString alertLocale = phase == Phase::Alerting ? Arm() : QString();
        KillAfterTrigger(phase, alertLocale);
        if (QTest::currentTestFailed())
            return;
        CheckProfile();
        if (QTest::currentTestFailed())
            return;
        ++integrityOk;
    }
    qsizetype carts = 0;
    for (const SimulatedRequest& request : m_store.requestLog())
        carts += request.operation == QLatin1String("CartCreate");
    qInfo("crash test: %d kills, %d restarts, %d edits confirmed, %lld alerts seen (%lld mails, "
          "%lld carts), integrity ok %d/%d",
        Kills, Kills - 1, m_confirmedEdits, static_cast<long long>(Transcript("alert").size()),
        static_cast<long long>(m_store.mails().size()), static_cast<long long>(carts), integrityOk,
        Kills);
}

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], ChildFlag) == 0)
        return EditChildMain(argc, argv);
    QApplication app(argc, argv);
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
