#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Process-wide settings and small helpers. Static initialisation gives every
// variable its first value; Initialize() completes them once at start-up and
// from then on they are only read.
namespace Global {

extern QString OSString;
extern QString VersionString;
extern QString AccessKeyString;
extern QString SecretKeyString;
extern QStringList AmazonLocale;
extern QMap<QString, QString> AssociateIdString;
extern QMap<QString, QString> CountryDomainSuffix;
extern QMap<QString, QString> CurrencyString;
extern QString UserAgentString;
extern QString DomainName;
extern QString ServiceUrl;
extern QString SignatureKeyString;
extern QString DBFileName;
extern QString TempDir;

// Host prefixes: a prefix, a dot and a store's domain suffix name that
// store's product API endpoint and its web site.
extern QString ApiHostPrefix;
extern QString WebHostPrefix;

// Name of the environment variable that may point at a configuration file
// other than the per-user one.
inline constexpr char ConfigEnvironmentVariable[] = "PRICEWARDEN_CONFIG";

// Fills every variable: the store table, the keys (unscrambled, or taken
// from the configuration file), the service address, the image cache
// directory. Returns false only when the per-user data directory is missing
// and cannot be created. Calling it again is harmless: the keys are always
// unscrambled from their stored forms, never from the variables.
bool Initialize();

// The part of Initialize() that touches no directory: the store table, the
// keys and the addresses, with the configuration file applied. The simulated
// store calls it to share the app's defaults.
void InitializeSettings();

// The configuration file that overrides the compiled-in defaults: the file
// named by PRICEWARDEN_CONFIG if set, else "pricewarden.ini" in the per-user
// configuration directory.
QString ConfigurationFilePath();

QString Translate(const QString& text, bool reverse);
void SetDomainName(const QString& domain);
void WriteLog(const QString& text, const QString& fileName);

// Base64 of HMAC-SHA-256(message, key) over their UTF-8 bytes; an empty key
// signs with the product API's secret key.
QString GetHMAC(const QString& message, const QString& key);

// The sort key of a watch-list cell: the text without one leading English
// article ("the ", "a ", "an ").
QString ToSortableString(const QString& text);

QString ApiHost(const QString& locale);
QString WebHost(const QString& locale);

} // namespace Global
