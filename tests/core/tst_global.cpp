#include "Global.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

const QString Alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
const QStringList Locales { "us", "ca", "uk", "de", "fr", "jp" };

using Values = QMap<QString, QString>;

// Every value a configuration file may change, by name.
Values ConfigurableValues()
{
    Values values { { "access key", Global::AccessKeyString },
        { "secret key", Global::SecretKeyString }, { "signing key", Global::SignatureKeyString },
        { "domain", Global::DomainName }, { "service url", Global::ServiceUrl },
        { "api host uk", Global::ApiHost("uk") }, { "web host jp", Global::WebHost("jp") } };
    for (const QString& locale : Locales)
        values.insert("tag " + locale, Global::AssociateIdString.value(locale));
    return values;
}

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

    void translate_data();
    void translate();
    void storeTableAfterInitialize();
    void keysAreUnscrambledOnlyOnce();
    void configuration_data();
    void configuration();
    void perUserConfigurationFileIsRead();
    void writeLogReplacesFileWithUtf8AndByteOrderMark();
    void initializeReportsWhetherTheDataDirectoryExists();
    void imageCacheDirectory_data();
    void imageCacheDirectory();

private:
    QString Scratch(const QString& name) const { return m_root.filePath(name); }
    QString WriteConfiguration(const QByteArray& content);

    QTemporaryDir m_root;
    // Puts back what a configuration file can change and Initialize does not reset.
    std::function<void()> m_restore;
    Values m_defaults;
    QString m_workingDirectory;
    // The signing key as static initialisation leaves it: its scrambled form.
    QString m_scrambledSignatureKey = Global::SignatureKeyString;
    int m_configurationFiles = 0;
};

void TestGlobal::initTestCase()
{
    QVERIFY(m_root.isValid());
    qputenv("HOME", Scratch("home").toUtf8());
    qputenv("XDG_CONFIG_HOME", Scratch("config").toUtf8());
    QVERIFY(QDir().mkpath(Scratch("tmp")));
    QCoreApplication::setOrganizationName(QStringLiteral("Pricewarden"));
    QCoreApplication::setApplicationName(QStringLiteral("Pricewarden"));
    m_workingDirectory = QDir::currentPath();
    init();
    QVERIFY(Global::Initialize());
    m_defaults = ConfigurableValues();
    m_restore = [access = Global::AccessKeyString, domain = Global::DomainName,
                    api = Global::ApiHostPrefix, web = Global::WebHostPrefix] {
        Global::AccessKeyString = access;
        Global::ApiHostPrefix = api;
        Global::WebHostPrefix = web;
        Global::SetDomainName(domain);
    };
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
    m_restore();
    QFile::remove(Global::ConfigurationFilePath());
}

// A null content names a file that does not exist.
QString TestGlobal::WriteConfiguration(const QByteArray& content)
{
    // A new file each time: QSettings keeps what it read from a path and may
    // not notice a rewrite within the same second.
    const QString path
        = Scratch(QStringLiteral("pricewarden-test-%1.ini").arg(++m_configurationFiles));
    if (!content.isNull() && !WriteFile(path, content))
        return {};
    qputenv(Global::ConfigEnvironmentVariable, path.toUtf8());
    return path;
}

// A null expectation: only the round trip and the length are checked.
void TestGlobal::translate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("forward");
    QTest::addColumn<QString>("reverse");
    const auto row = [](const QString& text, const QString& forward, const QString& reverse) {
        QTest::newRow(qPrintable(text.left(20))) << text << forward << reverse;
    };

    // Each letter to the next, the targets of (a, z), (d, w), (g, t), (j, q)
    // and (m, n) swapped: the scrambled keys in the binary depend on it.
    row(Alphabet, "acdxfguijrlmonpqksthvweyzb", "azbcwefthiqklnmopjrsguvdxy");
    row("Sim 1.3-z!", "Sjo 1.3-b!", "Shl 1.3-y!");
    // Without lower-case ASCII letters: unchanged.
    const QString others
        = QStringLiteral("ABCXYZ 0123456789!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"
                         "\u00E9\u00E0\u00E7\u00DF\u00F8 \uFF41\uFF42\uFF5A \u65E5\u672C");
    row(others, others, others);
    QString mixed = QStringLiteral("d\u00E9j\u00E0 vu, \uFFE5 1000 \u00A3 3.50, go \U0001F600 now "
                                   "tab\there\nnew line\r\0end");
    for (char16_t c = 0x20; c < 0x7F; ++c)
        mixed += QChar(c);
    row(mixed, {}, {});
    row(QString(), {}, {});
}

