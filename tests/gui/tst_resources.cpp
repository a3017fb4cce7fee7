// The compiled-in icons, flags and templates, and the alert sounds installed
// beside the executable: what the windows, the alert e-mail and the alert
// sound rely on finding, in the form they expect.

#include "Global.h"
#include "ScratchEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

namespace {

const QSize FlagSize(24, 16);
const QSize ToolbarSize(32, 32);
const QSize ListSize(16, 16);

QString soundDirectory()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sound");
}

QString readResourceText(const QString& name, QIODevice::OpenMode extraMode = {})
{
    QFile file(QStringLiteral(":/") + name);
    if (!file.open(QIODevice::ReadOnly | extraMode))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// The header facts of a RIFF/WAVE file, as far as playing it needs them.
struct WaveInfo
{
    bool riffValid = false;
    quint16 audioFormat = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
    QByteArray samples;
    QString problem;
};

quint16 readU16(const QByteArray& bytes, qsizetype offset)
{
    return quint16(quint8(bytes[offset]) | (quint8(bytes[offset + 1]) << 8));
}

quint32 readU32(const QByteArray& bytes, qsizetype offset)
{
    return quint32(readU16(bytes, offset)) | (quint32(readU16(bytes, offset + 2)) << 16);
}

// Walks the chunks after the RIFF header; unknown chunks (LIST, fact, ...) are
// skipped, with the pad byte that follows a chunk of odd size.
WaveInfo parseWave(const QByteArray& bytes)
{
    WaveInfo info;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        info.problem = QStringLiteral("no RIFF/WAVE header");
        return info;
    }
    if (qsizetype(readU32(bytes, 4)) + 8 != bytes.size()) {
        info.problem = QStringLiteral("RIFF size does not match the file size");
        return info;
    }
    bool haveFormat = false;
    qsizetype offset = 12;
    while (offset + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(offset, 4);
        const qsizetype size = readU32(bytes, offset + 4);
        const qsizetype body = offset + 8;
        if (body + size > bytes.size()) {
            info.problem = QStringLiteral("chunk '%1' runs past the end").arg(QLatin1String(id));
            return info;
        }
        if (id == "fmt " && size >= 16) {
            info.audioFormat = readU16(bytes, body);
            info.channels = readU16(bytes, body + 2);
            info.sampleRate = readU32(bytes, body + 4);
            info.byteRate = readU32(bytes, body + 8);
            info.blockAlign = readU16(bytes, body + 12);
            info.bitsPerSample = readU16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                info.problem = QStringLiteral("data chunk before the format chunk");
                return info;
            }
            info.samples = bytes.mid(body, size);
            info.riffValid = true;
            return info;
        }
        offset = body + size + (size & 1);
    }
    info.problem = QStringLiteral("no data chunk");
    return info;
}

qint16 sampleAt(const QByteArray& samples, qsizetype index)
{
    return qint16(readU16(samples, index * 2));
}

int peakOf(const QByteArray& samples)
{
    int peak = 0;
    for (qsizetype i = 0; i < samples.size() / 2; ++i)
        peak = qMax(peak, qAbs(int(sampleAt(samples, i))));
    return peak;
}

QStringList builtInSounds()
{
    return { QStringLiteral("alert.wav"), QStringLiteral("attention.wav"),
        QStringLiteral("buzzer.wav"), QStringLiteral("drum.wav"), QStringLiteral("ringin.wav") };
}

QStringList iconNames()
{
    return { QStringLiteral("app16.png"), QStringLiteral("app32.png"), QStringLiteral("app48.png"),
        QStringLiteral("flag_us.png"), QStringLiteral("flag_ca.png"), QStringLiteral("flag_uk.png"),
        QStringLiteral("flag_de.png"), QStringLiteral("flag_fr.png"), QStringLiteral("flag_jp.png"),
        QStringLiteral("add.png"), QStringLiteral("delete.png"), QStringLiteral("start.png"),
        QStringLiteral("stop.png"), QStringLiteral("checknow.png"),
        QStringLiteral("preferences.png"), QStringLiteral("update.png"),
        QStringLiteral("about.png"), QStringLiteral("search.png"), QStringLiteral("go16.png"),
        QStringLiteral("folder16.png"), QStringLiteral("hotlist16.png"),
        QStringLiteral("watch16.png"), QStringLiteral("blank16.png") };
}

