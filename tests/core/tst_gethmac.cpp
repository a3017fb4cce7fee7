#include "Global.h"

#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

namespace {

// A stand-in for the product API's secret; the real one never appears in a
// test.
const QString TestSecret = QStringLiteral("TestSecretKey/0123456789+abcdefghijklmn");

QString referenceSignature(const QByteArray& message, const QByteArray& key)
{
    return QString::fromLatin1(
        QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256).toBase64());
}

} // namespace

class TestGetHmac : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void knownAnswer();
    void emptyKeySignsWithSecretKey_data();
    void emptyKeySignsWithSecretKey();
    void textIsSignedAsUtf8_data();
    void textIsSignedAsUtf8();
    void resultIsAlways44Base64Characters();

private:
    QString m_savedSecret;
};

void TestGetHmac::init()
{
    m_savedSecret = Global::SecretKeyString;
    Global::SecretKeyString = TestSecret;
}

void TestGetHmac::cleanup()
{
    Global::SecretKeyString = m_savedSecret;
}

// RFC 4231 test case 2 in Base64.
void TestGetHmac::knownAnswer()
{
    QCOMPARE(
        Global::GetHMAC(QStringLiteral("what do ya want for nothing?"), QStringLiteral("Jefe")),
        QStringLiteral("W9zBRr9gdU5qBCQmCJV1x1oAPwidJzmDnexYuWTsOEM="));
}

void TestGetHmac::emptyKeySignsWithSecretKey_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("empty message") << QString();
    QTest::newRow("request") << QStringLiteral(
        "GET\nwebservices.amazon.com\n/onca/xml\nAWSAccessKeyId=X&Operation=ItemLookup");
}

void TestGetHmac::emptyKeySignsWithSecretKey()
{
    QFETCH(QString, message);

    const QString signature = Global::GetHMAC(message, QString());
    QCOMPARE(signature, referenceSignature(message.toUtf8(), TestSecret.toUtf8()));
    QCOMPARE(signature, Global::GetHMAC(message, TestSecret));

    // A different secret gives a different signature: the global is read on
    // every call, not captured once.
    Global::SecretKeyString = QStringLiteral("another secret");
    QVERIFY(Global::GetHMAC(message, QString()) != signature);
}

void TestGetHmac::textIsSignedAsUtf8_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("key");

    QTest::newRow("latin-1 range message") << QStringLiteral("Gr\u00f6\u00dfe: 10 \u00a3") << "key";
    QTest::newRow("latin-1 range key") << "message" << QStringLiteral("schl\u00fcssel");
    QTest::newRow("yen and japanese") << QStringLiteral("\uffe5 1000 \u65e5\u672c") << "key";
    QTest::newRow("outside the BMP")
        << QStringLiteral("price \U0001F4B0") << QStringLiteral("\U0001F511");
    QTest::newRow("non-ascii, empty key") << QStringLiteral("\u00e9t\u00e9") << QString();
}

void TestGetHmac::textIsSignedAsUtf8()
{
    QFETCH(QString, message);
    QFETCH(QString, key);

    const QString effectiveKey = key.isEmpty() ? TestSecret : key;
    const QString signature = Global::GetHMAC(message, key);
    QCOMPARE(signature, referenceSignature(message.toUtf8(), effectiveKey.toUtf8()));
    // Encoding as Latin-1 or UTF-16 would give another digest.
    QVERIFY(signature != referenceSignature(message.toLatin1(), effectiveKey.toLatin1()));
    QVERIFY(signature
        != referenceSignature(
            QByteArray(reinterpret_cast<const char*>(message.utf16()), message.size() * 2),
            effectiveKey.toUtf8()));
}

void TestGetHmac::resultIsAlways44Base64Characters()
{
    static const QRegularExpression base64Of32Bytes(QStringLiteral("^[A-Za-z0-9+/]{43}=$"));
    QRandomGenerator random(44u);
    bool sawPlus = false;
    bool sawSlash = false;
    for (int trial = 0; trial < 500; ++trial) {
        QString message;
        const int length = static_cast<int>(random.bounded(200));
        for (int i = 0; i < length; ++i) {
            message.append(QChar(static_cast<char16_t>(random.bounded(0x20, 0xd7ff))));
        }
        const QString key = trial % 3 == 0 ? QString() : message.left(trial % 50);
        const QString signature = Global::GetHMAC(message, key);

        QVERIFY2(base64Of32Bytes.match(signature).hasMatch(), qPrintable(signature));
        QCOMPARE(QByteArray::fromBase64(signature.toLatin1()).size(), 32);
        sawPlus = sawPlus || signature.contains(QLatin1Char('+'));
        sawSlash = sawSlash || signature.contains(QLatin1Char('/'));
    }
    // The standard alphabet, not the URL-safe one; escaping is the callers' job.
    QVERIFY(sawPlus);
    QVERIFY(sawSlash);
}

QTEST_APPLESS_MAIN(TestGetHmac)
#include "tst_gethmac.moc"
