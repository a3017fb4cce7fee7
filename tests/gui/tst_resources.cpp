// The compiled-in icons, flags and templates, and the alert sounds installed
// beside the executable: what the windows, the alert e-mail and the alert
// sound rely on finding, in the form they expect.

#include "ApplicationIcon.h"
#include "Global.h"
#include "SampleLoader.h"
#include "ScratchEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSoundEffect>
#include <QTextDocument>
#include <QtEndian>
#include <QtTest>

namespace {

QString soundDirectory()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sound");
}

// Every icon with its size; a flag for every store.
QList<QPair<QString, QSize>> iconSizes()
{
    QList<QPair<QString, QSize>> icons;
    for (const int size : { 24, 48, 64, 128, 256 })
        icons.append({ QStringLiteral("app%1.png").arg(size), QSize(size, size) });
    for (const QString& locale : std::as_const(Global::AmazonLocale))
        icons.append({ "flag_" + locale + ".png", QSize(24, 16) });
    for (const char* name :
        { "app16.png", "go16.png", "folder16.png", "hotlist16.png", "watch16.png", "blank16.png" })
        icons.append({ QString::fromLatin1(name), QSize(16, 16) });
    for (const char* name : { "app32.png", "add.png", "delete.png", "start.png", "stop.png",
             "checknow.png", "preferences.png", "update.png", "about.png", "search.png" })
        icons.append({ QString::fromLatin1(name), QSize(32, 32) });
    return icons;
}

int visiblePixelCount(const QImage& image)
{
    const QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
    int visible = 0;
    for (int y = 0; y < alpha.height(); ++y)
        visible += int(std::count_if(alpha.constScanLine(y), alpha.constScanLine(y) + alpha.width(),
            [](uchar value) { return value > 0; }));
    return visible;
}

template <typename T>
T little(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

// The chunks of a RIFF/WAVE file by id; none when its structure is broken.
QHash<QByteArray, QByteArray> waveChunks(const QByteArray& bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE"
        || little<quint32>(bytes, 4) + 8 != bytes.size())
        return {};
    QHash<QByteArray, QByteArray> chunks;
    for (qsizetype offset = 12; offset + 8 <= bytes.size();) {
        const qsizetype size = little<quint32>(bytes, offset + 4);
        if (offset + 8 + size > bytes.size())
            return {};
        chunks.insert(bytes.mid(offset, 4), bytes.mid(offset + 8, size));
        offset += 8 + size + (size & 1); // a pad byte follows a chunk of odd size
    }
    return chunks;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void iconLoadsWithItsSize_data();
    void iconLoadsWithItsSize();
    void templateCarriesItsPlaceholdersAndText_data();
    void templateCarriesItsPlaceholdersAndText();
    void soundIsShortMonoPcmWaveThatLoads_data();
    void soundIsShortMonoPcmWaveThatLoads();

private:
    ScratchEnvironment m_scratch;
    QHash<QByteArray, QString> m_drawings; // icons seen so far, by their pixels
};

void TestResources::initTestCase()
{
    QVERIFY2(QFileInfo(soundDirectory()).isDir(), qPrintable(soundDirectory()));
    Global::InitializeSettings();
    QCOMPARE(Global::AmazonLocale.size(), 6);
}

void TestResources::iconLoadsWithItsSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const auto& [name, size] : iconSizes())
        QTest::newRow(qPrintable(name)) << name << size;
}

void TestResources::iconLoadsWithItsSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);

    QImageReader reader(":/" + name);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    // Every application icon is one size of the windows' icon.
    if (name.startsWith(QLatin1String("app")))
        QVERIFY(ApplicationIcon::Create().availableSizes().contains(size));
    // A drawing that rendered (nearly) empty would still load; the blank
    // icon is the one meant to be invisible.
    const int visible = visiblePixelCount(image);
    if (name == QLatin1String("blank16.png"))
        QCOMPARE(visible, 0);
    else
        QVERIFY2(visible * 5 >= size.width() * size.height(), "mostly empty");
    // No icon is a copy of another.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QByteArray pixels(reinterpret_cast<const char*>(argb.constBits()), argb.sizeInBytes());
    QVERIFY2(!m_drawings.contains(pixels), qPrintable(m_drawings.value(pixels)));
    m_drawings.insert(pixels, name);
}

