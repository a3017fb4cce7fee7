#pragma once

#include <QByteArray>
#include <QString>

// The product pictures the simulated store serves on its image host: a PNG
// per ASIN and size, painted from the ASIN alone (so the same product looks
// the same in every store and on every run). Shapes only, no text, so no
// fonts or window system are needed.
//
// URL form: http://images.pricewarden-sim.example/images/P/<ASIN>.<size>.png
// with size "swatch" (30 px), "small" (75), "medium" (160) or "large" (500).
class ProductImage
{
public:
    static QString host();
    static QString url(const QString& asin, const QString& size);
    // Side length in pixels of a size name; 0 when the name is unknown.
    static int side(const QString& size);
    // Reads an image path; false when it is not one of the store's images.
    static bool parsePath(const QString& path, QString* asin, QString* size);
    static QByteArray png(const QString& asin, int side);
};
