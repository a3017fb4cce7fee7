#include "Global.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

const QString Alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
// Each letter's successor, with the targets of a/z, d/w, g/t, j/q and m/n
// exchanged.
const QString ForwardAlphabet = QStringLiteral("acdxfguijrlmonpqksthvweyzb");

// Every value a configuration file may change, read back by name.
const QMap<QString, std::function<QString()>>& ConfigurableValues()
{
    static const QMap<QString, std::function<QString()>> values = [] {
        QMap<QString, std::function<QString()>> map;
        map.insert(QStringLiteral("access key"), [] { return Global::AccessKeyString; });
        map.insert(QStringLiteral("secret key"), [] { return Global::SecretKeyString; });
        map.insert(QStringLiteral("signing key"), [] { return Global::SignatureKeyString; });
        map.insert(QStringLiteral("domain"), [] { return Global::DomainName; });
        map.insert(QStringLiteral("service url"), [] { return Global::ServiceUrl; });
        map.insert(QStringLiteral("api host uk"), [] { return Global::ApiHost("uk"); });
        map.insert(QStringLiteral("web host jp"), [] { return Global::WebHost("jp"); });
        for (const char* locale : { "us", "ca", "uk", "de", "fr", "jp" }) {
            const QString code = QLatin1String(locale);
            map.insert(QStringLiteral("tag ") + code,
                [code] { return Global::AssociateIdString.value(code); });
        }
        return map;
    }();
    return values;
}

QMap<QString, QString> CurrentConfigurableValues()
{
    QMap<QString, QString> current;
    for (auto it = ConfigurableValues().cbegin(); it != ConfigurableValues().cend(); ++it)
        current.insert(it.key(), it.value()());
    return current;
}

struct GlobalsSnapshot
{
    QString accessKey = Global::AccessKeyString;
    QString domain = Global::DomainName;
    QString apiHostPrefix = Global::ApiHostPrefix;
    QString webHostPrefix = Global::WebHostPrefix;

    void Restore() const
    {
        Global::AccessKeyString = accessKey;
        Global::ApiHostPrefix = apiHostPrefix;
        Global::WebHostPrefix = webHostPrefix;
        Global::SetDomainName(domain);
    }
};

bool WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Secret keys are compared with QVERIFY, never QCOMPARE, so that a failure
// does not print them.
class TestGlobal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void translateMapsEachLetter_data();
    void translateMapsEachLetter();
    void translateFixesExactlyAAndN();
    void translateIsAPermutation();
    void translateRoundTrips_data();
    void translateRoundTrips();
    void translateLeavesTextWithoutLowerCaseLettersAlone_data();
    void translateLeavesTextWithoutLowerCaseLettersAlone();

    void initializeFillsTheStoreTable();
    void storeValuesPerLocale_data();
    void storeValuesPerLocale();
    void fixedValuesAfterInitialize();
    void keysHaveTheirLengthsAndSurviveASecondInitialize();
    void setDomainNameMovesTheServiceUrl();

    void configurationOverridesOneValue_data();
    void configurationOverridesOneValue();
    void missingOrEmptyConfigurationKeepsDefaults_data();
    void missingOrEmptyConfigurationKeepsDefaults();
    void perUserConfigurationFileIsRead();

    void writeLogWritesUtf8WithByteOrderMark();
    void writeLogReplacesEarlierContent();
    void writeLogIgnoresUnopenablePath_data();
    void writeLogIgnoresUnopenablePath();

    void initializeCreatesTheDataDirectory();
    void initializeFailsWhenTheDataDirectoryCannotBeMade();
    void imageCacheLivesInTheSystemTemporaryDirectory();
    void imageCachePathIsKeptWhenItCannotBeCreated();
    void imageCacheNeverLandsInTheWorkingDirectory();

private:
    QString Scratch(const QString& name) const { return m_root.filePath(name); }
    QString WriteConfiguration(const QByteArray& content);

    QTemporaryDir m_root;
    GlobalsSnapshot m_snapshot;
    QMap<QString, QString> m_defaults;
    QString m_workingDirectory;
    // The signing key as static initialisation leaves it: its scrambled form.
    QString m_scrambledSignatureKey;
    int m_configurationFiles = 0;
};

