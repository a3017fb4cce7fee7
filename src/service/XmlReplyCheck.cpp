#include "XmlReplyCheck.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

QString XmlReplyCheck::NestingError(const QByteArray& data, int maximumDepth)
{
    QXmlStreamReader reader(data);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maximumDepth)
                return QCoreApplication::translate(
                    "XmlReplyCheck", "elements nested deeper than %1 levels")
                    .arg(maximumDepth);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return QString();
}
