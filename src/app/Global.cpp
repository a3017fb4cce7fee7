#include "Global.h"

#include "BuildConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>
#include <array>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Global {

namespace {

// The product API secret and the vendor-service signing key, scrambled with
// Translate(); neither is kept in plain form in the binary. Initialize()
// always unscrambles these constants, never the variables, so a second call
// (the simulated store shares the settings in one process) cannot scramble a
// key twice.
const QString ScrambledSecretKey = QStringLiteral("qeSjo/Sfdsfh+Kfz/0g+Tif/Sjovmahfx+Shpsf1");
const QString ScrambledSignatureKey
    = QStringLiteral("Psjdfeasxfn wfnxps-tfswjdf tjunjnu lfz; tjovmahfx thpsf, w1.3 pl");

} // namespace

QString OSString;
QString VersionString = QStringLiteral(PRICEWARDEN_VERSION);
// The defaults are the simulated store's account, so a fresh build works
// against pricewarden-sim out of the box; a configuration file replaces them
// with a real account.
QString AccessKeyString = QStringLiteral("PRICEWARDENSIMACCESS");
QString SecretKeyString;
QStringList AmazonLocale;
QMap<QString, QString> AssociateIdString;
QMap<QString, QString> CountryDomainSuffix;
QMap<QString, QString> CurrencyString;
QString UserAgentString;
QString DomainName = QStringLiteral("pricewarden.example");
QString ServiceUrl;
// Scrambled until Initialize() replaces it by the plain key.
QString SignatureKeyString = ScrambledSignatureKey;
QString DBFileName = QStringLiteral("userdata.dat");
QString TempDir;
QString ApiHostPrefix = QStringLiteral("webservices.amazon");
QString WebHostPrefix = QStringLiteral("www.amazon");

namespace {

struct StoreRow
{
    const char* locale;
    const char* domainSuffix;
    QString currency;
    const char* associateTag;
};

const std::array<StoreRow, 6>& StoreTable()
{
    static const std::array<StoreRow, 6> rows = { {
        { "us", "com", QStringLiteral("$"), "pricewarden-20" },
        { "ca", "ca", QStringLiteral("CDN$ "), "pricewardenca-20" },
        { "uk", "co.uk", QStringLiteral("\u00A3"), "pricewardenuk-21" },
        { "de", "de", QStringLiteral("EUR "), "pricewardende-21" },
        { "fr", "fr", QStringLiteral("EUR "), "pricewardenfr-21" },
        { "jp", "jp", QStringLiteral("\uFFE5"), "pricewardenjp-22" },
    } };
    return rows;
}

QString OperatingSystemDescription()
{
    return QSysInfo::prettyProductName() + QLatin1Char(' ') + QSysInfo::currentCpuArchitecture();
}

// An unquoted INI value with commas reads back as a list; the commas were
// part of the value, so they are put back.
QString ConfigurationText(const QVariant& value)
{
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// Values from the configuration file win over the compiled-in ones. Keys
// that are absent or empty leave the default alone.
void ApplyConfiguration(QString& secretKey, QString& signatureKey)
{
    const QString path = ConfigurationFilePath();
    if (path.isEmpty() || !QFile::exists(path))
        return;
    QSettings config(path, QSettings::IniFormat);
    const auto override = [&config](const QString& key, QString& target) {
        const QString value = ConfigurationText(config.value(key));
        if (!value.isEmpty())
            target = value;
    };
    override(QStringLiteral("ProductApi/AccessKeyId"), AccessKeyString);
    override(QStringLiteral("ProductApi/SecretKey"), secretKey);
    override(QStringLiteral("ProductApi/ApiHostPrefix"), ApiHostPrefix);
    override(QStringLiteral("ProductApi/WebHostPrefix"), WebHostPrefix);
    for (const QString& locale : std::as_const(AmazonLocale))
        override(QStringLiteral("AssociateTags/") + locale, AssociateIdString[locale]);
    QString domain = DomainName;
    override(QStringLiteral("VendorService/Domain"), domain);
    DomainName = domain;
    override(QStringLiteral("VendorService/SigningKey"), signatureKey);
}

// Qt reports no temporary directory at all when TMPDIR names one that does
// not exist; the image cache must not land in the working directory then.
QString SystemTempPath()
{
    const QString path = QDir::tempPath();
    return path.isEmpty() ? QStringLiteral("/tmp") : path;
}

const QString CacheDirectoryName = QStringLiteral("pw_cache");

// Whether path is a real directory (not a link to one) that belongs to this
// user and is closed to everybody else.
bool IsPrivateDirectory(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 07777) == 0700;
#else
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
#endif
}

// parent/pw_cache, made (mode 0700) when nothing has that name; empty when
// the name is taken by anything but this user's own private directory.
QString PrivateCacheDirectory(const QString& parent)
{
    if (parent.isEmpty())
        return QString();
    const QString path = QDir(parent).absoluteFilePath(CacheDirectoryName);
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink() && QDir().mkpath(parent)
        && QDir(parent).mkdir(CacheDirectoryName))
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return IsPrivateDirectory(path) ? path : QString();
}