void TestGlobal::initTestCase()
{
    QVERIFY(m_root.isValid());
    // Everything the tests make stays in the scratch directory.
    qputenv("HOME", Scratch("home").toUtf8());
    qputenv("XDG_CONFIG_HOME", Scratch("config").toUtf8());
    qputenv("XDG_DATA_HOME", Scratch("data").toUtf8());
    qputenv("TMPDIR", Scratch("tmp").toUtf8());
    QVERIFY(QDir().mkpath(Scratch("tmp")));
    qunsetenv(Global::ConfigEnvironmentVariable);
    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    m_workingDirectory = QDir::currentPath();
    m_scrambledSignatureKey = Global::SignatureKeyString;

    QVERIFY(Global::Initialize());
    m_defaults = CurrentConfigurableValues();
    m_snapshot = GlobalsSnapshot();
}

void TestGlobal::init()
{
    qunsetenv(Global::ConfigEnvironmentVariable);
    qputenv("XDG_DATA_HOME", Scratch("data").toUtf8());
    qputenv("TMPDIR", Scratch("tmp").toUtf8());
}

void TestGlobal::cleanup()
{
    qunsetenv(Global::ConfigEnvironmentVariable);
    QDir::setCurrent(m_workingDirectory);
    m_snapshot.Restore();
    QFile::remove(Global::ConfigurationFilePath());
}

QString TestGlobal::WriteConfiguration(const QByteArray& content)
{
    // A new file each time: QSettings keeps what it read from a path and may
    // not notice a rewrite within the same second.
    const QString path
        = Scratch(QStringLiteral("pricewarden-test-%1.ini").arg(++m_configurationFiles));
    if (!WriteFile(path, content))
        return {};
    qputenv(Global::ConfigEnvironmentVariable, path.toUtf8());
    return path;
}

void TestGlobal::translateMapsEachLetter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QString>("expected");

    QTest::newRow("z forward") << "z" << false << "b";
    QTest::newRow("b forward") << "b" << false << "c";
    QTest::newRow("b reverse") << "b" << true << "z";
    QTest::newRow("c reverse") << "c" << true << "b";
    QTest::newRow("alphabet forward") << Alphabet << false << ForwardAlphabet;
    QTest::newRow("alphabet reverse") << ForwardAlphabet << true << Alphabet;
    QTest::newRow("mixed text") << "Sim 1.3-z!" << false << "Sjo 1.3-b!";
}

void TestGlobal::translateMapsEachLetter()
{
    QFETCH(QString, text);
    QFETCH(bool, reverse);
    QFETCH(QString, expected);
    QCOMPARE(Global::Translate(text, reverse), expected);
}

void TestGlobal::translateFixesExactlyAAndN()
{
    for (const bool reverse : { false, true }) {
        QString fixed;
        for (const QChar letter : Alphabet) {
            if (Global::Translate(letter, reverse) == letter)
                fixed += letter;
        }
        QCOMPARE(fixed, QStringLiteral("an"));
    }
}

void TestGlobal::translateIsAPermutation()
{
    for (const bool reverse : { false, true }) {
        const QString image = Global::Translate(Alphabet, reverse);
        QString sorted = image;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, Alphabet);
    }
}

void TestGlobal::translateRoundTrips_data()
{
    QTest::addColumn<QString>("text");

    QString printableAscii;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        printableAscii += QChar(c);
    QTest::newRow("printable ASCII") << printableAscii;
    QTest::newRow("latin accents") << QStringLiteral("d\u00E9j\u00E0 vu, gr\u00FC\u00DFe");
    QTest::newRow("yen and pound") << QStringLiteral("\uFFE5 1000 \u00A3 3.50 price");
    QTest::newRow("japanese") << QStringLiteral("\u65E5\u672C\u8A9E text");
    QTest::newRow("outside the BMP") << QStringLiteral("go \U0001F600 now");
    QTest::newRow("control characters") << QStringLiteral("tab\there\nnew line\r\0end");
    QTest::newRow("empty") << QString();
}

void TestGlobal::translateRoundTrips()
{
    QFETCH(QString, text);
    const QString forward = Global::Translate(text, false);
    const QString reverse = Global::Translate(text, true);
    QCOMPARE(forward.size(), text.size());
    QCOMPARE(reverse.size(), text.size());
    QCOMPARE(Global::Translate(forward, true), text);
    QCOMPARE(Global::Translate(reverse, false), text);
}

void TestGlobal::translateLeavesTextWithoutLowerCaseLettersAlone_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("capitals and digits") << QStringLiteral("ABCXYZ 0123456789");
    QTest::newRow("punctuation") << QStringLiteral("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
    QTest::newRow("non-ASCII lower case") << QStringLiteral("\u00E9\u00E0\u00E7\u00DF\u00F8");
    QTest::newRow("full-width letters") << QStringLiteral("\uFF41\uFF42\uFF5A");
    QTest::newRow("empty") << QString();
}