void TestResources::templateCarriesItsPlaceholdersAndText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("placeholders");
    // What the reader sees, in this order, once every placeholder is filled
    // with its own name ("%1" with "arg1"); the e-mail is read as it stands.
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("product sheet")
        << "product_detail.html"
        << QStringList { "$IMAGE$", "$ASIN$", "$DETAILPAGE$", "$TITLE$", "$AVAILABILITY$",
               "$PRICE$", "$THIRDPARTYPRICE$", "$USEDPRICE$", "$LISTPRICE$", "$FREESHIPPING$" }
        << QStringList { "TITLE", "List Price: LISTPRICE", "Price: PRICE", "FREESHIPPING",
               "Availability: AVAILABILITY", "Third Party New: THIRDPARTYPRICE", "Used: USEDPRICE",
               "ASIN: ASIN", "Detail product information" };
    QTest::newRow("price read-out")
        << "price_info.html" << QStringList { "%1", "%2", "%3", "%4" }
        << QStringList { "arg1", "Amazon: arg2", "New: arg3", "Used: arg4" };
    QTest::newRow("alert e-mail") << "alert_email.txt"
                                  << QStringList { "$EMAIL$", "$TITLE$", "$PRICE$", "$LINK$" }
                                  << QStringList { "Dear EMAIL,", "* TITLE \r\n", "  Price: PRICE",
                                         "\r\nLINK\r\n", "Pricewarden" };
    QTest::newRow("about text") << "about.html" << QStringList()
                                << QStringList { "Pricewarden", "Qt" };
}

// Nothing that looks like a placeholder is left over for the reader to see.
void TestResources::templateCarriesItsPlaceholdersAndText()
{
    QFETCH(QString, name);
    QFETCH(QStringList, placeholders);
    QFETCH(QStringList, shown);

    QFile file(":/" + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    QString text = QString::fromUtf8(raw);
    for (const QString& placeholder : std::as_const(placeholders)) {
        QVERIFY2(text.contains(placeholder), qPrintable(placeholder));
        text.replace(placeholder, QString(placeholder).remove('$').replace('%', "arg"));
    }
    QVERIFY2(!text.contains(QRegularExpression("\\$[A-Z]+\\$|%[0-9]")), qPrintable(text));

    QTextDocument document;
    document.setHtml(text);
    const bool email = name.endsWith(".txt");
    if (email) // CRLF line ends only
        QCOMPARE(raw.count('\n'), raw.count("\r\n"));
    const QString plain = email ? text : document.toPlainText();
    qsizetype from = 0;
    for (const QString& part : std::as_const(shown)) {
        from = plain.indexOf(part, from);
        QVERIFY2(from >= 0, qPrintable(part + " missing or out of order in: " + plain));
        from += part.size();
    }
}

void TestResources::soundIsShortMonoPcmWaveThatLoads_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
        { "alert.wav", "attention.wav", "buzzer.wav", "drum.wav", "ringin.wav" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestResources::soundIsShortMonoPcmWaveThatLoads()
{
    QFETCH(QString, name);

    const QString path = soundDirectory() + '/' + name;
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() < 150 * 1024);
    const QHash<QByteArray, QByteArray> chunks = waveChunks(bytes);
    const QByteArray format = chunks.value("fmt ");
    const QByteArray samples = chunks.value("data");
    QVERIFY2(format.size() >= 16, "no RIFF/WAVE structure with a format chunk");
    const quint32 sampleRate = little<quint32>(format, 4);
    QVERIFY2(sampleRate == 22050 || sampleRate == 44100, qPrintable(QString::number(sampleRate)));
    // PCM, mono, byte rate, block align, bits per sample
    QCOMPARE(
        QList<quint32>({ little<quint16>(format, 0), little<quint16>(format, 2),
            little<quint32>(format, 8), little<quint16>(format, 12), little<quint16>(format, 14) }),
        QList<quint32>({ 1, 1, sampleRate * 2, 2, 16 }));
    QCOMPARE(samples.size() % 2, 0);
    const double seconds = double(samples.size()) / double(sampleRate * 2);
    QVERIFY2(seconds >= 0.3 && seconds <= 1.5, qPrintable(QString::number(seconds)));

    // Audible, yet starting and ending at rest so that neither the start nor
    // a loop restart clicks.
    int peak = 0;
    for (qsizetype i = 0; i < samples.size(); i += 2)
        peak = qMax(peak, qAbs(int(little<qint16>(samples, i))));
    QVERIFY(peak > 32767 / 10);
    QVERIFY(qAbs(little<qint16>(samples, 0)) < 328);
    QVERIFY(qAbs(little<qint16>(samples, samples.size() - 2)) < 328);

    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(path));
    QTRY_COMPARE(effect.status(), QSoundEffect::Ready);
    QVERIFY(SampleLoader::WaitUntilIdle()); // none may still be loading at exit
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
