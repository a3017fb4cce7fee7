#include "Global.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

namespace Global {

// Base64 of HMAC-SHA-256 over the UTF-8 bytes of message and key, always 44
// characters. An empty key selects the product API's secret key.
QString GetHMAC(const QString& message, const QString& key)
{
    const QString effectiveKey = key.isEmpty() ? SecretKeyString : key;
    const QByteArray mac = QMessageAuthenticationCode::hash(
        message.toUtf8(), effectiveKey.toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(mac.toBase64());
}

} // namespace Global