void TestGlobal::translateLeavesTextWithoutLowerCaseLettersAlone()
{
    QFETCH(QString, text);
    QCOMPARE(Global::Translate(text, false), text);
    QCOMPARE(Global::Translate(text, true), text);
}

void TestGlobal::initializeFillsTheStoreTable()
{
    // Left-overs from earlier use of the maps do not survive.
    Global::CurrencyString.insert(QStringLiteral("xx"), QStringLiteral("?"));
    QVERIFY(Global::Initialize());

    const QStringList locales { "us", "ca", "uk", "de", "fr", "jp" };
    QCOMPARE(Global::AmazonLocale, locales);
    const QSet<QString> expected(locales.cbegin(), locales.cend());
    for (const QMap<QString, QString>* map :
        { &Global::AssociateIdString, &Global::CountryDomainSuffix, &Global::CurrencyString }) {
        const QStringList keys = map->keys();
        QCOMPARE(keys.size(), locales.size());
        QCOMPARE(QSet<QString>(keys.cbegin(), keys.cend()), expected);
    }
}

void TestGlobal::storeValuesPerLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("domainSuffix");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("tagEnding");

    QTest::newRow("us") << "us"
                        << "com"
                        << "$"
                        << "-20";
    QTest::newRow("ca") << "ca"
                        << "ca"
                        << "CDN$ "
                        << "-20";
    QTest::newRow("uk") << "uk"
                        << "co.uk" << QStringLiteral("\u00A3") << "-21";
    QTest::newRow("de") << "de"
                        << "de"
                        << "EUR "
                        << "-21";
    QTest::newRow("fr") << "fr"
                        << "fr"
                        << "EUR "
                        << "-21";
    QTest::newRow("jp") << "jp"
                        << "jp" << QStringLiteral("\uFFE5") << "-22";
}

void TestGlobal::storeValuesPerLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, domainSuffix);
    QFETCH(QString, currency);
    QFETCH(QString, tagEnding);
    QVERIFY(Global::Initialize());

    QCOMPARE(Global::CountryDomainSuffix.value(locale), domainSuffix);
    QCOMPARE(Global::CurrencyString.value(locale), currency);
    const QString tag = Global::AssociateIdString.value(locale);
    QVERIFY2(tag.endsWith(tagEnding), qPrintable(tag));
    QVERIFY2(QRegularExpression(QStringLiteral("^[a-z0-9]+-2[0-2]$")).match(tag).hasMatch(),
        qPrintable(tag));
    QCOMPARE(Global::ApiHost(locale), QStringLiteral("webservices.amazon.") + domainSuffix);
    QCOMPARE(Global::WebHost(locale), QStringLiteral("www.amazon.") + domainSuffix);
}

void TestGlobal::fixedValuesAfterInitialize()
{
    QVERIFY(Global::Initialize());
    QCOMPARE(Global::VersionString, QStringLiteral("1.3"));
    QCOMPARE(Global::UserAgentString, QStringLiteral("QtWebBrowser"));
    QCOMPARE(Global::DBFileName, QStringLiteral("userdata.dat"));
    QCOMPARE(Global::ServiceUrl, QStringLiteral("http://") + Global::DomainName + "/services/");
    QVERIFY(!Global::DomainName.isEmpty());
    QVERIFY(!Global::OSString.isEmpty());
}