QSize expectedSize(const QString& name)
{
    if (name == QLatin1String("app32.png"))
        return ToolbarSize;
    if (name == QLatin1String("app48.png"))
        return QSize(48, 48);
    if (name.startsWith(QLatin1String("flag_")))
        return FlagSize;
    if (name.endsWith(QLatin1String("16.png")))
        return ListSize;
    return ToolbarSize;
}

int visiblePixelCount(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int visible = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            visible += qAlpha(argb.pixel(x, y)) > 0 ? 1 : 0;
    return visible;
}

const QRegularExpression& leftoverDollarPlaceholder()
{
    static const QRegularExpression pattern(QStringLiteral("\\$[A-Z]+\\$"));
    return pattern;
}

const QRegularExpression& leftoverNumberedPlaceholder()
{
    static const QRegularExpression pattern(QStringLiteral("%[0-9]"));
    return pattern;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void iconLoadsWithItsSize_data();
    void iconLoadsWithItsSize();
    void everyStoreHasAFlag();
    void blankIconIsFullyTransparent();
    void iconsAreDistinctDrawings();

    void templateCarriesItsPlaceholders_data();
    void templateCarriesItsPlaceholders();
    void alertEmailHasItsFourteenLines();
    void priceReadOutHasItsFourLines();
    void productSheetShowsItsLabelsInOrder();
    void aboutTextNamesProgramAndCredits();

    void soundIsShortMonoPcmWave_data();
    void soundIsShortMonoPcmWave();
    void soundEffectLoadsSound_data();
    void soundEffectLoadsSound();
    void soundEffectRejectsBrokenWave();

private:
    ScratchEnvironment m_scratch;
};

void TestResources::initTestCase()
{
    QVERIFY2(QFileInfo(soundDirectory()).isDir(), qPrintable(soundDirectory()));
}

void TestResources::iconLoadsWithItsSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    const QStringList names = iconNames();
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << name << expectedSize(name);
}

void TestResources::iconLoadsWithItsSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);

    QImageReader reader(QStringLiteral(":/") + name);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());

    // A drawing that rendered (nearly) empty would still load; only the
    // blank icon may be invisible.
    if (name != QLatin1String("blank16.png"))
        QVERIFY2(visiblePixelCount(image) * 5 >= size.width() * size.height(), "mostly empty");
}

void TestResources::everyStoreHasAFlag()
{
    Global::InitializeSettings();
    QVERIFY(!Global::AmazonLocale.isEmpty());
    for (const QString& locale : std::as_const(Global::AmazonLocale)) {
        const QImage flag(QStringLiteral(":/flag_%1.png").arg(locale));
        QVERIFY2(!flag.isNull(), qPrintable(locale));
        QCOMPARE(flag.size(), FlagSize);
    }
}

void TestResources::blankIconIsFullyTransparent()
{
    const QImage blank(QStringLiteral(":/blank16.png"));
    QCOMPARE(blank.size(), ListSize);
    QCOMPARE(visiblePixelCount(blank), 0);
}

void TestResources::iconsAreDistinctDrawings()
{
    const QStringList names = iconNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QImage first
            = QImage(QStringLiteral(":/") + names[i]).convertToFormat(QImage::Format_ARGB32);
        for (qsizetype j = i + 1; j < names.size(); ++j) {
            const QImage second
                = QImage(QStringLiteral(":/") + names[j]).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(first != second, qPrintable(names[i] + QStringLiteral(" = ") + names[j]));
        }
    }
}

void TestResources::templateCarriesItsPlaceholders_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("placeholders");

    QTest::newRow("product sheet")
        << QStringLiteral("product_detail.html")
        << QStringList { QStringLiteral("$IMAGE$"), QStringLiteral("$ASIN$"),
               QStringLiteral("$DETAILPAGE$"), QStringLiteral("$TITLE$"),
               QStringLiteral("$AVAILABILITY$"), QStringLiteral("$PRICE$"),
               QStringLiteral("$THIRDPARTYPRICE$"), QStringLiteral("$USEDPRICE$"),
               QStringLiteral("$LISTPRICE$"), QStringLiteral("$FREESHIPPING$") };
    QTest::newRow("price read-out") << QStringLiteral("price_info.html")
                                    << QStringList { QStringLiteral("%1"), QStringLiteral("%2"),
                                           QStringLiteral("%3"), QStringLiteral("%4") };
    QTest::newRow("alert e-mail") << QStringLiteral("alert_email.txt")
                                  << QStringList { QStringLiteral("$EMAIL$"),
                                         QStringLiteral("$TITLE$"), QStringLiteral("$PRICE$"),
                                         QStringLiteral("$LINK$") };
    QTest::newRow("about text") << QStringLiteral("about.html") << QStringList();
}

