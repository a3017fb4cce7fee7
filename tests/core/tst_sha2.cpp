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
    void knownAnswers_data();
    void knownAnswers();
    void differentialAgainstQt_data();
    void differentialAgainstQt();
    void lengthBeyond32Bits_data();
    void lengthBeyond32Bits();
    void getHmac_data();
    void getHmac();
};

// FIPS 180-2 digests (null key) and RFC 4231 HMACs: the results of SHA-224,
// -256, -384 and -512 one after the other.
void TestSha2::knownAnswers_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("expected");

    const auto add = [](const char* name, const QByteArray& key, const QByteArray& message,
                         const QByteArray& results) {
        qsizetype from = 0;
        for (int variant = 0; variant < 4; ++variant) {
            const qsizetype length = results.size() == 344 ? QList<int> { 56, 64, 96, 128 }[variant]
                                                           : results.size() / 4;
            QTest::addRow("%s %s", VariantNames[variant], name)
                << variant << key << message << results.mid(from, length);
            from += length;
        }
    };
    const QByteArray longKey(131, '\xaa');
    add("empty", {}, "",
        "d14a028c2a3a2bc9476102bb288234c415a2b01f828ea62ac5b3e42fe3b0c44298fc1c149afbf4c8996fb924"
        "27ae41e4649b934ca495991b7852b85538b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf"
        "63f6e1da274edebfe76f65fbd51ad2f14898b95bcf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc"
        "83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e");
    add("abc", {}, "abc",
        "23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7ba7816bf8f01cfea414140de5dae2223"
        "b00361a396177a9cb410ff61f20015adcb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a"
        "43ff5bed8086072ba1e7cc2358baeca134c825a7ddaf35a193617abacc417349ae20413112e6fa4e89a97ea2"
        "0a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f");
    add("448 bits", {}, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
        "75388b16512776cc5dba5da1fd890150b0c6455cb4f58b1952522525248d6a61d20638b8e5c026930c3e6039"
        "a33ce45964ff2167f6ecedd419db06c13391fdddfc8dc7393707a65b1b4709397cf8b1d162af05abfe8f450d"
        "e5f36bc6b0455a8520bc4e6f5fe95b1fe3c8452b204a8fc6dda82f0a0ced7beb8e08a41657c16ef468b228a8"
        "279be331a703c33596fd15c13b1b07f9aa1d3bea57789ca031ad85c7a71dd70354ec631238ca3445");
    add("896 bits", {},
        "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmn"
        "hijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
        "c97ca9a559850ce97a04a96def6d99a9e0e0e2ab14e6b8df265fc0b3cf5b16a778af8380036ce59e7b049237"
        "0b249b11e8f07a51afac45037afee9d109330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086"
        "e3b0f712fcc7c71a557e2db966c3e9fa917460398e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa1"
        "7299aeadb6889018501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909");
    add("million a", {}, QByteArray(1000000, 'a'),
        "20794655980c91d8bbb4c1ea97618a4bf03f42581948b2ee4ee7ad67cdc76e5c9914fb9281a1c7e284d73e67"
        "f1809a48a497200e046d39ccc7112cd09d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5"
        "704c2a5b07b8b3dc38ecc4ebae97ddd87f3d8985e718483d0ce769644e2e42c7bc15b4638e1f98b13b204428"
        "5632a803afa973ebde0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b");
    add("hmac case 1", QByteArray(20, '\x0b'), "Hi There",
        "896fb1128abbdf196832107cd49df33f47b4b1169912ba4f53684b22b0344c61d8db38535ca8afceaf0bf12b"
        "881dc200c9833da726e9376c2e32cff7afd03944d84895626b0825f4ab46907f15f9dadbe4101ec682aa034c"
        "7cebc59cfaea9ea9076ede7f4af152e8b2fa9cb687aa7cdea5ef619d4ff0b4241a1d6cb02379f4e2ce4ec278"
        "7ad0b30545e17cdedaa833b7d6b8a702038b274eaea3f4e4be9d914eeb61f1702e696c203a126854");
    add("hmac case 2", "Jefe", "what do ya want for nothing?",
        "a30e01098bc6dbbf45690f3a7e9e6d0f8bbea2a39e6148008fd05e445bdcc146bf60754e6a042426089575c7"
        "5a003f089d2739839dec58b964ec3843af45d2e376484031617f78d2b58a6b1b9c7ef464f5a01b47e42ec373"
        "6322445e8e2240ca5e69e2c78b3239ecfab21649164b7a7bfcf819e2e395fbe73b56e0a387bd64222e831fd6"
        "10270cd7ea2505549758bf75c05a994a6d034f65f8f0e6fdcaeab1a34d4a6b4b636e070a38bce737");
    add("hmac case 3", QByteArray(20, '\xaa'), QByteArray(50, '\xdd'),
        "7fb3cb3588c6c1f6ffa9694d7d6ad2649365b0c1f65d69d1ec8333ea773ea91e36800e46854db8ebd09181a7"
        "2959098b3ef8c122d9635514ced565fe88062608d3e6ad8a0aa2ace014c8a86f0aa635d947ac9febe83ef4e5"
        "5966144b2a5ab39dc13814b94e3ab6e101a34f27fa73b0089d56a284efb0f0756c890be9b1b5dbdd8ee81a36"
        "55f83e33b2279d39bf3e848279a722c806b485a47e67c807b946a337bee8942674278859e13292fb");
    add("hmac case 4", QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10111213141516171819"),
        QByteArray(50, '\xcd'),
        "6c11506874013cac6a2abc1bb382627cec6a90d86efc012de7afec5a82558a389a443c0ea4cc819899f2083a"
        "85f0faa3e578f8077a2e3ff46729665b3e8a69b7783c25851933ab6290af6ca77a9981480850009cc5577c6e"
        "1f573b4e6801dd23c4a7d679ccf8a386c674cffbb0ba465637458c6990e5a8c5f61d4af7e576d97ff94b872d"
        "e76f8050361ee3dba91ca5c11aa25eb4d679275cc5788063a5f19741120c4f2de2adebeb10a298dd");
    add("hmac case 5, truncated to 128 bits", QByteArray(20, '\x0c'), "Test With Truncation",
        "0e2aea68a90c8d37c988bcdb9fca6fa8a3b6167473100ee06e0c796c2955552b3abf34c3503b2a23a46efc61"
        "9baef897415fad6271580a531d4179bc891d87a6");
    add("hmac case 6", longKey, "Test Using Larger Than Block-Size Key - Hash Key First",
        "95e9a0db962095adaebe9b2d6f0dbce2d499f112f2d2b7273fa6870e60e431591ee0b67f0d8a26aacbf5b77f"
        "8e0bc6213728c5140546040f0ee37f544ece084485813e9088d2c63a041bc5b44f9ef1012a2b588f3cd11f05"
        "033ac4c60c2ef6ab4030fe8296248df163f4495280b24263c7c1a3ebb71493c1dd7be8b49b46d1f41b4aeec1"
        "121b013783f8f3526b56d037e05f2598bd0fd2215d6a1e5295e64f73f63f0aec8b915a985d786598");
    add("hmac case 7", longKey,
        "This is a test using a larger than block-size key and a larger than block-size "
        "data. The key needs to be hashed before being used by the HMAC algorithm.",
        "3a854166ac5d9f023f54d517d0b39dbd946770db9c2b95c9f6f565d19b09ffa71b942fcb27635fbcd5b0e944"
        "bfdc63644f0713938a7f51535c3a35e26617178e941f020d351e2f254e8fd32c602420feb0b8fb9adccebb82"
        "461e99c5a678cc31e799176d3860e6110c46523ee37b6a775dc87dbaa4dfa9f96e5e3ffddebd71f886728986"
        "5df5a32d20cdc944b6022cac3c4982b10d5eeb55c3e4de15134676fb6de0446065c97440fa8c6a58");
}