void TestGlobal::translate()
{
    QFETCH(QString, text);
    QFETCH(QString, forward);
    QFETCH(QString, reverse);

    const QString forwardResult = Global::Translate(text, false);
    const QString reverseResult = Global::Translate(text, true);
    if (!forward.isNull()) {
        QCOMPARE(forwardResult, forward);
        QCOMPARE(reverseResult, reverse);
    }
    QCOMPARE(forwardResult.size(), text.size());
    QCOMPARE(reverseResult.size(), text.size());
    QCOMPARE(Global::Translate(forwardResult, true), text);
    QCOMPARE(Global::Translate(reverseResult, false), text);
}

void TestGlobal::storeTableAfterInitialize()
{
    // Left-overs from earlier use of the maps do not survive.
    Global::CurrencyString.insert(QStringLiteral("xx"), QStringLiteral("?"));
    QVERIFY(Global::Initialize());

    QCOMPARE(Global::AmazonLocale, Locales);
    QStringList sorted = Locales;
    sorted.sort();
    for (const auto* map :
        { &Global::AssociateIdString, &Global::CountryDomainSuffix, &Global::CurrencyString })
        QCOMPARE(map->keys(), sorted);
}

void TestGlobal::keysAreUnscrambledOnlyOnce()
{
    QVERIFY(Global::Initialize());
    const QString secret = Global::SecretKeyString;
    const QString signing = Global::SignatureKeyString;
    QVERIFY(QRegularExpression("^[A-Z]{20}$").match(Global::AccessKeyString).hasMatch());
    QCOMPARE(secret.size(), 40);
    QCOMPARE(signing.size(), 64);
    QVERIFY(Global::Translate(signing, false) == m_scrambledSignatureKey);

    QVERIFY(Global::Initialize());
    Global::InitializeSettings();
    QVERIFY(Global::SecretKeyString == secret);
    QVERIFY(Global::SignatureKeyString == signing);
}

void TestGlobal::configuration_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Values>("changes");
    const auto row = [](const char* name, const QByteArray& content, const Values& changes) {
        QTest::newRow(name) << content << changes;
    };

    row("product api",
        "[ProductApi]\nAccessKeyId=AKIAOVERRIDE12345678\nSecretKey=test/secret+value=,def\n"
        "ApiHostPrefix=api.sim\nWebHostPrefix=shop.sim",
        { { "access key", "AKIAOVERRIDE12345678" }, { "secret key", "test/secret+value=,def" },
            { "api host uk", "api.sim.co.uk" }, { "web host jp", "shop.sim.jp" } });
    row("vendor service",
        "[VendorService]\nSigningKey=\"test key; with, punctuation\"\nDomain=vendor.test:8080",
        { { "signing key", "test key; with, punctuation" }, { "domain", "vendor.test:8080" },
            { "service url", "http://vendor.test:8080/services/" } });
    QByteArray tags = "[AssociateTags]";
    Values tagChanges;
    for (const QString& locale : Locales) {
        tags += "\n" + locale.toLatin1() + "=tester" + locale.toLatin1() + "-2x";
        tagChanges.insert("tag " + locale, "tester" + locale + "-2x");
    }
    row("associate tags", tags, tagChanges);
    // Nothing changes.
    row("no file", QByteArray(), {});
    row("empty file", "", {});
    row("empty values",
        "[ProductApi]\nAccessKeyId=\nSecretKey=\n[VendorService]\nDomain=\nSigningKey=", {});
    row("unknown keys", "[Other]\nAccessKeyId=X\nus=y-20", {});
}

// The file named by the environment overrides exactly the values it sets.
void TestGlobal::configuration()
{
    QFETCH(QByteArray, content);
    QFETCH(Values, changes);
    QVERIFY(!WriteConfiguration(content).isEmpty());
    QVERIFY(Global::Initialize());

    const Values values = ConfigurableValues();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        QVERIFY2(it.value() == changes.value(it.key(), m_defaults.value(it.key())),
            qPrintable(it.key()));
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
    const QString other = WriteConfiguration("[ProductApi]\nAccessKeyId=AKIAFROMENVIRONMENT1\n");
    QCOMPARE(Global::ConfigurationFilePath(), other);
    QVERIFY(Global::Initialize());
    QCOMPARE(Global::AccessKeyString, QStringLiteral("AKIAFROMENVIRONMENT1"));
}

