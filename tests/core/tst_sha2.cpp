#include "Global.h"
#include "sha2.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>
#include <algorithm>
#include <limits>
#include <numeric>
#include <tuple>

namespace {

// One variant's digest and HMAC functions, so every test body is written
// once and run for all four.
template <class Ctx, class HmacCtx>
struct Api
{
    using Context = Ctx;
    using HmacContext = HmacCtx;

    void (*init)(Ctx*);
    void (*update)(Ctx*, const unsigned char*, uint32_t);
    void (*final)(Ctx*, unsigned char*);
    void (*once)(const unsigned char*, uint32_t, unsigned char*);
    void (*transf)(Ctx*, const unsigned char*, int32_t);
    void (*hmacInit)(HmacCtx*, const unsigned char*, uint32_t);
    void (*hmacReinit)(HmacCtx*);
    void (*hmacUpdate)(HmacCtx*, const unsigned char*, uint32_t);
    void (*hmacFinal)(HmacCtx*, unsigned char*, uint32_t);
    void (*hmacOnce)(
        const unsigned char*, uint32_t, const unsigned char*, uint32_t, unsigned char*, uint32_t);
    int digestSize;
    int blockSize;
    QCryptographicHash::Algorithm qtAlgorithm;
};

#define SHA2_API(name, transform, bits, block, qtAlgorithm)                                        \
    Api<name##_ctx, hmac_##name##_ctx>                                                             \
    {                                                                                              \
        name##_init, name##_update, name##_final, name, transform, hmac_##name##_init,             \
            hmac_##name##_reinit, hmac_##name##_update, hmac_##name##_final, hmac_##name,          \
            bits / 8, block, QCryptographicHash::qtAlgorithm                                       \
    }

const auto Apis = std::make_tuple(SHA2_API(sha224, sha256_transf, 224, 64, Sha224),
    SHA2_API(sha256, sha256_transf, 256, 64, Sha256),
    SHA2_API(sha384, sha512_transf, 384, 128, Sha384),
    SHA2_API(sha512, sha512_transf, 512, 128, Sha512));
const char* const VariantNames[] = { "sha224", "sha256", "sha384", "sha512" };

template <class Body>
void withApi(int variant, Body&& body)
{
    std::apply(
        [&](const auto&... api) {
            int index = 0;
            ((index++ == variant ? body(api) : void()), ...);
        },
        Apis);
}

const unsigned char* bytes(const QByteArray& data)
{
    return reinterpret_cast<const unsigned char*>(data.constData());
}

unsigned char* bytes(QByteArray& data)
{
    return reinterpret_cast<unsigned char*>(data.data());
}

uint32_t size32(const QByteArray& data)
{
    return static_cast<uint32_t>(data.size());
}

QByteArray randomBytes(QRandomGenerator& random, int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (char& c : data)
        c = static_cast<char>(random.bounded(256));
    return data;
}

template <class A>
QByteArray digestOnce(const A& api, const QByteArray& message)
{
    QByteArray digest(api.digestSize, '\0');
    api.once(bytes(message), size32(message), bytes(digest));
    return digest;
}

// Feeds the message in pieces cut at the given ascending offsets (offsets
// past the end give empty pieces).
template <class A>
QByteArray digestInPieces(const A& api, const QByteArray& message, const QList<int>& cuts)
{
    QByteArray digest(api.digestSize, '\0');
    typename A::Context ctx;
    api.init(&ctx);
    int from = 0;
    for (int cut : cuts + QList<int> { int(message.size()) }) {
        const int to = std::clamp(cut, from, int(message.size()));
        api.update(&ctx, bytes(message) + from, static_cast<uint32_t>(to - from));
        from = to;
    }
    api.final(&ctx, bytes(digest));
    return digest;
}

template <class A>
QByteArray hmacOnce(const A& api, const QByteArray& key, const QByteArray& message, int macSize)
{
    QByteArray mac(macSize, '\0');
    api.hmacOnce(bytes(key), size32(key), bytes(message), size32(message), bytes(mac),
        static_cast<uint32_t>(macSize));
    return mac;
}

QList<int> randomCuts(QRandomGenerator& random, int size)
{
    QList<int> cuts;
    const int count = size == 0 ? 2 : static_cast<int>(random.bounded(1, 8));
    for (int i = 0; i < count; ++i)
        cuts.append(static_cast<int>(random.bounded(size + 1)));
    std::sort(cuts.begin(), cuts.end());
    return cuts;
}

// A stand-in for the product API's secret; the real one never appears here.
const QString TestSecret = QStringLiteral("TestSecretKey/0123456789+abcdefghijklmn");

} // namespace