// Each placeholder is present, and once all are filled nothing that looks
// like a placeholder is left over for the reader to see.
void TestResources::templateCarriesItsPlaceholders()
{
    QFETCH(QString, name);
    QFETCH(QStringList, placeholders);

    QString text = readResourceText(name);
    QVERIFY2(!text.isEmpty(), qPrintable(name));
    for (const QString& placeholder : std::as_const(placeholders)) {
        QVERIFY2(text.contains(placeholder), qPrintable(placeholder));
        text.replace(placeholder, QStringLiteral("filled"));
    }
    QVERIFY2(!text.contains(leftoverDollarPlaceholder()), qPrintable(text));
    QVERIFY2(!text.contains(leftoverNumberedPlaceholder()), qPrintable(text));
}

void TestResources::alertEmailHasItsFourteenLines()
{
    QFile raw(QStringLiteral(":/alert_email.txt"));
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    QCOMPARE(bytes.count("\r\n"), 13);
    QCOMPARE(bytes.count('\n'), 13);

    const QStringList expected { QStringLiteral("Dear $EMAIL$,"), QString(),
        QStringLiteral(
            "The following item you are watching with Pricewarden is available right now!"),
        QString(), QStringLiteral("* $TITLE$ "), QString(), QStringLiteral("  Price: $PRICE$"),
        QString(), QStringLiteral("You may follow this link to view the detailed information."),
        QStringLiteral("$LINK$"), QString(), QStringLiteral("Sincerely,"), QString(),
        QStringLiteral("Pricewarden") };
    const QString text = readResourceText(QStringLiteral("alert_email.txt"), QIODevice::Text);
    QVERIFY(!text.contains(QLatin1Char('\r')));
    QCOMPARE(text.split(QLatin1Char('\n')), expected);
}

void TestResources::priceReadOutHasItsFourLines()
{
    const QStringList expected { QStringLiteral("<p>&nbsp;<b>%1</b>&nbsp;</p>"),
        QStringLiteral("<p><font color=\"green\">&nbsp;Amazon: <b>%2</b>&nbsp;<br />"),
        QStringLiteral("<font color=\"red\">&nbsp;New: <b>%3</b>&nbsp;<br />"),
        QStringLiteral("<font color=\"blue\">&nbsp;Used: <b>%4</b>&nbsp;</p>") };
    const QString text = readResourceText(QStringLiteral("price_info.html"));
    QCOMPARE(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);

    const QString filled = text.arg(QStringLiteral("Monday"), QStringLiteral("$1.00"),
        QStringLiteral("$2.00"), QStringLiteral("$3.00"));
    QTextDocument document;
    document.setHtml(filled);
    const QString plain = document.toPlainText();
    QVERIFY2(plain.contains(QStringLiteral("Amazon: $1.00")), qPrintable(plain));
    QVERIFY2(plain.contains(QStringLiteral("New: $2.00")), qPrintable(plain));
    QVERIFY2(plain.contains(QStringLiteral("Used: $3.00")), qPrintable(plain));
}

