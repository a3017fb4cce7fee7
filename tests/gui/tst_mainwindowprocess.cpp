#include "AmazonConnector.h"
#include "DatabaseManager.h"
#include "Global.h"
#include "MainWindow.h"
#include "ProcessWait.h"
#include "SimulatedStore.h"
#include "UserPrompt.h"
#include "WatchListWidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

// The real window in a process of its own: it adds the item named on its
// command line, watches it for a price drop, reports its rows, then ends in
// order through Exit or by closing its window. Termination signals to the
// real program and kills are the end-to-end tests' part.
class TestMainWindowProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_store.listen()); }
    void init();
    void cleanup();
    void endsInOrder_data();
    void endsInOrder();

private:
    QString Path(const char* name) const { return m_home->filePath(QLatin1String(name)); }
    QString ConfigFile() const { return Path("config/PricewardenTest/Pricewarden.conf"); }

    SimulatedStore m_store;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QProcess> m_child;
    QString m_output;
};

namespace {

const char ChildFlag[] = "--window-child";

void Reply(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Arguments: the flag, the ending ("exit" or "close"), the link.
int ChildMain(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("PricewardenTest"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    Global::Initialize();
    Global::TempDir = qEnvironmentVariable("PRICEWARDEN_TEST_CACHE");
    UserPrompt::SetAnswerer([](const UserPrompt::Prompt&) { return QMessageBox::Ok; });
    MainWindow window;
    window.findChild<AmazonConnector*>()->SetPause(0);
    window.show();
    const QStringList arguments = QCoreApplication::arguments();
    const auto& list = *window.findChild<WatchListWidget*>(QStringLiteral("treeWidgetWatchList"));
    window.findChild<QLineEdit*>(QStringLiteral("lineEditAsin"))->setText(arguments.value(3));
    window.OnButtonAdd();
    if (!QTest::qWaitFor([&] { return list.topLevelItemCount() > 0; }, 5000))
        Reply(QStringLiteral("NOT ADDED"));
    // The item added is the current one.
    window.findChild<QRadioButton*>(QStringLiteral("radioButtonPriceDrop"))->click();
    window.findChild<QDoubleSpinBox*>(QStringLiteral("doubleSpinBoxPriceLine"))->setValue(12.5);
    QStringList rows { QStringLiteral("ROWS") };
    for (const QVariant& item : list.GetItems()) {
        const QVariantMap record = item.toMap();
        rows << QStringLiteral("%1/%2/%3/%4")
                    .arg(record.value("ASIN").toString(), record.value("Locale").toString())
                    .arg(record.value("WatchCondition").toInt())
                    .arg(record.value("PriceLine").toDouble());
    }
    Reply(rows.join(QLatin1Char(' ')));
    if (arguments.value(2) == QLatin1String("exit"))
        QTimer::singleShot(
            0, window.findChild<QAction*>(QStringLiteral("actionExit")), &QAction::trigger);
    else
        QTimer::singleShot(0, &window, &QWidget::close);
    const int code = app.exec();
    Reply(QStringLiteral("ENDED"));
    return code;
}

} // namespace

void TestMainWindowProcess::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir().mkpath(Path("pw_cache")));
}

void TestMainWindowProcess::cleanup()
{
    if (m_child && m_child->state() != QProcess::NotRunning) {
        m_child->kill();
        m_child->waitForFinished();
    }
    m_child.reset();
}

void TestMainWindowProcess::endsInOrder_data()
{
    QTest::addColumn<bool>("closeToMinimize");
    QTest::addColumn<QString>("ending");
    QTest::newRow("Exit despite close to minimise") << true << "exit";
    QTest::newRow("close without close to minimise") << false << "close";
}

void TestMainWindowProcess::endsInOrder()
{
    QFETCH(bool, closeToMinimize);
    QFETCH(QString, ending);
    QSettings(ConfigFile(), QSettings::IniFormat)
        .setValue(QStringLiteral("MainWindow/Options"),
            QVariantMap { { QStringLiteral("CloseToMinimize"), closeToMinimize } });
    QFile cached(Path("pw_cache/B0PW000001_fr_small.jpg"));
    QVERIFY(cached.open(QIODevice::WriteOnly));
    cached.close();

    m_output.clear();
    m_child = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : QList<std::pair<const char*, QString>> {
             { "QT_QPA_PLATFORM", "offscreen" }, { "HOME", m_home->path() },
             { "XDG_CONFIG_HOME", Path("config") }, { "XDG_DATA_HOME", Path("data") },
             { "XDG_CACHE_HOME", Path("cache") }, { "XDG_RUNTIME_DIR", Path("run") },
             { "http_proxy", m_store.proxyUrl() }, { "PRICEWARDEN_TEST_CACHE", Path("pw_cache") } })
        environment.insert(QString::fromLatin1(name), value);
    environment.remove(QStringLiteral("no_proxy"));
    m_child->setProcessEnvironment(environment);
    connect(m_child.get(), &QProcess::readyReadStandardOutput, this,
        [this] { m_output += QString::fromUtf8(m_child->readAllStandardOutput()); });
    m_child->start(QCoreApplication::applicationFilePath(),
        { QString::fromLatin1(ChildFlag), ending, "http://www.amazon.fr/dp/B0PW000001" });
    // The store answers from this process's event loop.
    QTRY_VERIFY_WITH_TIMEOUT(m_output.contains(QStringLiteral("ENDED\n")), 15000);
    QVERIFY(WaitForExit(*m_child, 10000));
    QCOMPARE(m_output, QStringLiteral("ROWS B0PW000001/fr/2/12.5\nENDED\n"));
    QCOMPARE(m_child->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_child->exitCode(), 0);
    QSettings settings(ConfigFile(), QSettings::IniFormat);
    QVERIFY(settings.contains(QStringLiteral("MainWindow/Size")));
    QVERIFY(settings.contains(QStringLiteral("MainWindow/Geometry")));
    QCOMPARE(settings.value(QStringLiteral("MainWindow/Options")).toMap().value("CloseToMinimize"),
        QVariant(closeToMinimize));
    QCOMPARE(settings.value(QStringLiteral("Amazon/Locale")).toString(), QStringLiteral("fr"));
    QVERIFY(!cached.exists());
    QCOMPARE(DatabaseManager(Path("data/PricewardenTest/Pricewarden/userdata.dat"))
                 .GetItems(QString())
                 .size(),
        1);
}

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], ChildFlag) == 0)
        return ChildMain(argc, argv);
    QApplication app(argc, argv);
    TestMainWindowProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindowprocess.moc"
