#include "Global.h"
#include "sha2.h"

#include <QByteArray>

namespace Global {

// Both texts are signed as UTF-8, which is what the receiving services
// verify against. The whole 32-byte digest is always encoded, so the result
// is always 44 Base64 characters with one "=" of padding; callers escape it
// for their own transport.
QString GetHMAC(const QString& message, const QString& key)
{
    const QByteArray keyBytes = (key.isEmpty() ? SecretKeyString : key).toUtf8();
    const QByteArray messageBytes = message.toUtf8();

    unsigned char mac[SHA256_DIGEST_SIZE];
    hmac_sha256(reinterpret_cast<const unsigned char*>(keyBytes.constData()),
        static_cast<uint32_t>(keyBytes.size()),
        reinterpret_cast<const unsigned char*>(messageBytes.constData()),
        static_cast<uint32_t>(messageBytes.size()), mac, sizeof mac);

    const QByteArray macBytes(reinterpret_cast<const char*>(mac), sizeof mac);
    return QString::fromLatin1(macBytes.toBase64());
}

} // namespace Global