void TestGlobal::keysHaveTheirLengthsAndSurviveASecondInitialize()
{
    QVERIFY(Global::Initialize());
    const QString secret = Global::SecretKeyString;
    const QString signing = Global::SignatureKeyString;

    QVERIFY(QRegularExpression(QStringLiteral("^[A-Z]{20}$"))
                .match(Global::AccessKeyString)
                .hasMatch());
    QCOMPARE(secret.size(), 40);
    QCOMPARE(signing.size(), 64);
    const bool printable = std::all_of(signing.cbegin(), signing.cend(),
        [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
    QVERIFY(printable);
    // Unscrambled from the stored form, and only once.
    QVERIFY(signing != m_scrambledSignatureKey);
    QVERIFY(Global::Translate(signing, false) == m_scrambledSignatureKey);

    QVERIFY(Global::Initialize());
    Global::InitializeSettings();
    QVERIFY(Global::SecretKeyString == secret);
    QVERIFY(Global::SignatureKeyString == signing);
}

void TestGlobal::setDomainNameMovesTheServiceUrl()
{
    Global::SetDomainName(QStringLiteral("127.0.0.1:8123"));
    QCOMPARE(Global::DomainName, QStringLiteral("127.0.0.1:8123"));
    QCOMPARE(Global::ServiceUrl, QStringLiteral("http://127.0.0.1:8123/services/"));
}

void TestGlobal::configurationOverridesOneValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("access key") << QByteArray("[ProductApi]\nAccessKeyId=AKIAOVERRIDE12345678\n")
                                << QStringList { "access key" }
                                << QStringList { "AKIAOVERRIDE12345678" };
    QTest::newRow("secret key") << QByteArray("[ProductApi]\nSecretKey=test/secret+value=\n")
                                << QStringList { "secret key" }
                                << QStringList { "test/secret+value=" };
    QTest::newRow("secret key with unquoted commas")
        << QByteArray("[ProductApi]\nSecretKey=abc,def\n") << QStringList { "secret key" }
        << QStringList { "abc,def" };
    QTest::newRow("quoted signing key")
        << QByteArray("[VendorService]\nSigningKey=\"test key; with, punctuation\"\n")
        << QStringList { "signing key" } << QStringList { "test key; with, punctuation" };
    QTest::newRow("vendor domain")
        << QByteArray("[VendorService]\nDomain=vendor.test:8080\n")
        << QStringList { "domain", "service url" }
        << QStringList { "vendor.test:8080", "http://vendor.test:8080/services/" };
    QTest::newRow("api host prefix")
        << QByteArray("[ProductApi]\nApiHostPrefix=api.sim\n") << QStringList { "api host uk" }
        << QStringList { "api.sim.co.uk" };
    QTest::newRow("web host prefix")
        << QByteArray("[ProductApi]\nWebHostPrefix=shop.sim\n") << QStringList { "web host jp" }
        << QStringList { "shop.sim.jp" };
    for (const char* locale : { "us", "ca", "uk", "de", "fr", "jp" }) {
        const QByteArray tag = QByteArray("tester") + locale + "-2x";
        QTest::newRow(qPrintable(QStringLiteral("tag %1").arg(QLatin1String(locale))))
            << QByteArray("[AssociateTags]\n") + locale + "=" + tag + "\n"
            << QStringList { QStringLiteral("tag ") + QLatin1String(locale) }
            << QStringList { QString::fromLatin1(tag) };
    }
}

void TestGlobal::configurationOverridesOneValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, changed);
    QFETCH(QStringList, expected);
    QVERIFY(!WriteConfiguration(content).isEmpty());
    QVERIFY(Global::Initialize());

    const QMap<QString, QString> values = CurrentConfigurableValues();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype index = changed.indexOf(it.key());
        const QString wanted = index >= 0 ? expected.at(index) : m_defaults.value(it.key());
        QVERIFY2(it.value() == wanted, qPrintable(it.key()));
    }
}

void TestGlobal::missingOrEmptyConfigurationKeepsDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("fileExists");

    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("empty values") << QByteArray("[ProductApi]\nAccessKeyId=\nSecretKey=\n"
                                                "[VendorService]\nDomain=\nSigningKey=\n")
                                  << true;
    QTest::newRow("unknown keys") << QByteArray("[Other]\nAccessKeyId=X\nus=y-20\n") << true;
}

void TestGlobal::missingOrEmptyConfigurationKeepsDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, fileExists);
    const QString path = WriteConfiguration(content);
    QVERIFY(!path.isEmpty());
    if (!fileExists)
        QVERIFY(QFile::remove(path));
    QVERIFY(Global::Initialize());
    QVERIFY(CurrentConfigurableValues() == m_defaults);
}

void TestGlobal::perUserConfigurationFileIsRead()
{
    const QString path = Global::ConfigurationFilePath();
    QCOMPARE(path, Scratch("config/Pricewarden/pricewarden.ini"));
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(WriteFile(path, "[ProductApi]\nAccessKeyId=AKIAPERUSER123456789\n"));
    QVERIFY(Global::Initialize());
    QCOMPARE(Global::AccessKeyString, QStringLiteral("AKIAPERUSER123456789"));

    // The environment variable names another file, which then wins.
    QVERIFY(!WriteConfiguration("[ProductApi]\nAccessKeyId=AKIAFROMENVIRONMENT1\n").isEmpty());
    QCOMPARE(Global::ConfigurationFilePath(),
        Scratch(QStringLiteral("pricewarden-test-%1.ini").arg(m_configurationFiles)));
    QVERIFY(Global::Initialize());
    QCOMPARE(Global::AccessKeyString, QStringLiteral("AKIAFROMENVIRONMENT1"));
}