void TestSha2::knownAnswers()
{
    QFETCH(int, variant);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, expected);

    withApi(variant, [&](const auto& api) {
        if (key.isNull()) {
            QCOMPARE(digestOnce(api, message).toHex(), expected);
            QCOMPARE(digestInPieces(api, message, { 1, 2, 3 }).toHex(), expected);
        } else {
            QCOMPARE(hmacOnce(api, key, message, int(expected.size() / 2)).toHex(), expected);
        }
    });
}

void TestSha2::differentialAgainstQt_data()
{
    QTest::addColumn<int>("variant");
    for (int variant = 0; variant < 4; ++variant)
        QTest::newRow(VariantNames[variant]) << variant;
}

// Qt's implementations are the independent reference. Many random lengths,
// keys, cuts and mac sizes, with a fixed seed so a failure repeats. The first
// messages lie around the block boundaries (where the 0x80 byte and the
// length field fall decides between one and two padding blocks) and are also
// fed one byte at a time; the first keys lie around the block size (a key of
// exactly a block is used as it is, a longer one is hashed first, an empty
// one is allowed). Each HMAC context is used twice: reinit must equal a fresh
// init. Bytes beyond the requested mac size, or beyond the digest when more
// is asked for, stay untouched.
void TestSha2::differentialAgainstQt()
{
    QFETCH(int, variant);

    QRandomGenerator random(20240611u + static_cast<quint32>(variant));
    withApi(variant, [&](const auto& api) {
        const int block = api.blockSize;
        const int field = block / 8;
        const QList<int> lengths { 0, 1, block - field - 1, block - field, block - 1, block,
            block + 1, 2 * block - field - 1, 2 * block - field, 2 * block, 4099 };
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
    row("latin-1 range message", QStringLiteral("Gr\u00f6\u00dfe: 10 \u00a3"), "key");
    row("latin-1 range key", "message", QStringLiteral("schl\u00fcssel"));
    row("outside the BMP", QStringLiteral("price \U0001F4B0"), QStringLiteral("\U0001F511"));
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
