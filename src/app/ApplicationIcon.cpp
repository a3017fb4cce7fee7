#include "ApplicationIcon.h"

namespace ApplicationIcon {

QIcon Create()
{
    QIcon icon;
    for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/app%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace ApplicationIcon