void TestResources::productSheetShowsItsLabelsInOrder()
{
    const QString raw = readResourceText(QStringLiteral("product_detail.html"));
    QVERIFY(raw.contains(QStringLiteral("src=\"$IMAGE$\"")));
    QVERIFY(raw.contains(QStringLiteral("href=\"$DETAILPAGE$\"")));
    QVERIFY(raw.contains(QStringLiteral("target=\"new\"")));
    QVERIFY(raw.contains(QStringLiteral("cellspacing=\"8\"")));
    QCOMPARE(raw.count(QStringLiteral("#990000")), 3);

    QTextDocument document;
    document.setHtml(QString(raw)
                         .replace(QStringLiteral("$TITLE$"), QStringLiteral("Kettle"))
                         .replace(QStringLiteral("$LISTPRICE$"), QStringLiteral("$30.00"))
                         .replace(QStringLiteral("$PRICE$"), QStringLiteral("$25.00"))
                         .replace(QStringLiteral("$FREESHIPPING$"), QStringLiteral("FREE"))
                         .replace(QStringLiteral("$AVAILABILITY$"), QStringLiteral("In stock"))
                         .replace(QStringLiteral("$THIRDPARTYPRICE$"), QStringLiteral("$24.00"))
                         .replace(QStringLiteral("$USEDPRICE$"), QStringLiteral("$19.00"))
                         .replace(QStringLiteral("$ASIN$"), QStringLiteral("B000TEST01")));
    const QString plain = document.toPlainText();
    const QStringList inOrder { QStringLiteral("Kettle"), QStringLiteral("List Price: $30.00"),
        QStringLiteral("Price: $25.00"), QStringLiteral("FREE"),
        QStringLiteral("Availability: In stock"), QStringLiteral("Third Party New: $24.00"),
        QStringLiteral("Used: $19.00"), QStringLiteral("ASIN: B000TEST01"),
        QStringLiteral("Detail product information") };
    qsizetype from = 0;
    for (const QString& part : inOrder) {
        const qsizetype at = plain.indexOf(part, from);
        QVERIFY2(
            at >= 0, qPrintable(part + QStringLiteral(" missing or out of order in: ") + plain));
        from = at + part.size();
    }
}

void TestResources::aboutTextNamesProgramAndCredits()
{
    QTextDocument document;
    document.setHtml(readResourceText(QStringLiteral("about.html")));
    const QString plain = document.toPlainText();
    QVERIFY2(plain.contains(QStringLiteral("Pricewarden")), qPrintable(plain));
    QVERIFY2(plain.contains(QStringLiteral("Qt")), qPrintable(plain));
}

void TestResources::soundIsShortMonoPcmWave_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names = builtInSounds();
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << name;
}

void TestResources::soundIsShortMonoPcmWave()
{
    QFETCH(QString, name);

    QFile file(soundDirectory() + QLatin1Char('/') + name);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() < 150 * 1024);

    const WaveInfo wave = parseWave(bytes);
    QVERIFY2(wave.riffValid, qPrintable(wave.problem));
    QCOMPARE(wave.audioFormat, quint16(1));
    QCOMPARE(wave.channels, quint16(1));
    QCOMPARE(wave.bitsPerSample, quint16(16));
    QVERIFY2(wave.sampleRate == 22050 || wave.sampleRate == 44100,
        qPrintable(QString::number(wave.sampleRate)));
    QCOMPARE(wave.blockAlign, quint16(2));
    QCOMPARE(wave.byteRate, wave.sampleRate * 2);
    QCOMPARE(wave.samples.size() % 2, 0);

    const double seconds = double(wave.samples.size()) / wave.byteRate;
    QVERIFY2(seconds >= 0.3 && seconds <= 1.5, qPrintable(QString::number(seconds)));

    // Audible, yet starting and ending at rest so that neither the start nor
    // a loop restart clicks.
    const qsizetype last = wave.samples.size() / 2 - 1;
    QVERIFY(peakOf(wave.samples) > 32767 / 10);
    QVERIFY(qAbs(int(sampleAt(wave.samples, 0))) < 328);
    QVERIFY(qAbs(int(sampleAt(wave.samples, last))) < 328);
}

void TestResources::soundEffectLoadsSound_data()
{
    soundIsShortMonoPcmWave_data();
}

void TestResources::soundEffectLoadsSound()
{
    QFETCH(QString, name);

    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(soundDirectory() + QLatin1Char('/') + name));
    QTRY_COMPARE(effect.status(), QSoundEffect::Ready);
}

// Proves that the Ready check above can tell a playable file from a broken one.
void TestResources::soundEffectRejectsBrokenWave()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile broken(dir.filePath(QStringLiteral("broken.wav")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray("RIFF\x04\0\0\0WAVE", 12));
    broken.close();

    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(broken.fileName()));
    QTRY_COMPARE(effect.status(), QSoundEffect::Error);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