void TestGlobal::writeLogWritesUtf8WithByteOrderMark()
{
    const QString text = QStringLiteral("Gr\u00FC\u00DFe \uFFE5100 \u65E5\u672C\nline two");
    const QString path = Scratch("log-utf8.txt");
    Global::WriteLog(text, path);
    QCOMPARE(ReadFile(path), QByteArray("\xEF\xBB\xBF") + text.toUtf8());
}

void TestGlobal::writeLogReplacesEarlierContent()
{
    const QString path = Scratch("log-replace.txt");
    QVERIFY(WriteFile(path, QByteArray(1000, 'x')));
    Global::WriteLog(QStringLiteral("short"), path);
    QCOMPARE(ReadFile(path), QByteArray("\xEF\xBB\xBFshort"));
    Global::WriteLog(QString(), path);
    QCOMPARE(ReadFile(path), QByteArray("\xEF\xBB\xBF"));
}

void TestGlobal::writeLogIgnoresUnopenablePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing directory") << Scratch("no/such/dir/log.txt");
    QTest::newRow("a directory") << Scratch("tmp");
    QTest::newRow("empty name") << QString();
}

void TestGlobal::writeLogIgnoresUnopenablePath()
{
    QFETCH(QString, path);
    Global::WriteLog(QStringLiteral("text"), path);
    QVERIFY(!QFileInfo(path).isFile());
}

void TestGlobal::initializeCreatesTheDataDirectory()
{
    qputenv("XDG_DATA_HOME", Scratch("fresh/data").toUtf8());
    QVERIFY(!QFileInfo::exists(Scratch("fresh")));
    QVERIFY(Global::Initialize());
    QVERIFY(QFileInfo(Scratch("fresh/data/Pricewarden/Pricewarden")).isDir());
    // An existing directory is fine too.
    QVERIFY(Global::Initialize());
}

void TestGlobal::initializeFailsWhenTheDataDirectoryCannotBeMade()
{
    QVERIFY(WriteFile(Scratch("plain-file"), "not a directory"));
    qputenv("XDG_DATA_HOME", Scratch("plain-file/data").toUtf8());
    Global::AmazonLocale.clear();
    Global::CurrencyString.clear();
    QVERIFY(!Global::Initialize());
    // Everything else was filled all the same.
    QCOMPARE(Global::AmazonLocale.size(), 6);
    QCOMPARE(Global::CurrencyString.size(), 6);
    QCOMPARE(Global::SignatureKeyString.size(), 64);
    QVERIFY(QFileInfo(Global::TempDir).isDir());
}

void TestGlobal::imageCacheLivesInTheSystemTemporaryDirectory()
{
    QVERIFY(Global::Initialize());
    QCOMPARE(Global::TempDir, QDir(Scratch("tmp")).canonicalPath() + QStringLiteral("/pw_cache"));
    QVERIFY(QFileInfo(Global::TempDir).isDir());
}

void TestGlobal::imageCachePathIsKeptWhenItCannotBeCreated()
{
    const QString temp = Scratch("blocked-tmp");
    QVERIFY(QDir().mkpath(temp));
    QVERIFY(WriteFile(temp + QStringLiteral("/pw_cache"), "a file in the way"));
    qputenv("TMPDIR", temp.toUtf8());
    QVERIFY(Global::Initialize());
    // Never the temporary directory itself: the cache clean-up at close
    // would empty it.
    QCOMPARE(Global::TempDir, QDir(temp).canonicalPath() + QStringLiteral("/pw_cache"));
}

void TestGlobal::imageCacheNeverLandsInTheWorkingDirectory()
{
    const QString workingDirectory = Scratch("working");
    QVERIFY(QDir().mkpath(workingDirectory));
    QVERIFY(QDir::setCurrent(workingDirectory));
    qputenv("TMPDIR", Scratch("no-such-temp").toUtf8());
    QVERIFY(Global::Initialize());
    QVERIFY(QDir::isAbsolutePath(Global::TempDir));
    QVERIFY2(!Global::TempDir.startsWith(QDir(workingDirectory).canonicalPath()),
        qPrintable(Global::TempDir));
    QVERIFY(!QFileInfo::exists(workingDirectory + QStringLiteral("/pw_cache")));
}

QTEST_GUILESS_MAIN(TestGlobal)
#include "tst_global.moc"