class TestSha2 : public QObject
{
    Q_OBJECT

private slots:
    void differentialAgainstQt_data();
    void differentialAgainstQt();
    void lengthBeyond32Bits_data();
    void lengthBeyond32Bits();
    void getHmac_data();
    void getHmac();
};

void TestSha2::differentialAgainstQt_data()
{
    QTest::addColumn<int>("variant");
    for (int variant = 0; variant < 4; ++variant)
        QTest::newRow(VariantNames[variant]) << variant;
}

// Qt's implementations are the independent reference (they agree with the
// published test vectors). Many random lengths, keys, cuts and mac sizes,
// with a fixed seed so a failure repeats. The first messages lie around the
// block boundaries (where the 0x80 byte and the length field fall decides
// between one and two padding blocks) and are also fed one byte at a time; one
// of about a megabyte catches a length kept in too few bits. The first keys
// lie around the block size (a key of exactly a block is used as it is, a
// longer one is hashed first, an empty one is allowed). Each HMAC context is
// used twice: reinit must equal a fresh init. Bytes beyond the requested mac
// size, or beyond the digest when more is asked for, stay untouched.
void TestSha2::differentialAgainstQt()
{
    QFETCH(int, variant);

    QRandomGenerator random(20240611u + static_cast<quint32>(variant));
    withApi(variant, [&](const auto& api) {
        const int block = api.blockSize;
        const int field = block / 8;
        const QList<int> lengths { 0, 1, block - field - 1, block - field, block - 1, block,
            block + 1, 2 * block - field - 1, 2 * block - field, 2 * block, 1000003 };
        const QList<int> keySizes { 0, 1, block - 1, block, block + 1, 2 * block + 3 };
        for (int trial = 0; trial < 400; ++trial) {
            const int length = trial < lengths.size() ? lengths[trial] : int(random.bounded(1025));
            const int keySize
                = trial < keySizes.size() ? keySizes[trial] : int(random.bounded(301));
            const QByteArray message = randomBytes(random, length);
            const QByteArray key = randomBytes(random, keySize);
            const QList<int> cuts = randomCuts(random, length);
            QByteArray what = QByteArray::number(keySize) + "-byte key, "
                + QByteArray::number(length) + " bytes cut at";
            for (int cut : cuts)
                what += ' ' + QByteArray::number(cut);
            const QByteArray digest = QCryptographicHash::hash(message, api.qtAlgorithm);
            const QByteArray mac = QMessageAuthenticationCode::hash(message, key, api.qtAlgorithm);

            QVERIFY2(digestOnce(api, message) == digest, what);
            QVERIFY2(digestInPieces(api, message, cuts) == digest, what);
            if (trial < lengths.size()) {
                QList<int> everyByte(length);
                std::iota(everyByte.begin(), everyByte.end(), 1);
                QVERIFY2(digestInPieces(api, message, everyByte) == digest, what + ", bytewise");
                QVERIFY2(digestInPieces(api, message, { length - 1 }) == digest, what);
            }
            QVERIFY2(hmacOnce(api, key, message, api.digestSize) == mac, what);

            typename std::decay_t<decltype(api)>::HmacContext ctx;
            api.hmacInit(&ctx, bytes(key), size32(key));
            for (int use = 0; use < 2; ++use) {
                const int macSize = use == 0 ? trial % (api.digestSize + 40) : api.digestSize;
                const int written = std::min(macSize, api.digestSize);
                QByteArray buffer(api.digestSize + 40, '\x5a');
                int from = 0;
                for (int cut : cuts + QList<int> { length }) {
                    api.hmacUpdate(&ctx, bytes(message) + from, static_cast<uint32_t>(cut - from));
                    from = cut;
                }
                api.hmacFinal(&ctx, bytes(buffer), static_cast<uint32_t>(macSize));
                QVERIFY2(buffer.left(written) == mac.left(written), what + ", context");
                QVERIFY2(buffer.mid(written) == QByteArray(buffer.size() - written, '\x5a'), what);
                api.hmacReinit(&ctx);
            }
        }
    });
}

void TestSha2::lengthBeyond32Bits_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<quint32>("compressedBytes");
    QTest::addColumn<int>("tailLength");

    for (int variant = 0; variant < 4; ++variant) {
        const quint32 block = variant < 2 ? 64 : 128;
        for (quint32 compressed :
            { 0u, 1u << 28, (1u << 29) - block, 1u << 29, 0x87654300u, 0u - 2 * block }) {
            // The last tail forces a second padding block.
            for (int tail : { 0, 5, int(block) - 8 }) {
                QTest::addRow("%s %u+%d bytes", VariantNames[variant], compressed, tail)
                    << variant << compressed << tail;
            }
        }
    }
}