void TestGlobal::writeLogReplacesFileWithUtf8AndByteOrderMark()
{
    const QString text = QStringLiteral("Gr\u00FC\u00DFe \uFFE5100 \u65E5\u672C\nline two");
    const QString path = Scratch("log.txt");
    QVERIFY(WriteFile(path, QByteArray(1000, 'x')));
    Global::WriteLog(text, path);
    QCOMPARE(ReadFile(path), QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    Global::WriteLog(QString(), path);
    QCOMPARE(ReadFile(path), QByteArray("\xEF\xBB\xBF"));

    // Paths that cannot be opened are ignored.
    for (const QString& unopenable :
        { Scratch("no/such/dir/log.txt"), Scratch("tmp"), QString() }) {
        Global::WriteLog(QStringLiteral("text"), unopenable);
        QVERIFY2(!QFileInfo(unopenable).isFile(), qPrintable(unopenable));
    }
}

void TestGlobal::initializeReportsWhetherTheDataDirectoryExists()
{
    qputenv("XDG_DATA_HOME", Scratch("fresh/data").toUtf8());
    QVERIFY(Global::Initialize());
    QVERIFY(QFileInfo(Scratch("fresh/data/Pricewarden/Pricewarden")).isDir());
    QVERIFY(Global::Initialize());

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

void TestGlobal::imageCacheDirectory_data()
{
    QTest::addColumn<QString>("temp");
    QTest::addColumn<QString>("inTheWay"); // what already has the name pw_cache in temp

    const auto row = [](const char* name, const char* temp, const char* inTheWay) {
        QTest::newRow(name) << QString(temp) << QString(inTheWay);
    };
    row("made private in the temporary directory", "tmp", "");
    // Never the temporary directory itself: the cache clean-up at close
    // would empty it. Never a directory others can reach either.
    row("a file in the way", "blocked-tmp", "file");
    row("a planted link", "link-tmp", "link");
    row("a directory open to others", "open-tmp", "open");
    row("missing temporary directory", "no-such-temp", "");
}

// Whatever happens, the cache never lands in the working directory, and
// it is a directory of this user's alone.
void TestGlobal::imageCacheDirectory()
{
    QFETCH(QString, temp);
    QFETCH(QString, inTheWay);
    const QString workingDirectory = Scratch("working");
    QVERIFY(QDir().mkpath(workingDirectory));
    QVERIFY(QDir::setCurrent(workingDirectory));
    const QString planted = Scratch(temp + "/pw_cache");
    if (!inTheWay.isEmpty())
        QVERIFY(QDir().mkpath(Scratch(temp)) && QDir().mkpath(Scratch("elsewhere")));
    if (inTheWay == "file")
        QVERIFY(WriteFile(planted, "a file in the way"));
    if (inTheWay == "link")
        QVERIFY(QFile::link(Scratch("elsewhere"), planted));
    if (inTheWay == "open")
        QVERIFY(QDir().mkpath(planted)
            && QFile::setPermissions(planted, QFileDevice::Permissions(0x7777)));
    qputenv("TMPDIR", Scratch(temp).toUtf8());
    qputenv("XDG_CACHE_HOME", Scratch("cache").toUtf8());
    QVERIFY(Global::Initialize());

    QVERIFY2(!Global::TempDir.startsWith(QDir(workingDirectory).canonicalPath()),
        qPrintable(Global::TempDir));
    QVERIFY(!QFileInfo::exists(workingDirectory + QStringLiteral("/pw_cache")));
    const QString expected = inTheWay.isEmpty() && QFileInfo::exists(Scratch(temp))
        ? QDir(Scratch(temp)).canonicalPath() + "/pw_cache"
        : Scratch("cache/Pricewarden/Pricewarden/pw_cache");
    if (QFileInfo::exists(Scratch(temp)))
        QCOMPARE(Global::TempDir, expected);
    QVERIFY(!QFileInfo(Global::TempDir).isSymLink());
    QCOMPARE(QFileInfo(Global::TempDir).permissions() & 0x0777, QFileDevice::Permissions(0x0700));
    QVERIFY(QDir(Scratch("elsewhere")).isEmpty());
}

QTEST_GUILESS_MAIN(TestGlobal)
#include "tst_global.moc"