// The substitution of Translate(): every letter maps to the next one, with
// the targets of (a, z), (d, w), (g, t), (j, q) and (m, n) swapped.
const std::array<char, 26>& TranslationTable()
{
    static const std::array<char, 26> table = [] {
        std::array<char, 26> t {};
        for (int i = 0; i < 26; ++i)
            t[i] = static_cast<char>('a' + (i + 1) % 26);
        for (int k = 0; k <= 12; k += 3)
            std::swap(t[k], t[25 - k]);
        return t;
    }();
    return table;
}

} // namespace

QString ConfigurationFilePath()
{
    const QString fromEnvironment = qEnvironmentVariable(ConfigEnvironmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString configDir
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (configDir.isEmpty())
        return {};
    return configDir + QStringLiteral("/Pricewarden/pricewarden.ini");
}

void InitializeSettings()
{
    OSString = OperatingSystemDescription();
    AmazonLocale.clear();
    CountryDomainSuffix.clear();
    CurrencyString.clear();
    AssociateIdString.clear();
    for (const StoreRow& row : StoreTable())
        AmazonLocale << QString::fromLatin1(row.locale);
    for (const StoreRow& row : StoreTable())
        CountryDomainSuffix.insert(
            QString::fromLatin1(row.locale), QString::fromLatin1(row.domainSuffix));
    for (const StoreRow& row : StoreTable())
        CurrencyString.insert(QString::fromLatin1(row.locale), row.currency);
    for (const StoreRow& row : StoreTable())
        AssociateIdString.insert(
            QString::fromLatin1(row.locale), QString::fromLatin1(row.associateTag));
    UserAgentString = QStringLiteral("QtWebBrowser");

    QString secretKey = Translate(ScrambledSecretKey, true);
    QString signatureKey = Translate(ScrambledSignatureKey, true);
    ApplyConfiguration(secretKey, signatureKey);
    SecretKeyString = secretKey;
    SignatureKeyString = signatureKey;
    ServiceUrl = QStringLiteral("http://") + DomainName + QStringLiteral("/services/");
}

bool Initialize()
{
    InitializeSettings();

    // The shared temporary directory is writable by every user: "pw_cache"
    // there may belong to someone else or be a planted link, and then the
    // cache moves to the user's own cache location. The path is kept even
    // when no directory could be made: falling back to a temporary
    // directory itself would let the clean-up at close delete other
    // programs' files.
    const QString userCache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString sharedTemp = QDir(SystemTempPath()).absolutePath();
    TempDir = PrivateCacheDirectory(sharedTemp);
    if (TempDir.isEmpty())
        TempDir = PrivateCacheDirectory(userCache);
    if (TempDir.isEmpty())
        TempDir = QDir(userCache.isEmpty() ? sharedTemp : userCache)
                      .absoluteFilePath(CacheDirectoryName);

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dataDir.isEmpty())
        return false;
    return QDir().mkpath(dataDir);
}

QString Translate(const QString& text, bool reverse)
{
    const std::array<char, 26>& table = TranslationTable();
    std::array<char, 26> inverse {};
    for (int i = 0; i < 26; ++i)
        inverse[table[i] - 'a'] = static_cast<char>('a' + i);
    const std::array<char, 26>& map = reverse ? inverse : table;

    QString result = text;
    for (QChar& c : result) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QLatin1Char(map[u - u'a']);
    }
    return result;
}

void SetDomainName(const QString& domain)
{
    DomainName = domain;
    ServiceUrl = QStringLiteral("http://") + DomainName + QStringLiteral("/services/");
}

void WriteLog(const QString& text, const QString& fileName)
{
    QFile file(fileName);
    // An empty name would make Qt complain; it is just another unopenable file.
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write("\xEF\xBB\xBF");
    file.write(text.toUtf8());
}

QString ApiHost(const QString& locale)
{
    return ApiHostPrefix + QLatin1Char('.') + CountryDomainSuffix.value(locale);
}

QString WebHost(const QString& locale)
{
    return WebHostPrefix + QLatin1Char('.') + CountryDomainSuffix.value(locale);
}

} // namespace Global
