#include "ProductImage.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

QString ProductImage::host()
{
    return QStringLiteral("images.pricewarden-sim.example");
}

QString ProductImage::url(const QString& asin, const QString& size)
{
    return QStringLiteral("http://%1/images/P/%2.%3.png").arg(host(), asin, size);
}

int ProductImage::side(const QString& size)
{
    if (size == QLatin1String("swatch"))
        return 30;
    if (size == QLatin1String("small"))
        return 75;
    if (size == QLatin1String("medium"))
        return 160;
    if (size == QLatin1String("large"))
        return 500;
    return 0;
}

bool ProductImage::parsePath(const QString& path, QString* asin, QString* size)
{
    static const QRegularExpression pattern(
        QStringLiteral("^/images/P/([A-Z0-9]{10})\\.([a-z]+)\\.png$"));
    const QRegularExpressionMatch match = pattern.match(path);
    if (!match.hasMatch() || side(match.captured(2)) == 0)
        return false;
    *asin = match.captured(1);
    *size = match.captured(2);
    return true;
}

// A background and two shapes in colours taken from a digest of the ASIN.
QByteArray ProductImage::png(const QString& asin, int side)
{
    const QByteArray digest = QCryptographicHash::hash(asin.toUtf8(), QCryptographicHash::Sha1);
    const auto byte = [&digest](int index) { return static_cast<unsigned char>(digest.at(index)); };
    const QColor background = QColor::fromHsv(byte(0) * 359 / 255, 60, 240);
    const QColor shape = QColor::fromHsv(byte(1) * 359 / 255, 200, 180);
    const QColor accent = QColor::fromHsv(byte(2) * 359 / 255, 220, 120);

    QImage image(side, side, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shape);
    const int margin = side / 6;
    painter.drawRoundedRect(
        margin, margin, side - 2 * margin, side - 2 * margin, side / 10.0, side / 10.0);
    painter.setBrush(accent);
    const int circle = side / 3;
    painter.drawEllipse(side - margin - circle * 3 / 4 - circle / 2, margin / 2, circle, circle);
    painter.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