// Messages of 2^29 bytes and more have a bit length that needs more than 32
// bits. Hashing half a gigabyte is too slow for a unit test, so the context's
// byte counter is set as if that much had been compressed already; the
// reference pads the same state by hand with the FIPS 180-2 length field.
void TestSha2::lengthBeyond32Bits()
{
    QFETCH(int, variant);
    QFETCH(quint32, compressedBytes);
    QFETCH(int, tailLength);

    QRandomGenerator random(compressedBytes ^ static_cast<quint32>(tailLength));
    const QByteArray tail = randomBytes(random, tailLength);
    withApi(variant, [&](const auto& api) {
        const int lengthFieldSize = api.blockSize / 8;
        const quint64 bitLength = (quint64(compressedBytes) + quint64(tailLength)) * 8;
        QByteArray padded = tail + '\x80';
        while ((padded.size() + lengthFieldSize) % api.blockSize != 0)
            padded.append('\0');
        padded.append(QByteArray(lengthFieldSize - 8, '\0'));
        for (int shift = 56; shift >= 0; shift -= 8)
            padded.append(static_cast<char>((bitLength >> shift) & 0xff));

        typename std::decay_t<decltype(api)>::Context ctx;
        api.init(&ctx);
        ctx.tot_len = compressedBytes;
        auto reference = ctx;
        // A block count of zero or less compresses nothing.
        for (int nothing : { 0, -1, std::numeric_limits<int>::min() })
            api.transf(&ctx, bytes(padded), nothing);
        api.update(&ctx, bytes(tail), size32(tail));
        QByteArray digest(api.digestSize, '\0');
        api.final(&ctx, bytes(digest));

        api.transf(&reference, bytes(padded), int(padded.size() / api.blockSize));
        QByteArray expected;
        for (const auto word : reference.h) {
            for (int shift = int(sizeof word) * 8 - 8; shift >= 0; shift -= 8)
                expected.append(static_cast<char>((word >> shift) & 0xff));
        }
        expected.truncate(api.digestSize);
        QCOMPARE(digest.toHex(), expected.toHex());
        if (compressedBytes == 0) // the hand-made padding itself is right
            QCOMPARE(expected.toHex(), QCryptographicHash::hash(tail, api.qtAlgorithm).toHex());
    });
}

void TestSha2::getHmac_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("key");
    const auto row = [](const char* name, const QString& message, const QString& key) {
        QTest::newRow(name) << message << key;
    };
    row("ascii", "what do ya want for nothing?", "Jefe");
    row("empty key, empty message", QString(), QString());
    row("empty key, request", "GET\nwebservices.amazon.com\n/onca/xml\nId=X", QString());
    row("latin-1 range and beyond the BMP", QStringLiteral("Gr\u00f6\u00dfe: 10 \u00a3 \U0001F4B0"),
        QStringLiteral("schl\u00fcssel \U0001F511"));
    row("non-ascii, empty key", QStringLiteral("\u00e9t\u00e9"), QString());
}

// Both texts are signed as UTF-8; an empty key means the secret key, read on
// every call. All 32 bytes in the standard Base64 alphabet (both '+' and '/'
// occur in these rows).
void TestSha2::getHmac()
{
    QFETCH(QString, message);
    QFETCH(QString, key);
    const auto restore = qScopeGuard([] { Global::SecretKeyString = TestSecret; });
    Global::SecretKeyString = TestSecret;

    const QString signature = Global::GetHMAC(message, key);
    const QByteArray effectiveKey = (key.isEmpty() ? TestSecret : key).toUtf8();
    const QByteArray reference = QMessageAuthenticationCode::hash(
        message.toUtf8(), effectiveKey, QCryptographicHash::Sha256);
    QCOMPARE(signature, QString::fromLatin1(reference.toBase64()));
    QVERIFY2(QRegularExpression(QStringLiteral("^[A-Za-z0-9+/]{43}=$")).match(signature).hasMatch(),
        qPrintable(signature));

    Global::SecretKeyString = QStringLiteral("another secret");
    QCOMPARE(Global::GetHMAC(message, key) != signature, key.isEmpty());
}

QTEST_APPLESS_MAIN(TestSha2)
#include "tst_sha2.moc"
